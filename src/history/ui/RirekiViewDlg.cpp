#include "history/ui/RirekiViewDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "pictures/ui/PictureWnd.h"

namespace {

// View-only ids of the date parts and the choice texts.
constexpr int kYear = 1053, kMonth = 1059, kDay = 1060, kHour = 1061, kMinute = 1062;
constexpr int kTantou = 1394, kTitle = 1395, kKeyword = 1396, kMoney = 1052, kPicture = 1193;

QString U(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CRirekiViewDlg::CRirekiViewDlg(IRirekiNavigator* navigator, const CRirekiData* record, bool hasPrevious,
                               bool hasNext, const std::string& pictureFolder, QWidget* parent)
    : QDialog(parent), m_logic(navigator, record, hasPrevious, hasNext) {
    setWindowTitle(QString::fromUtf8("履歴の参照(修正することはできません)"));
    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    top->addLayout(grid);

    auto makeEdit = [&](int id, const char* label, int width = 0) {
        auto* e = new QLineEdit(this);
        e->setReadOnly(true);
        e->setObjectName(QStringLiteral("edit%1").arg(id));
        e->setAccessibleName(QString::fromUtf8(label));
        if (width) e->setMaximumWidth(width);
        m_fields[id] = e;
        return e;
    };
    auto* date = new QHBoxLayout;
    const std::pair<int, const char*> parts[] = {{kYear, "年"}, {kMonth, "月"}, {kDay, "日"}, {kHour, "時"},
                                                 {kMinute, "分"}};
    for (const auto& [id, unit] : parts) {
        const std::string name = std::string("日付：") + unit;
        auto* e = makeEdit(id, name.c_str(), id == kYear ? 60 : 40);
        auto* l = new QLabel(QString::fromUtf8(unit), this);
        l->setBuddy(e);
        date->addWidget(e);
        date->addWidget(l);
    }
    date->addStretch();
    int row = 0;
    auto addRow = [&](const char* label, QWidget* w) {
        auto* l = new QLabel(QString::fromUtf8(label), this);
        l->setBuddy(w);
        grid->addWidget(l, row, 0);
        grid->addWidget(w, row, 1);
        ++row;
    };
    auto* dateBox = new QWidget(this);
    dateBox->setLayout(date);
    date->setContentsMargins(0, 0, 0, 0);
    auto* dateLabel = new QLabel(QString::fromUtf8("日付"), this);
    grid->addWidget(dateLabel, row++, 0);
    grid->addWidget(dateBox, row - 1, 1);
    addRow("担当者", makeEdit(kTantou, "担当者"));
    addRow("概要", makeEdit(kTitle, "概要"));
    addRow("検索ｷｰﾜｰﾄﾞ", makeEdit(kKeyword, "検索ｷｰﾜｰﾄﾞ"));
    m_details = new QPlainTextEdit(this);
    m_details->setReadOnly(true);
    m_details->setObjectName(QStringLiteral("edit1047"));
    m_details->setAccessibleName(QString::fromUtf8("詳細"));
    m_details->setTabChangesFocus(true);
    addRow("詳細", m_details);
    addRow("金額", makeEdit(kMoney, "金額"));
    auto* pictureBox = new QHBoxLayout;
    pictureBox->addWidget(makeEdit(kPicture, "画像"));
    m_preview = new CPictureWnd(this);
    m_preview->setObjectName(QStringLiteral("picture1051"));
    m_preview->setAccessibleName(QString::fromUtf8("画像"));
    m_preview->SetFolder(pictureFolder);
    m_preview->setFixedSize(92, 99);
    pictureBox->addWidget(m_preview);
    auto* pictureWidget = new QWidget(this);
    pictureWidget->setLayout(pictureBox);
    pictureBox->setContentsMargins(0, 0, 0, 0);
    addRow("画像", pictureWidget);

    auto* buttons = new QHBoxLayout;
    auto addButton = [&](int id, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QStringLiteral("btn%1").arg(id));
        m_buttons[id] = b;
        buttons->addWidget(b);
        return b;
    };
    connect(addButton(RirekiCtl::Previous, "前の履歴へ"), &QPushButton::clicked, this, &CRirekiViewDlg::OnPrevious);
    connect(addButton(RirekiCtl::Next, "次の履歴へ"), &QPushButton::clicked, this, &CRirekiViewDlg::OnNext);
    buttons->addStretch();
    QPushButton* close = addButton(RirekiCtl::Cancel, "閉じる");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    top->addLayout(buttons);

    ShowRecord();
    close->setFocus();
}

QPushButton* CRirekiViewDlg::Button(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

QLineEdit* CRirekiViewDlg::Field(int id) const {
    auto it = m_fields.find(id);
    return it == m_fields.end() ? nullptr : it->second;
}

void CRirekiViewDlg::OnPrevious() {
    if (m_logic.OnPrevious()) ShowRecord();
    else Button(RirekiCtl::Previous)->setEnabled(m_logic.PreviousEnabled());
}

void CRirekiViewDlg::OnNext() {
    if (m_logic.OnNext()) ShowRecord();
    else Button(RirekiCtl::Next)->setEnabled(m_logic.NextEnabled());
}

void CRirekiViewDlg::ShowRecord() {
    const CRirekiViewTexts t = m_logic.Texts();
    m_fields[kYear]->setText(U(t.year));
    m_fields[kMonth]->setText(U(t.month));
    m_fields[kDay]->setText(U(t.day));
    m_fields[kHour]->setText(U(t.hour));
    m_fields[kMinute]->setText(U(t.minute));
    m_fields[kTantou]->setText(U(t.tantou));
    m_fields[kTitle]->setText(U(t.title));
    m_fields[kKeyword]->setText(U(t.keyword));
    m_fields[kMoney]->setText(U(t.money));
    m_fields[kPicture]->setText(U(t.picture));
    m_details->setPlainText(U(t.action));
    m_preview->SetPicture(t.picture);
    // A button that gets disabled while it has the focus hands it to 閉じる.
    for (int id : {RirekiCtl::Previous, RirekiCtl::Next}) {
        const bool enabled = id == RirekiCtl::Previous ? m_logic.PreviousEnabled() : m_logic.NextEnabled();
        if (!enabled && Button(id)->hasFocus()) Button(RirekiCtl::Cancel)->setFocus();
        Button(id)->setEnabled(enabled);
    }
}
