// The DM title dialog ("DMの詳細"): one DM title entered, changed or viewed.
// The rules live in CDMTitleForm.
#pragma once

#include <QDialog>
#include <string>

#include "dm/DMTitleForm.h"

class CChoiceComboBox;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class CDMTitleDlg : public QDialog {
    Q_OBJECT
public:
    CDMTitleDlg(const std::string& installDir, const CDMTitleForm& form, QWidget* parent = nullptr);

    const CDMTitleForm& Form() const { return m_form; }

    QSpinBox* Year() const { return m_year; }
    QComboBox* Month() const { return m_month; }
    QComboBox* Day() const { return m_day; }
    QComboBox* Hour() const { return m_hour; }
    QComboBox* Minute() const { return m_minute; }
    QLineEdit* Title() const { return m_title; }
    CChoiceComboBox* Content() const { return m_content; }
    CChoiceComboBox* Manager() const { return m_manager; }
    QRadioButton* Unsent() const { return m_unsent; }
    QRadioButton* Sent() const { return m_sent; }
    QRadioButton* Printed() const { return m_printed; }
    QRadioButton* Mailed() const { return m_mailed; }
    QCheckBox* History() const { return m_history; }
    QPushButton* OkButton() const { return m_ok; }

    void accept() override;

private:
    void FillDays();
    void Collect();

    CDMTitleForm m_form;
    QSpinBox* m_year;
    QComboBox* m_month;
    QComboBox* m_day;
    QComboBox* m_hour;
    QComboBox* m_minute;
    QLineEdit* m_title;
    CChoiceComboBox* m_content;
    CChoiceComboBox* m_manager;
    QRadioButton* m_unsent;
    QRadioButton* m_sent;
    QRadioButton* m_printed;
    QRadioButton* m_mailed;
    QCheckBox* m_history;
    QPushButton* m_ok;
};

// Runs the dialog on form; true on OK (form then holds the values).
bool RunDMTitleDialog(QWidget* parent, const std::string& installDir, CDMTitleForm& form);
