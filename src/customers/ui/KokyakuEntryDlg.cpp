#include "customers/ui/KokyakuEntryDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "customers/ui/EntryLookupButtons.h"
#include "customers/ui/KokyakuSubDlg.h"

namespace {

const std::vector<int> kBasicIds = {1058, 1059, 1060, 1065, 1360, 1361, 1068, 1110, 1232,
                                    1105, 1106, 1107, 1108, 1328, 1109, 1121};
const std::vector<int> kHomeIds = {1070, 1071, 1072, 1073, 1074, 1075, 1076, 1090, 1091, 1092, 1095};
const std::vector<int> kCompanyIds = {1078, 1079, 1080, 1081, 1084, 1085, 1086, 1087,
                                      1088, 1089, 1077, 1093, 1094, 1096};
const std::vector<int> kDetailIds = {1082, 1231, 1097, 1184, 1098, 1230, 1122, 1182, 1100, 1101, 1102, 1103, 1104};

}  // namespace

CKokyakuEntryDlg::CKokyakuEntryDlg(EntryLayout layout, EntryMode mode, const CEntryRecord* record, bool hasPrev,
                                   bool hasNext, IKokyakuEntryHost* host, EntryLabelFn labels, QWidget* parent,
                                   ChoiceComboFactory choices)
    : QDialog(parent),
      m_logic(layout, mode, record, hasPrev, hasNext, host),
      m_labels(std::move(labels)),
      m_choices(std::move(choices)) {
    runSubDialog = [](CKokyakuSubDlg& d) { return d.exec() == QDialog::Accepted; };
    openUrl = OpenUrlWithDesktop;
    chooseAddress = DialogAddressChooser(this);
    setWindowTitle(QString::fromStdString(m_logic.Title()));
    const bool viewOnly = m_logic.ViewOnly();
    m_controls = new CEntryControls(MainPageBindings(layout), m_labels, viewOnly, this, m_choices);

    auto* top = new QVBoxLayout(this);
    auto* blocks = new QHBoxLayout;
    top->addLayout(blocks);
    const QString basic = QString::fromUtf8("基本情報");
    switch (layout) {
    case EntryLayout::Normal:
        blocks->addWidget(m_controls->BuildGroup(basic, kBasicIds));
        blocks->addWidget(m_controls->BuildGroup(QString::fromUtf8("自宅"), kHomeIds));
        blocks->addWidget(m_controls->BuildGroup(QString::fromUtf8("会社"), kCompanyIds));
        break;
    case EntryLayout::Individual:
        blocks->addWidget(m_controls->BuildGroup(basic, kBasicIds));
        blocks->addWidget(m_controls->BuildGroup(QString::fromUtf8("自宅"), kHomeIds));
        break;
    case EntryLayout::Corporate:
        blocks->addWidget(m_controls->BuildGroup(basic, kBasicIds));  // without the birthday
        blocks->addWidget(m_controls->BuildGroup(QString::fromUtf8("会社"), kCompanyIds));
        blocks->addWidget(m_controls->BuildGroup(QString::fromUtf8("会社詳細"), kDetailIds));
        break;
    }

    auto* row = new QHBoxLayout;
    auto addButton = [&](int id, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QStringLiteral("btn%1").arg(id));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
        m_buttons[id] = b;
        row->addWidget(b);
        return b;
    };
    addButton(1356, QString::fromUtf8("前へ"));
    addButton(1357, QString::fromUtf8("次へ"));
    row->addStretch();
    addButton(1325, QString::fromUtf8("さらに備考..."));
    switch (layout) {
    case EntryLayout::Normal: addButton(1326, QString::fromUtf8("会社詳細...")); break;
    case EntryLayout::Individual: addButton(1362, QString::fromUtf8("会社情報...")); break;
    case EntryLayout::Corporate: addButton(1362, QString::fromUtf8("個人情報...")); break;
    }
    addButton(1295, QString::fromUtf8("写真..."))->setEnabled(false);
    row->addStretch();
    addButton(1, QString::fromStdString(m_logic.Button1Text()));
    addButton(1389, QString::fromUtf8("閉じる"));
    top->addLayout(row);

    connect(m_controls, &CEntryControls::buttonClicked, this, &CKokyakuEntryDlg::OnCommand);
    if (auto* name = qobject_cast<CReadingLineEdit*>(m_controls->Control(EntryCtl::Name))) {
        connect(name, &CReadingLineEdit::readingCommitted, this,
                [this](const QString& r) { m_controls->AppendText(EntryCtl::Yomi, r); });
    }
    if (auto* name = qobject_cast<CReadingLineEdit*>(m_controls->Control(EntryCtl::CompName))) {
        connect(name, &CReadingLineEdit::readingCommitted, this,
                [this](const QString& r) { m_controls->AppendText(EntryCtl::CompYomi, r); });
    }

    m_logic.Attach(this);
    UpdateButtons();
    m_controls->Focus(EntryCtl::Name);
}

QPushButton* CKokyakuEntryDlg::Button(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

ControlValues CKokyakuEntryDlg::ReadControls() { return m_controls->Read(); }
void CKokyakuEntryDlg::WriteControls(const ControlValues& values) { m_controls->Write(values); }
void CKokyakuEntryDlg::FocusControl(int id) { m_controls->Focus(id); }

void CKokyakuEntryDlg::UpdateButtons() {
    Button(1)->setEnabled(m_logic.Button1Enabled());
    Button(1356)->setVisible(m_logic.NavigationVisible());
    Button(1357)->setVisible(m_logic.NavigationVisible());
    Button(1356)->setEnabled(m_logic.PrevEnabled());
    Button(1357)->setEnabled(m_logic.NextEnabled());
}

void CKokyakuEntryDlg::OnCommand(int id) {
    switch (id) {
    case 1: m_logic.OnButton1(); break;
    case 1389:
        if (m_logic.OnClose()) accept();
        return;
    case 1356: m_logic.OnPrev(); break;
    case 1357: m_logic.OnNext(); break;
    case 1325: OpenSubDialog(true); break;
    case 1295: OpenPictures(); break;
    case 1326:
    case 1362: OpenSubDialog(false); break;
    case 1329:
    case 1330:
    case 1331:
    case 1332: RunLookupButton(id, *m_controls, chooseAddress); break;
    case 1381:
    case 1384: {
        auto* e = qobject_cast<QLineEdit*>(m_controls->Control(id == 1381 ? EntryCtl::Url1 : EntryCtl::Url2));
        if (!e) break;
        if (auto url = UrlToOpen(e->text().toStdString()); url && openUrl) openUrl(QString::fromStdString(*url));
        break;
    }
    default: break;
    }
    UpdateButtons();
}

void CKokyakuEntryDlg::SetPictureRunner(std::function<bool(std::array<std::string, 5>&, bool)> run) {
    runPictures = std::move(run);
    Button(1295)->setEnabled(bool(runPictures));
}

void CKokyakuEntryDlg::OpenPictures() {
    if (!runPictures) return;
    std::array<std::string, 5> names;
    for (int i = 0; i < 5; ++i) names[i] = m_logic.Working().Text("Picture" + std::to_string(i + 1));
    if (!runPictures(names, m_logic.ViewOnly()) || m_logic.ViewOnly()) return;
    for (int i = 0; i < 5; ++i) m_logic.Working().SetText("Picture" + std::to_string(i + 1), names[i]);
}

void CKokyakuEntryDlg::OpenSubDialog(bool notes) {
    const SubDialogKind kind = notes ? SubDialogKind::Notes : LayoutSubDialog(m_logic.Layout());
    std::string note1;
    if (notes) {
        if (auto* e = qobject_cast<QLineEdit*>(m_controls->Control(EntryCtl::Note1))) note1 = e->text().toStdString();
    }
    const CEntryRecord input =
        SubDialogInput(m_logic.Working(), m_controls->MailChoice(), notes ? &note1 : nullptr);
    CKokyakuSubDlg dlg(kind, input, m_logic.ViewOnly(), m_labels, this, m_choices);
    dlg.chooseAddress = chooseAddress;
    if (!runSubDialog(dlg)) return;
    if (ApplySubDialog(kind, dlg.Record(), m_logic.Working())) m_controls->ClearMailButtons();
    if (notes) {
        if (auto* e = qobject_cast<QLineEdit*>(m_controls->Control(EntryCtl::Note1)))
            e->setText(QString::fromStdString(dlg.Record().Text("Note1")));
    }
}
