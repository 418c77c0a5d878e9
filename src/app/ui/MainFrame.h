// The one main window. It shows one screen at a time, gives each list screen
// its menu bar and toolbar, owns the find box of the list screens, and starts
// the shutdown of the application when it is closed.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

#include "app/ui/ScreenRegistry.h"
#include "app/ui/ScreenView.h"

class CFindDlg;
class CMilvaneDoc;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    enum ToolBarIndex { TOOLBAR_KOKYAKU = 0, TOOLBAR_RIREKI = 1, TOOLBAR_DM = 2 };

    // screens: what the frame can show (none: only a parent for dialogs).
    explicit CMainFrame(CMilvaneDoc& doc, CScreenRegistry screens = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Creates the first screen (the menu screen). False when it cannot be built.
    bool CreateFirstScreen();

    // Shows screen n (0..5); nothing when it is already shown or not registered.
    void SwitchView(int n);
    // Shows the toolbar of the current screen (or hides it) and hides the others.
    void ShowScreenToolBars(bool show);
    int CurrentScreen() const { return m_currentScreen; }
    CScreenView* ActiveView() const { return m_view; }
    CMilvaneDoc& Document() const { return m_doc; }
    CScreenRegistry& Screens() { return m_screens; }
    const CScreenRegistry& Screens() const { return m_screens; }
    QToolBar* ToolBar(int index) const { return m_toolBars[index]; }
    // The toolbar of a screen number, or null (menu screen).
    QToolBar* ScreenToolBar(int screen) const;

    // Commands: the shown screen first, then the frame's own (menu screen,
    // toolbar toggle, exit, About, help). A command nobody handles is disabled.
    void OnCommand(int id);
    CCommandState QueryCommand(int id) const;
    // Refreshes the enabled and checked state of the toolbar buttons. Runs by
    // itself after every click, key and focus change; a screen whose state
    // changes otherwise (a list filled, a timer-free long step ended) calls it.
    void UpdateCommandUI();

    // The find box: created on first use, brought forward afterwards.
    CFindDlg* OpenFindDialog();
    CFindDlg* FindDialog() const { return m_findDlg; }
    // Delivers a frame message to the shown screen (WM_MLV_FORMLIST_CHANGED).
    long SendFrameMessage(int message, long param = 0);

    // The menu screen takes away the sizing border; the list screens give it back.
    void SetResizable(bool resizable);
    bool IsResizable() const { return m_resizable; }
    // Sizes the window so that the client area (below menu and toolbars) has this size.
    void FitClientTo(const QSize& size);

    // Runs when the window is about to close (document-side shutdown); by
    // default the running application's.
    void SetCloseHandler(std::function<void()> handler) { m_closeHandler = std::move(handler); }

    void ShowAboutBox();
    void ShowHelp();

signals:
    // The window has closed (after the shutdown of the document side).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateToolBars();
    void ReplaceMenuBar(int screen);
    int OnFindRequest(const CFindRequest& request);
    void OnFindDialogClosed();
    void ToggleToolBar();

    CMilvaneDoc& m_doc;
    CScreenRegistry m_screens;
    QPointer<CScreenView> m_view;
    CFindDlg* m_findDlg = nullptr;
    bool m_resizable = true;
    std::array<QToolBar*, 3> m_toolBars{};
    int m_currentScreen = 0;
    bool m_closing = false;
    bool m_updatePending = false;
    std::function<void()> m_closeHandler;
};
