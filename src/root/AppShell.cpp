#include "root/AppShell.h"

#include <QApplication>
#include <QFontDatabase>
#include <QTimer>
#include <QWindow>
#include <cstring>

#include "app/ui/MainFrame.h"
#include "root/Wiring.h"
#include "common/ui/Accessible.h"
#include "common/ui/QtPorts.h"
#include "common/ui/WaitDlg.h"
#include "common/ui/WindowFront.h"
#include "printing/ui/QtPrintUi.h"

namespace {
// Answers every password question with a cancel.
class CNoPasswordPort final : public IPasswordPort {
public:
    std::optional<std::string> AskPassword(const std::string&, int) override { return std::nullopt; }
    std::optional<std::pair<std::string, std::string>> AskNewPassword(bool) override { return std::nullopt; }
};
}  // namespace

CQtAppShell::CQtAppShell(bool interactive) : m_interactive(interactive) {}

IPasswordPort& CQtAppShell::PasswordPort() {
    static CNoPasswordPort none;
    if (!m_interactive) return none;
    return m_passwordPort;
}

CQtAppShell::~CQtAppShell() {
    m_wait.reset();
    m_frame.reset();
}

void CQtAppShell::CreateStartupWait() {
    m_wait = std::make_unique<CWaitDlg>(nullptr, QStringLiteral("Milvaneを起動しています..."));
    m_wait->ShowNow();
}

void CQtAppShell::DestroyStartupWait() { m_wait.reset(); }

bool CQtAppShell::CreateMainWindow(CMilvaneDoc& doc) {
    m_frame = std::make_unique<CMainFrame>(doc, BuiltScreens());
    if (!m_frame->CreateFirstScreen()) {
        m_frame.reset();
        return false;
    }
    return true;
}

void CQtAppShell::ShowMainWindow() {
    if (!m_frame) return;
    ShowInFront(m_frame.get());
    m_frame->repaint();
}

QString ApplyJapaneseFont(QApplication& app) {
    const QStringList families = QFontDatabase::families();
    QString chosen;
    for (const char* f : {"IPAPGothic", "IPA Pゴシック", "IPAGothic", "IPAゴシック"}) {
        if (families.contains(QString::fromUtf8(f))) {
            chosen = QString::fromUtf8(f);
            break;
        }
    }
    if (chosen.isEmpty()) {
        const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        for (const QString& f : japanese)
            if (!QFontDatabase::isPrivateFamily(f)) {
                chosen = f;
                break;
            }
    }
    if (chosen.isEmpty()) return app.font().family();
    QFont font(chosen);
    font.setPointSizeF(std::max<qreal>(app.font().pointSizeF(), 9.5));
    font.setStyleStrategy(QFont::PreferAntialias);
    app.setFont(font);
    return chosen;
}

int RunMilvane(QApplication& app, const RunOptions& options) {
    std::unique_ptr<CQtPorts> ports;
    CConsolePrompt console;
    if (options.installQtPorts) {
        ports = std::make_unique<CQtPorts>();
        if (options.quitAfterStart) Ports::Install(&console, &ports->profile, &ports->wait);
    }
    InstallAccessibleFactories();
    InstallQtPrintUi();

    int exitCode = 0;
    {
        CQtAppShell shell(!options.quitAfterStart);
        CMilvaneApp milvane(shell, options.app);
        if (!milvane.InitInstance()) {
            const int code = milvane.ExitInstance();
            return options.quitAfterStart ? 1 : code;
        }

        CMainFrame* frame = shell.Frame();
        const bool quitOnLast = app.quitOnLastWindowClosed();
        app.setQuitOnLastWindowClosed(false);
        QObject::connect(frame, &CMainFrame::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
        if (options.quitAfterStart) {
            // Close once the window has come up with the keyboard focus, or after
            // two seconds on a platform that gives it none.
            const auto closeFrame = [frame] {
                if (frame->isVisible()) frame->close();
            };
            if (frame->isActiveWindow()) {
                QTimer::singleShot(0, frame, closeFrame);
            } else {
                QObject::connect(&app, &QGuiApplication::focusWindowChanged, frame, [frame, closeFrame] {
                    if (frame->isActiveWindow()) QTimer::singleShot(0, frame, closeFrame);
                });
                QTimer::singleShot(2000, frame, closeFrame);
            }
        }
        if (frame->isVisible() || options.quitAfterStart) app.exec();
        app.setQuitOnLastWindowClosed(quitOnLast);
        exitCode = milvane.ExitInstance();
    }
    return exitCode;
}

RunOptions RunOptionsFromCommandLine(int argc, char** argv) {
    RunOptions o;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--quit-after-start") == 0) o.quitAfterStart = true;
    const QByteArray env = qgetenv("MILVANE_QUIT_AFTER_START");
    if (!env.isEmpty() && env != "0") o.quitAfterStart = true;
    return o;
}
