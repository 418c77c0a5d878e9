#include "printing/ui/OwnCompanyDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "customers/ComboData.h"
#include "customers/ui/ChoiceComboBox.h"
#include "common/ui/ImeMode.h"
#include "common/ui/SjisFieldBinding.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("ｷｬﾝｾﾙ"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// A row of several edits under one label, each named "label：n".
QHBoxLayout* Parts(const QString& label, QLineEdit* const* edits, int count) {
    auto* row = new QHBoxLayout;
    for (int i = 0; i < count; ++i) {
        if (i > 0) row->addWidget(new QLabel(QStringLiteral("-")));
        edits[i]->setAccessibleName(QStringLiteral("%1：%2").arg(label).arg(i + 1));
        row->addWidget(edits[i]);
    }
    row->addStretch();
    return row;
}

}  // namespace

COwnCompanyDlg::COwnCompanyDlg(const std::string& installDir, QWidget* parent)
    : QDialog(parent), m_installDir(installDir) {
    setWindowTitle(QStringLiteral("自社情報設定"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("登録した自社情報は、フォーム印刷時にフォームの自社情報欄に自動で入力されます。"), this));
    auto* form = new QFormLayout;
    auto named = [](QWidget* w, const char* name) {
        w->setAccessibleName(QString::fromUtf8(name));
        return w;
    };
    m_company = new QLineEdit(this);
    m_section = new QLineEdit(this);
    m_person = new CChoiceComboBox(this);
    m_person->Fill(installDir, kListTantou, false);
    m_zip = {NumericEdit(3), NumericEdit(4)};
    m_address = new QPlainTextEdit(this);
    m_address->setTabChangesFocus(true);
    m_address->setFixedHeight(60);
    for (auto& e : m_tel) e = NumericEdit(0);
    for (auto& e : m_fax) e = NumericEdit(0);
    m_bank = new QPlainTextEdit(this);
    m_bank->setTabChangesFocus(true);
    m_bank->setFixedHeight(60);
    m_catch = new QLineEdit(this);
    for (QWidget* w : std::initializer_list<QWidget*>{m_company, m_section, m_person, m_address, m_bank, m_catch})
        SetImeMode(w, true);
    for (QWidget* w : std::initializer_list<QWidget*>{m_company, m_section, m_address, m_bank, m_catch})
        BindSjisField(w, 0);
    form->addRow(QStringLiteral("会社名"), named(m_company, "会社名"));
    form->addRow(QStringLiteral("部署名"), named(m_section, "部署名"));
    form->addRow(QStringLiteral("担当者"), named(m_person, "担当者"));
    form->addRow(QStringLiteral("郵便番号"), Parts(QStringLiteral("郵便番号"), m_zip.data(), 2));
    form->addRow(QStringLiteral("住所/所在地"), named(m_address, "住所/所在地"));
    form->addRow(QStringLiteral("電話番号"), Parts(QStringLiteral("電話番号"), m_tel.data(), 3));
    form->addRow(QStringLiteral("FAX番号"), Parts(QStringLiteral("FAX番号"), m_fax.data(), 3));
    form->addRow(QStringLiteral("取引銀行"), named(m_bank, "取引銀行"));
    form->addRow(QStringLiteral("会社ｷｬｯﾁﾌﾚｰｽﾞ"), named(m_catch, "会社ｷｬｯﾁﾌﾚｰｽﾞ"));
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
    connect(m_zip[0], &QLineEdit::textEdited, this, [this] {
        if (m_zip[0]->text().size() >= 3) {
            m_zip[1]->setFocus();
            m_zip[1]->selectAll();
        }
    });

    const COwnCompanyFields f = OpenOwnCompany(installDir);
    m_company->setText(Q(f.company));
    m_section->setText(Q(f.section));
    m_person->setEditText(Q(f.person));
    for (int i = 0; i < 2; ++i) m_zip[i]->setText(Q(f.zip[i]));
    m_address->setPlainText(Q(f.address));
    for (int i = 0; i < 3; ++i) {
        m_tel[i]->setText(Q(f.tel[i]));
        m_fax[i]->setText(Q(f.fax[i]));
    }
    m_bank->setPlainText(Q(f.bank));
    m_catch->setText(Q(f.catchPhrase));
    m_company->setFocus();
}

QLineEdit* COwnCompanyDlg::NumericEdit(int maxLength) {
    auto* edit = new QLineEdit(this);
    BindSjisField(edit, maxLength);
    edit->setFixedWidth(maxLength > 0 ? 40 + maxLength * 8 : 70);
    edit->setInputMethodHints(Qt::ImhDigitsOnly);
    SetImeMode(edit, false);
    connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        const QString kept = Q(LeadingDigits(S(text)));
        if (kept != text) {
            edit->setText(kept);
            edit->setCursorPosition(kept.size());
        }
    });
    return edit;
}

COwnCompanyFields COwnCompanyDlg::Fields() const {
    COwnCompanyFields f;
    f.company = S(m_company->text());
    f.section = S(m_section->text());
    f.person = S(m_person->currentText());
    for (int i = 0; i < 2; ++i) f.zip[i] = S(m_zip[i]->text());
    f.address = S(m_address->toPlainText());
    for (int i = 0; i < 3; ++i) {
        f.tel[i] = S(m_tel[i]->text());
        f.fax[i] = S(m_fax[i]->text());
    }
    f.bank = S(m_bank->toPlainText());
    f.catchPhrase = S(m_catch->text());
    return f;
}

void COwnCompanyDlg::accept() {
    SaveOwnCompany(m_installDir, Fields());
    QDialog::accept();
}

CAmountDlg::CAmountDlg(const std::string& installDir, QWidget* parent) : QDialog(parent), m_installDir(installDir) {
    setWindowTitle(QStringLiteral("金額計算設定"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("端数処理"), this);
    auto* radios = new QHBoxLayout(group);
    const char* labels[] = {"切り捨て", "四捨五入", "切り上げ"};
    for (int i = 0; i < 3; ++i) {
        m_rounding[i] = new QRadioButton(QString::fromUtf8(labels[i]), group);
        m_rounding[i]->setAccessibleName(QStringLiteral("端数処理：") + QString::fromUtf8(labels[i]));
        radios->addWidget(m_rounding[i]);
    }
    layout->addWidget(group);
    auto* prompt = new QLabel(QStringLiteral("消費税率を指定してください。"), this);
    layout->addWidget(prompt);
    auto* row = new QHBoxLayout;
    m_rate = new QLineEdit(this);
    BindSjisField(m_rate, 3);
    m_rate->setFixedWidth(60);
    SetImeMode(m_rate, false);
    m_rate->setAccessibleName(QStringLiteral("消費税率を指定してください。"));
    prompt->setBuddy(m_rate);
    row->addWidget(m_rate);
    row->addWidget(new QLabel(QStringLiteral("％"), this));
    row->addStretch();
    layout->addLayout(row);
    layout->addWidget(OkCancel(this));
    const CAmountSettings s = ReadAmountSettings(installDir);
    m_rounding[s.rounding]->setChecked(true);
    m_rate->setText(Q(s.taxRate));
    m_rounding[s.rounding]->setFocus();
}

void CAmountDlg::accept() {
    CAmountSettings s;
    for (int i = 0; i < 3; ++i)
        if (m_rounding[i]->isChecked()) s.rounding = i;
    s.taxRate = S(m_rate->text());
    SaveAmountSettings(m_installDir, s);
    QDialog::accept();
}
