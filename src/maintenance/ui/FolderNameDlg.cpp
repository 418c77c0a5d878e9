#include "maintenance/ui/FolderNameDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Ports.h"

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CFolderNameDlg::CFolderNameDlg(const std::string& title, const std::string& prompt, const std::string& start,
                               QWidget* parent)
    : QDialog(parent), m_prompt(prompt) {
    setWindowTitle(Q(title));
    auto* promptLabel = new QLabel(Q(prompt), this);
    promptLabel->setWordWrap(true);
    auto* label = new QLabel(QStringLiteral("フォルダ(&F):"), this);
    m_edit = new QLineEdit(Q(start), this);
    m_edit->setAccessibleName(QStringLiteral("フォルダ"));
    m_edit->setAccessibleDescription(Q(prompt));
    m_edit->setMinimumWidth(360);
    label->setBuddy(m_edit);
    m_browse = new QPushButton(QStringLiteral("参照(&B)..."), this);
    m_browse->setAccessibleName(QStringLiteral("参照..."));
    m_browse->setAutoDefault(false);
    connect(m_browse, &QPushButton::clicked, this, &CFolderNameDlg::Browse);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    m_ok->setAccessibleName(QStringLiteral("OK"));
    cancel->setAccessibleName(QStringLiteral("キャンセル"));
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto updateOk = [this] { m_ok->setEnabled(!m_edit->text().trimmed().isEmpty()); };
    connect(m_edit, &QLineEdit::textChanged, this, updateOk);
    updateOk();

    auto* row = new QHBoxLayout;
    row->addWidget(m_edit, 1);
    row->addWidget(m_browse);
    auto* top = new QVBoxLayout(this);
    top->addWidget(promptLabel);
    top->addSpacing(6);
    top->addWidget(label);
    top->addLayout(row);
    top->addSpacing(8);
    top->addWidget(buttons);
    setTabOrder(m_edit, m_browse);
    setTabOrder(m_browse, m_ok);
    setTabOrder(m_ok, cancel);
    m_edit->setFocus();
}

std::string CFolderNameDlg::Folder() const { return m_edit->text().trimmed().toStdString(); }

void CFolderNameDlg::Browse() {
    std::optional<std::string> chosen = Ports::Prompt().ChooseFolder(m_prompt, Folder());
    if (chosen) m_edit->setText(Q(*chosen));
    m_edit->setFocus();
}

std::optional<std::string> RunFolderNameDialog(QWidget* parent, const std::string& title, const std::string& prompt,
                                               const std::string& start) {
    CFolderNameDlg dlg(title, prompt, start, parent);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Folder();
}
