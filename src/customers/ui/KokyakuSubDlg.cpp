#include "customers/ui/KokyakuSubDlg.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "customers/ui/EntryLookupButtons.h"

void OpenUrlWithDesktop(const QString& url) { QDesktopServices::openUrl(QUrl::fromUserInput(url)); }

namespace {

const std::vector<int> kHomeIds = {1070, 1071, 1072, 1073, 1074, 1075, 1076, 1090, 1091, 1092, 1095};
const std::vector<int> kCompanyIds = {1078, 1079, 1080, 1081, 1084, 1085, 1086, 1087,
                                      1088, 1089, 1077, 1093, 1094, 1096};
const std::vector<int> kDetailIds = {1082, 1231, 1097, 1184, 1098, 1230, 1122, 1182, 1100, 1101, 1102, 1103, 1104};

}  // namespace

CKokyakuSubDlg::CKokyakuSubDlg(SubDialogKind kind, const CEntryRecord& record, bool viewOnly, EntryLabelFn labels,
                               QWidget* parent, ChoiceComboFactory choices)
    : QDialog(parent),
      openUrl(OpenUrlWithDesktop),
      chooseAddress(DialogAddressChooser(this)),
      m_kind(kind),
      m_record(record),
      m_viewOnly(viewOnly) {
    setWindowTitle(QString::fromStdString(SubDialogTitle(kind, viewOnly)));
    const auto& bindings = SubDialogBindings(kind);
    m_controls = new CEntryControls(bindings, std::move(labels), viewOnly, this, std::move(choices));

    auto* top = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    top->addLayout(row);
    switch (kind) {
    case SubDialogKind::Notes: {
        std::vector<int> ids = {EntryCtl::Note1};
        for (int i = 0; i < 9; ++i) ids.push_back(EntryCtl::Note2 + i);
        row->addWidget(m_controls->BuildGroup(QString::fromUtf8("備考"), ids));
        setMinimumWidth(520);
        break;
    }
    case SubDialogKind::CompanyDetails:
        row->addWidget(m_controls->BuildGroup(QString::fromUtf8("会社詳細"), kDetailIds));
        break;
    case SubDialogKind::CompanyInfo:
        row->addWidget(m_controls->BuildGroup(QString::fromUtf8("会社"), kCompanyIds));
        row->addWidget(m_controls->BuildGroup(QString::fromUtf8("会社詳細"), kDetailIds));
        break;
    case SubDialogKind::HomeInfo: {
        std::vector<int> ids = kHomeIds;
        ids.push_back(1110);
        row->addWidget(m_controls->BuildGroup(QString::fromUtf8("自宅"), ids));
        break;
    }
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QString::fromUtf8(viewOnly ? "閉じる" : "キャンセル"), this);
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    m_ok->setEnabled(!viewOnly);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    top->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &CKokyakuSubDlg::OnOk);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_controls, &CEntryControls::buttonClicked, this, &CKokyakuSubDlg::OnButton);
    if (auto* name = qobject_cast<CReadingLineEdit*>(m_controls->Control(EntryCtl::CompName))) {
        connect(name, &CReadingLineEdit::readingCommitted, this,
                [this](const QString& r) { m_controls->AppendText(EntryCtl::CompYomi, r); });
    }

    m_controls->Write(LoadControls(bindings, m_record, viewOnly));
    if (viewOnly) m_cancel->setFocus();
}

void CKokyakuSubDlg::OnOk() {
    if (m_viewOnly) return;
    const int failed = SaveControls(SubDialogBindings(m_kind), m_controls->Read(), m_record);
    if (failed != 0) {
        m_controls->Focus(failed);
        return;
    }
    accept();
}

void CKokyakuSubDlg::OnButton(int id) {
    if (RunLookupButton(id, *m_controls, chooseAddress)) return;
    if (id != 1381 && id != 1384) return;
    QWidget* w = m_controls->Control(id == 1381 ? EntryCtl::Url1 : EntryCtl::Url2);
    auto* e = qobject_cast<QLineEdit*>(w);
    if (!e) return;
    if (auto url = UrlToOpen(e->text().toStdString()); url && openUrl) openUrl(QString::fromStdString(*url));
}
