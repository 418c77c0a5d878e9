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
    CQtAppShell();
    ~CQtAppShell() override;

    void CreateStartupWait() override;
    void DestroyStartupWait() override;
    bool CreateMainWindow(CMilvaneDoc& doc) override;
    void ShowMainWindow() override;
    IPasswordPort& PasswordPort() override { return m_passwordPort; }

    CMainFrame* Frame() const { return m_frame.get(); }
    CWaitDlg* StartupWait() const { return m_wait.get(); }

private:
    std::unique_ptr<CWaitDlg> m_wait;
    std::unique_ptr<CMainFrame> m_frame;
    CQtPasswordPort m_passwordPort;
};

// Gives the application a Japanese font: IPA P Gothic or IPA Gothic when
// installed, otherwise any font that covers Japanese. Returns the family used.
QString ApplyJapaneseFont(QApplication& app);

struct RunOptions {
    AppOptions app;                // folders of the installation and the locks
    bool installQtPorts = true;    // false: the caller installed its own ports
    bool quitAfterStart = false;   // close the main window as soon as it is shown
};

// The whole program: start-up, the event loop, shutdown. Returns the exit code.
int RunMilvane(QApplication& app, const RunOptions& options);

// Options from the command line and the environment: "--quit-after-start" or
// MILVANE_QUIT_AFTER_START=1 closes the program right after start-up.
RunOptions RunOptionsFromCommandLine(int argc, char** argv);
