// The customer screen (screens 1 to 3 of the main window): the customer list,
// the extraction buttons, the row count and, on the right, the card pane area
// behind a 3-pixel splitter. Commands go to CKokyakuViewLogic.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "app/ui/ScreenView.h"
#include "customers/KokyakuEntryCommands.h"
#include "customers/KokyakuHistory.h"
#include "customers/KokyakuViewLogic.h"
#include "dm/MailFlows.h"

class CCardPane;
class CScreenRegistry;
class CKokyakuListCtrl;
class QLabel;
class CValueLabel;
class QPushButton;
class QRubberBand;

// The bar between the list and the card pane: dragged with the left button
// (a halftone bar follows within the limits), applied on release, dropped on
// a right click.
class CSplitterBar final : public QWidget {
    Q_OBJECT
public:
    explicit CSplitterBar(QWidget* parent);
    std::function<int(int)> clamp;  // keeps a position within the limits

signals:
    void moved(int x);  // new left edge of the bar in the parent

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRubberBand* m_band = nullptr;
    bool m_dragging = false;
};

class CKokyakuView final : public CScreenView, private IKokyakuScreen, private IKokyakuHistoryScreen {
    Q_OBJECT
public:
    // mode: the screen number 1 to 3.
    CKokyakuView(CMilvaneDoc& doc, CMainFrame& frame, int mode, QWidget* parent = nullptr);
    ~CKokyakuView() override;

    void OnInitialUpdate() override;
    bool UpdateCommand(int id, CCommandState& state) override;
    bool OnCommand(int id) override;
    bool RunCommand(int id);
    int OnFindRequest(const CFindRequest& request) override;

    CKokyakuViewLogic& Logic() { return *m_logic; }
    CKokyakuListCtrl* ListCtrl() const { return m_listCtrl; }
    CValueLabel* CountLabel() const { return m_count; }
    QPushButton* ExtractButton(int id) const;
    // The right part beside the list (the card pane) and its splitter.
    QWidget* CardArea() const;
    CCardPane* Card() const { return m_card; }
    bool CardShown() const override { return m_cardShown; }
    CKokyakuHistory& History() { return *m_history; }
    // Opens the history entry dialog; replaceable (tests answer without a dialog).
    RirekiDialogRunner runRirekiDialog;
    // Opens the subject dialog of a mail; replaceable.
    MailSubjectRunner runMailSubjectDialog;
    CSplitterBar* Splitter() const { return m_splitter; }

    // Operations of the entry and history dialogs.
    int32_t AddCustomer(const CKokyaku& record) { return m_logic->AddCustomer(record); }
    int ModifyCustomer(int32_t key, const CKokyaku& record) { return m_logic->ModifyCustomer(key, record); }
    CNeighbour NextCustomer() { return m_logic->NextCustomer(); }
    CNeighbour PrevCustomer() { return m_logic->PrevCustomer(); }

    // Set before leaving for a screen that shows the current extraction or
    // analysis result (the history or the DM screen): it is then kept.
    void KeepResultOnLeave() { m_keepResult = true; }

    // Registers screens 1 to 3 with the main window.
    static void Register(CScreenRegistry& screens);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // IKokyakuScreen
    void SetFrameTitle(const std::string& title) override;
    void SetCountText(const std::string& text) override;
    void ShowExtractionButtons(bool release, bool redo, bool save) override;
    void RefreshCard() override;
    void ClearCard() override;
    void HideCard() override;
    bool SaveExtraction() override;
    // IKokyakuHistoryScreen
    void ShowCard(int page) override;
    void SwitchScreen(int screen) override;
    void CloseMainWindow() override;
    int ExtractionDialog(int mode) override;
    bool CanShowHistory() const override;
    void ShowHistoryResult() override;

    void ShowCardArea();
    void MailSelected();
    void MailFromCardLink(const QString& address);
    // Shows the first selected customer on the card when it changed.
    void SyncCard();
    bool CardOnHistoryPage() const;
    void LayoutChildren();
    void ShowContextMenu(const QPoint& globalPos);
    int MinFormWidth() const;

    int m_mode;
    KokyakuScreenOps m_ops;  // what the entry dialogs call back
    std::unique_ptr<CKokyakuViewLogic> m_logic;
    CKokyakuListCtrl* m_listCtrl = nullptr;
    CValueLabel* m_count = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_release = nullptr;
    QPushButton* m_redo = nullptr;
    QPushButton* m_save = nullptr;
    CCardPane* m_card = nullptr;
    std::unique_ptr<CKokyakuHistory> m_history;
    bool m_findInCard = false;
    CSplitterBar* m_splitter = nullptr;
    bool m_cardShown = false;
    int m_listWidth = -1;  // left part while the card pane is shown
    bool m_keepResult = false;
};
