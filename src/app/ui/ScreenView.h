// Base of every full-window screen of the main window (menu screen, customer
// list, history list, DM screen). The frame routes commands to the shown
// screen first and asks it for the state of each command before showing a
// menu or refreshing a toolbar; a command that no one handles is disabled.
#pragma once

#include <QString>
#include <QWidget>

class CMainFrame;
class CMilvaneDoc;

struct CCommandState {
    bool enabled = false;
    bool checkable = false;  // shows a check or radio mark
    bool checked = false;
};

// One request of the find dialog.
struct CFindRequest {
    QString text;
    bool down = true;  // search direction
};

class CScreenView : public QWidget {
    Q_OBJECT
public:
    CScreenView(CMilvaneDoc& doc, CMainFrame& frame, QWidget* parent = nullptr);

    // Run once after creation, before the screen is shown: title, toolbars,
    // contents (the frame calls it while switching screens).
    virtual void OnInitialUpdate() {}
    // The state of a command this screen handles; false leaves it to the frame.
    // Every command that OnCommand runs must be reported here: the frame runs
    // only enabled commands.
    virtual bool UpdateCommand(int id, CCommandState& state) { return false; }
    // Runs a command; false when this screen does not handle it.
    virtual bool OnCommand(int id) { return false; }
    // A find-dialog request forwarded by the frame (list screens). The result
    // is handed back to the dialog.
    virtual int OnFindRequest(const CFindRequest& request) { return 0; }
    // The find dialog was closed; a screen searching in a pane forgets it.
    virtual void OnFindClosed() {}
    // A frame message other than the find request (WM_MLV_FORMLIST_CHANGED ...).
    virtual long OnFrameMessage(int message, long param) { return 0; }

    CMilvaneDoc& Document() const { return m_doc; }
    CMainFrame& Frame() const { return m_frame; }

private:
    CMilvaneDoc& m_doc;
    CMainFrame& m_frame;
};
