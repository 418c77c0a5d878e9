// The seven pages of the analysis sheet. Each reads its fields into the
// core's page structure and runs it; failures put the focus where the core says.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "analysis/AddressLevels.h"
#include "analysis/SorunaSheet.h"

class CChoiceComboBox;
class CValueLabel;
class CMilvaneDoc;
class IAddressLevels;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;

class CSorunaPageWidget : public QWidget {
    Q_OBJECT
public:
    CSorunaPageWidget(int page, QWidget* parent);
    int PageNumber() const { return m_page; }
    virtual SorunaOutcome Run(CSorunaSheetLogic& logic) = 0;
    // Called each time the page is shown.
    virtual void Shown() {}

protected:
    // Radio options: each enables its own fields, disables the others' and,
    // when chosen by the person, moves the focus into its first field.
    QButtonGroup* Options(const std::vector<QRadioButton*>& radios, const std::vector<std::vector<QWidget*>>& fields,
                          int initial);
    int Chosen(QButtonGroup* group) const;
    CChoiceComboBox* TitleCombo(CMilvaneDoc* doc, int id, const QString& name);
    QSpinBox* Number(int id, int value, const QString& name);
    QLineEdit* DateEdit(int id, const QString& name);
    QRadioButton* Radio(int id, const QString& text, const QString& name = {});
    static void FocusField(QWidget* field);

private:
    int m_page;
};

CSorunaPageWidget* MakeSorunaPage(int page, CMilvaneDoc* doc, IAddressLevels* levels, QWidget* parent);

// Page 5 is reached by tests through its controls.
class CSorunaAreaPage : public CSorunaPageWidget {
    Q_OBJECT
public:
    CSorunaAreaPage(CMilvaneDoc* doc, IAddressLevels* levels, QWidget* parent);
    SorunaOutcome Run(CSorunaSheetLogic& logic) override;
    void Shown() override;

    QListWidget* Level(int level) const { return m_levels[level]; }
    CValueLabel* ZipLabel() const { return m_zip; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* RemoveButton() const { return m_remove; }
    QTreeWidget* AddressList() const { return m_list; }
    QRadioButton* PhoneTarget() const { return m_phone; }
    const CAreaAddressList& Addresses() const { return m_addresses; }

private:
    void Fill(int level);
    void LevelChosen(int level);
    void Add();
    void RemoveSelected();
    void ShowAddresses();

    CNoAddressLevels m_none;  // the source without a dictionary
    IAddressLevels* m_source;
    QListWidget* m_levels[4] = {};
    std::vector<CAddressLevelEntry> m_entries[4];
    CValueLabel* m_zip = nullptr;
    std::string m_zipText;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QTreeWidget* m_list = nullptr;
    QRadioButton* m_customers = nullptr;
    QRadioButton* m_phone = nullptr;
    CAreaAddressList m_addresses;
};
