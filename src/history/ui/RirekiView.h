// The history screen (screen 4 of the main window): the history list, the
// find and extraction buttons and the row count. Commands go to CRirekiListLogic.
#pragma once

class QScrollArea;

#include <memory>

#include "app/ui/ScreenView.h"
#include "common/ui/ValueLabel.h"
#include "history/RirekiListLogic.h"
#include "history/RirekiNavigator.h"

class CRirekiListCtrl;
class CScreenRegistry;
class QLabel;
class QPushButton;

class CRirekiView final : public CScreenView, private IRirekiScreen, public IRirekiNavigator {
    Q_OBJECT
public:
    CRirekiView(CMilvaneDoc& doc, CMainFrame& frame, QWidget* parent = nullptr);
    ~CRirekiView() override;

    void OnInitialUpdate() override;
    bool UpdateCommand(int id, CCommandState& state) override;
    bool OnCommand(int id) override;
    int OnFindRequest(const CFindRequest& request) override;

    // Rebuilds the rows from the document (after a history extraction).
    void Refill() { m_logic->Fill(); }
    // Navigation of the view-only history dialog.
    const CRirekiData* NextEntry(bool& hasMore) override { return m_logic->NextEntry(hasMore); }
    const CRirekiData* PreviousEntry(bool& hasMore) override { return m_logic->PreviousEntry(hasMore); }
    const CRirekiData* LocateEntry(int32_t key, bool& hasPrevious, bool& hasNext) override {
        return m_logic->LocateEntry(key, hasPrevious, hasNext);
    }

    CRirekiListLogic& Logic() { return *m_logic; }
    CRirekiListCtrl* ListCtrl() const { return m_listCtrl; }
    CValueLabel* CountLabel() const { return m_count; }
    QPushButton* Button(int id) const;

    // Registers screen 4 with the main window.
    static void Register(CScreenRegistry& screens);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // IRirekiScreen
    void SetCountText(const std::string& text) override;
    void ShowExtractionButtons(bool shown) override;
    bool SaveExtraction() override;
    void SwitchScreen(int screen) override;
    void CloseMainWindow() override;
    int ExtractionDialog(int mode, int resultKind) override;
    int AnalysisSheet() override;
    bool ScreenBuilt(int screen) const override;

    void ViewEntry();
    void LayoutChildren();

    std::unique_ptr<CRirekiListLogic> m_logic;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_page = nullptr;  // holds the controls; scrolls below its minimum size
    CRirekiListCtrl* m_listCtrl = nullptr;
    CValueLabel* m_count = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_release = nullptr;
    QPushButton* m_redo = nullptr;
    QPushButton* m_save = nullptr;
};
