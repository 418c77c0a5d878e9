// "ソルナ分析": seven drawn picture buttons on the left select a page on the
// right; 実行 runs the page through CSorunaSheetLogic.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

#include "analysis/SorunaSheet.h"

class CMilvaneDoc;
class IAddressLevels;
class QAbstractButton;
class QPushButton;
class QStackedWidget;
class CSorunaPageWidget;

// The background of the sheet and its pages.
inline constexpr unsigned kSorunaBackground = 0xFFFFAA;  // RGB(255, 255, 170)

class CSorunaSheet : public QDialog {
    Q_OBJECT
public:
    // levels feeds page 5's address lists (not owned; may be null).
    CSorunaSheet(CMilvaneDoc* doc, bool lockedDM, IAddressLevels* levels, std::function<void()> beforeReset = {},
                 QWidget* parent = nullptr);
    ~CSorunaSheet() override;

    CSorunaSheetLogic& Logic() { return m_logic; }
    QAbstractButton* PageButton(int page) const { return m_buttons[page - 1]; }
    QPushButton* RunButton() const { return m_run; }
    QPushButton* CancelButton() const { return m_cancel; }
    // The widget of the current page.
    CSorunaPageWidget* CurrentPage() const;
    void SelectPage(int page);
    void OnRun();
    // After OK: the kind stored in the document, 0 when none was stored.
    int StoredKind() const { return m_storedKind; }

    void reject() override;

private:
    CMilvaneDoc* m_doc;
    IAddressLevels* m_levels;
    CSorunaSheetLogic m_logic;
    std::array<QAbstractButton*, kSorunaPageCount> m_buttons{};
    std::array<CSorunaPageWidget*, kSorunaPageCount> m_pages{};
    QStackedWidget* m_area = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_storedKind = 0;
};

// Runs the sheet modally: 0 when cancelled or nothing was stored, else the
// kind of the result stored in the document (1..7).
int RunSorunaSheet(QWidget* parent, CMilvaneDoc* doc, bool lockedDM, std::function<void()> beforeReset = {});

// The address source of page 5 for the running program.
IAddressLevels& SorunaAddressLevels();
