// The Qt side of the application's start-up: the start-up wait dialog, the
// hidden main window with the menu screen, the password dialogs, and the run
// of the whole program (RunMilvane), which main() and the tests share.
#pragma once

#include <memory>
#include <string>

#include "app/MilvaneApp.h"
#include "app/ui/PasswordDlg.h"

class QApplication;
class CMainFrame;
class CWaitDlg;

class CQtAppShell final : public IAppShell {
public:
    // interactive false: the password is never asked (as if cancelled).
    explicit CQtAppShell(bool interactive = true);
    ~CQtAppShell() override;

    void CreateStartupWait() override;
    void DestroyStartupWait() override;
    bool CreateMainWindow(CMilvaneDoc& doc) override;
    void ShowMainWindow() override;
    IPasswordPort& PasswordPort() override;

    CMainFrame* Frame() const { return m_frame.get(); }
    CWaitDlg* StartupWait() const { return m_wait.get(); }

private:
    std::unique_ptr<CWaitDlg> m_wait;
    std::unique_ptr<CMainFrame> m_frame;
    CQtPasswordPort m_passwordPort;
    bool m_interactive;
};

// Gives the application a Japanese font: IPA P Gothic or IPA Gothic when
// installed, otherwise any font that covers Japanese. Returns the family used.
QString ApplyJapaneseFont(QApplication& app);

struct RunOptions {
    AppOptions app;                // folders of the installation and the locks
    bool installQtPorts = true;    // false: the caller installed its own ports
    // Close the main window as soon as it is shown. Nothing waits for a
    // person then: with the Qt ports, messages go to standard error and
    // questions take their default; a failed start-up exits with 1.
    bool quitAfterStart = false;
};

// The whole program: start-up, the event loop, shutdown. Returns the exit code.
int RunMilvane(QApplication& app, const RunOptions& options);

// Options from the command line and the environment: "--quit-after-start" or
// MILVANE_QUIT_AFTER_START=1 closes the program right after start-up.
RunOptions RunOptionsFromCommandLine(int argc, char** argv);
