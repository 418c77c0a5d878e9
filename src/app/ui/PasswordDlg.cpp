#include "app/ui/PasswordDlg.h"
#include "common/ui/ImeMode.h"
#include "common/ui/SjisFieldBinding.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* MaskedEdit(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setEchoMode(QLineEdit::Password);
    BindSjisField(e, static_cast<int>(CMLVPassCheck::kMaxLength));
    e->setAccessibleName(name);
    e->setMinimumWidth(200);
    // Passwords are typed as plain characters: no input method.
    SetImeMode(e, false);
    return e;
}

QDialogButtonBox* OkCancel(QDialog* dlg) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
    box->button(QDialogButtonBox::Ok)->setText("OK");
    box->button(QDialogButtonBox::Cancel)->setText("キャンセル");
    QObject::connect(box, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    return box;
}

}  // namespace

CPasswordDlg::CPasswordDlg(const QString& prompt, int attempt, QWidget* parent) : QDialog(parent) {
    setWindowTitle("パスワード");
    auto* label = new QLabel(prompt.isEmpty() ? QStringLiteral("パスワードを入力してください。") : prompt, this);
    label->setWordWrap(true);
    m_edit = MaskedEdit(this, "パスワード");
    label->setBuddy(m_edit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    if (attempt > 1) {
        auto* note = new QLabel(QStringLiteral("（%1回目 / %2回まで）").arg(attempt).arg(CMLVPassCheck::kMaxTries), this);
        note->setObjectName("attemptNote");
        layout->addWidget(note);
    }
    layout->addWidget(m_edit);
    layout->addWidget(OkCancel(this));
    m_edit->setFocus();
}

QString CPasswordDlg::Password() const { return m_edit->text(); }

CNewPasswordDlg::CNewPasswordDlg(bool passwordIsSet, QWidget* parent) : QDialog(parent) {
    setWindowTitle("パスワードの設定");
    auto* intro = new QLabel(passwordIsSet
                                 ? QStringLiteral("新しいパスワードを2回入力してください。\n"
                                                  "両方とも空欄のままOKを押すと、パスワードを解除します。")
                                 : QStringLiteral("起動時に確認するパスワードを2回入力してください。"),
                             this);
    intro->setWordWrap(true);
    m_edit = MaskedEdit(this, "新しいパスワード");
    m_confirm = MaskedEdit(this, "新しいパスワード（確認）");

    auto* form = new QFormLayout;
    form->addRow("新しいパスワード(&P):", m_edit);
    form->addRow("確認のため再入力(&C):", m_confirm);

    auto* box = OkCancel(this);
    m_ok = box->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(box);

    // Without a password set, an empty entry would set nothing.
    auto update = [this, passwordIsSet] {
        m_ok->setEnabled(passwordIsSet || !m_edit->text().isEmpty() || !m_confirm->text().isEmpty());
    };
    connect(m_edit, &QLineEdit::textChanged, this, update);
    connect(m_confirm, &QLineEdit::textChanged, this, update);
    update();
    m_edit->setFocus();
}

QString CNewPasswordDlg::Password() const { return m_edit->text(); }
QString CNewPasswordDlg::Confirmation() const { return m_confirm->text(); }

QWidget* CQtPasswordPort::Parent() const {
    if (m_parent) return m_parent;
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

std::optional<std::string> CQtPasswordPort::AskPassword(const std::string& prompt, int attempt) {
    CPasswordDlg dlg(QString::fromStdString(prompt), attempt, Parent());
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Password().toStdString();
}

std::optional<std::pair<std::string, std::string>> CQtPasswordPort::AskNewPassword(bool passwordIsSet) {
    CNewPasswordDlg dlg(passwordIsSet, Parent());
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return std::make_pair(dlg.Password().toStdString(), dlg.Confirmation().toStdString());
}
