// "自社情報設定" and "金額計算設定": the widgets over OwnCompanyForm.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "printing/OwnCompanyForm.h"

class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class CChoiceComboBox;

class COwnCompanyDlg : public QDialog {
    Q_OBJECT
public:
    COwnCompanyDlg(const std::string& installDir, QWidget* parent = nullptr);
    COwnCompanyFields Fields() const;
    void accept() override;

    QLineEdit* ZipEdit(int i) const { return m_zip[i]; }
    QLineEdit* TelEdit(int i) const { return m_tel[i]; }

private:
    QLineEdit* NumericEdit(int maxLength);

    std::string m_installDir;
    QLineEdit* m_company = nullptr;
    QLineEdit* m_section = nullptr;
    CChoiceComboBox* m_person = nullptr;
    std::array<QLineEdit*, 2> m_zip{};
    QPlainTextEdit* m_address = nullptr;
    std::array<QLineEdit*, 3> m_tel{}, m_fax{};
    QPlainTextEdit* m_bank = nullptr;
    QLineEdit* m_catch = nullptr;
};

class CAmountDlg : public QDialog {
    Q_OBJECT
public:
    CAmountDlg(const std::string& installDir, QWidget* parent = nullptr);
    void accept() override;
    QLineEdit* RateEdit() const { return m_rate; }
    QRadioButton* Rounding(int i) const { return m_rounding[i]; }

private:
    std::string m_installDir;
    std::array<QRadioButton*, 3> m_rounding{};
    QLineEdit* m_rate = nullptr;
};
