#include "pictures/ui/PictureSelectDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "pictures/ui/PictureWnd.h"

namespace {
QString U(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CPictureSelectDlg::CPictureSelectDlg(std::array<std::string, kPictureSlots> names, bool viewOnly,
                                     const std::array<std::string, kPictureSlots>& captions,
                                     const std::string& pictureFolder, QWidget* parent)
    : QDialog(parent), m_logic(std::move(names), viewOnly) {
    setWindowTitle(U(m_logic.Title()));
    auto* top = new QVBoxLayout(this);
    auto* slotRow = new QHBoxLayout;
    top->addLayout(slotRow);
    const auto& ids = PictureSlotControls();
    for (int i = 0; i < kPictureSlots; ++i) {
        const QString caption = U(captions[i]);
        auto* box = new QGroupBox(caption, this);
        auto* col = new QVBoxLayout(box);
        m_windows[i] = new CPictureWnd(box);
        m_windows[i]->setObjectName(QStringLiteral("picture%1").arg(ids[i].window));
        m_windows[i]->setAccessibleName(caption);
        m_windows[i]->SetFolder(pictureFolder);
        m_windows[i]->setFixedSize(92, 99);
        m_nameBoxes[i] = new QLineEdit(box);
        m_nameBoxes[i]->setReadOnly(true);
        m_nameBoxes[i]->setObjectName(QStringLiteral("name%1").arg(ids[i].name));
        m_nameBoxes[i]->setAccessibleName(caption + QString::fromUtf8("：ファイル名"));
        m_add[i] = new QPushButton(QString::fromUtf8("登録..."), box);
        m_add[i]->setAccessibleName(caption + QString::fromUtf8("：登録..."));
        m_add[i]->setAutoDefault(false);
        m_remove[i] = new QPushButton(QString::fromUtf8("削除"), box);
        m_remove[i]->setAccessibleName(caption + QString::fromUtf8("：削除"));
        m_remove[i]->setAutoDefault(false);
        connect(m_add[i], &QPushButton::clicked, this, [this, i] { OnAdd(i); });
        connect(m_remove[i], &QPushButton::clicked, this, [this, i] { OnRemove(i); });
        col->addWidget(m_windows[i], 0, Qt::AlignHCenter);
        col->addWidget(m_nameBoxes[i]);
        auto* row = new QHBoxLayout;
        row->addWidget(m_add[i]);
        row->addWidget(m_remove[i]);
        col->addLayout(row);
        slotRow->addWidget(box);
        ShowSlot(i);
        m_add[i]->setEnabled(m_logic.AddEnabled());
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(U(m_logic.CancelText()), this);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    top->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_ok->setEnabled(m_logic.OkEnabled());
    if (m_logic.ViewOnly()) {
        m_cancel->setDefault(true);
        m_cancel->setFocus();
    } else {
        m_ok->setDefault(true);
    }
}

void CPictureSelectDlg::ShowSlot(int slot) {
    const std::string& name = m_logic.Names()[slot];
    m_nameBoxes[slot]->setText(U(name));
    m_windows[slot]->SetPicture(name);
    if (!m_logic.RemoveEnabled(slot) && m_remove[slot]->hasFocus()) m_add[slot]->setFocus();
    m_remove[slot]->setEnabled(m_logic.RemoveEnabled(slot));
}

void CPictureSelectDlg::OnAdd(int slot) {
    if (m_logic.OnAdd(slot)) ShowSlot(slot);
}

void CPictureSelectDlg::OnRemove(int slot) {
    if (m_logic.OnRemove(slot)) ShowSlot(slot);
}

bool RunPictureSelectDialog(QWidget* parent, std::array<std::string, kPictureSlots>& names, bool viewOnly,
                            const std::string& installDir, const std::string& pictureFolder) {
    CPictureSelectDlg dlg(names, viewOnly, PictureSlotCaptions(installDir), pictureFolder, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    names = dlg.Logic().Names();
    return true;
}
