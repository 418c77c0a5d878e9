#include "app/ui/AboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MilvaneApp.h"
#include "app/ui/Artwork.h"
#include "common/ui/ValueLabel.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Milvaneのバージョン情報");
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    m_text = new CValueLabel("バージョン", this, QString::fromStdString(CMilvaneApp::AboutBoxText()));
    m_text->setObjectName("text1371");
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(m_text, 1);
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(20, 18, 20, 14);
    top->addLayout(row);
    top->addSpacing(8);
    top->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

QString CAboutDlg::Text() const { return m_text->text(); }
