// The DM title selection dialog ("DMタイトルを選択") and the customer
// selection dialog ("顧客を選択"). Their rules live in CDMTitleSelectLogic
// and CCustomerSelectLogic.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "dm/DMSelectLogic.h"

class CMilvaneDoc;
class QCheckBox;
class QPushButton;
class QTreeWidget;

class CDMTitleSelectDlg : public QDialog {
    Q_OBJECT
public:
    CDMTitleSelectDlg(CMilvaneDoc* doc, int mode, CDMKeys customerKeys, QWidget* parent = nullptr);

    CDMTitleSelectLogic& Logic() { return m_logic; }
    QTreeWidget* List() const { return m_list; }
    QCheckBox* KeepHistory() const { return m_keep; }
    QPushButton* NewButton() const { return m_new; }
    QPushButton* OkButton() const { return m_ok; }

    void accept() override;

private:
    CDMTitleSelectLogic m_logic;
    std::string m_installDir;
    QTreeWidget* m_list;
    QCheckBox* m_keep;
    QPushButton* m_new;
    QPushButton* m_ok;
};

// Mode 1: adds the customers to the chosen DM (true on OK).
bool RunDMTitleSelectDialog(QWidget* parent, CMilvaneDoc* doc, const CDMKeys& customerKeys);

class CCustomerSelectDlg : public QDialog {
    Q_OBJECT
public:
    CCustomerSelectDlg(CMilvaneDoc& doc, int mode, QWidget* parent = nullptr);

    CCustomerSelectLogic& Logic() { return m_logic; }
    QTreeWidget* List() const { return m_list; }
    QPushButton* SelectAllButton() const { return m_all; }
    QPushButton* ExtractButton() const { return m_extract; }
    QCheckBox* KeepHistory() const { return m_keep; }

    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowTick(int row);
    void ToggleCurrent();

    CMilvaneDoc& m_doc;
    CCustomerSelectLogic m_logic;
    QTreeWidget* m_list;
    QPushButton* m_all;
    QPushButton* m_extract;
    QCheckBox* m_keep;
};

// Mode 1: the chosen customers as new target records (true on OK).
bool RunCustomerSelectDialog(QWidget* parent, CMilvaneDoc& doc, std::vector<CDMMngData>& chosen);
