// The application object: start-up from process start to the first visible
// screen (installation checks, single-instance locks, password, document,
// database, customer list) and shutdown. The window steps go through
// IAppShell, which the user interface implements.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/InstanceLock.h"
#include "app/PassCheck.h"
#include "lookup/Dictionaries.h"

class CMilvaneDoc;

// The refusals of the single-instance locks.
inline constexpr const char* kAlreadyRunningMessage = "『Milvane』は既に起動しています。";
inline constexpr const char* kOtherUserMessage =
    "他のユーザーが「Milvane」を使用しています。\nそのユーザーがアプリケーションを終了してからご利用ください。";

// Opens the document's database as start-up does: an interrupted restore is
// finished or undone first; a left work file is told, deleted and the open
// tried again. 0 when the program must end (message shown); 1 otherwise, also
// after "データベースを開けませんでした。".
int OpenDocumentDatabase(CMilvaneDoc& doc);
// Reads every customer into the document in the default sort order.
void LoadDocumentCustomers(CMilvaneDoc& doc);

// The window side of start-up.
class IAppShell {
public:
    virtual ~IAppShell() = default;
    // The start-up wait dialog: created before the document, destroyed before
    // the main window is shown (or when start-up fails after creating it).
    virtual void CreateStartupWait() = 0;
    virtual void DestroyStartupWait() = 0;
    // Creates the main window, hidden, with the menu screen for the document
    // (whose OnNewDocument has already run). False on failure.
    virtual bool CreateMainWindow(CMilvaneDoc& doc) = 0;
    // Shows the main window normally and paints it at once.
    virtual void ShowMainWindow() = 0;
    // The dialogs of the password component.
    virtual IPasswordPort& PasswordPort() = 0;
};

struct AppOptions {
    std::string installDir;      // "" → CIxenEnv::InstallDir()
    std::string templateDir;     // "" → CIxenEnv::TemplateDir(); no template: nothing is copied
    std::string sessionLockDir;  // "" → CInstanceLocks default
    std::string globalLockDir;   // "" → CInstanceLocks default
    bool changeDirectory = true; // chdir to <install>/Exe at start-up
    CMLVPassCheck::Strength passwordStrength = CMLVPassCheck::Strength::Moderate;
};

class CMilvaneApp {
public:
    explicit CMilvaneApp(IAppShell& shell, AppOptions options = {});
    ~CMilvaneApp();
    CMilvaneApp(const CMilvaneApp&) = delete;
    CMilvaneApp& operator=(const CMilvaneApp&) = delete;

    // The application object of the process (the last one constructed), or null.
    static CMilvaneApp* Current();

    // Start-up; non-zero to run, zero to end at once (messages shown). On
    // zero the main window, if created, was never shown.
    int InitInstance();
    // Closes the dictionaries and releases the locks. Call once at the end,
    // also after a failed InitInstance. Returns the exit code (0).
    int ExitInstance();

    // The main window is closing (the frame calls this before it closes):
    // past-data notice, WriteEndInfo, SaveMLV(true) and ClearData.
    void OnMainWindowClose();

    // Opens the phone directory, then the postal dictionary; 1 when both are
    // open. Start-up passes report = false (silent).
    int OpenDictionaries(bool report) { return m_dictionaries.OpenDictionaries(report); }
    CLookupDictionaries& Dictionaries() { return m_dictionaries; }

    // acck.sys present and writable, every existing folder of the tree writable.
    int CheckInstallation();
    // A missing folder passes; an existing one must take a new "dmy.txt".
    static int CheckFolderWritable(const std::string& folder);
    // The folders tested at start-up, below the install folder ("" = itself).
    static const std::vector<std::string>& InstallFolderTree();

    const std::string& InstallDir() const { return m_installDir; }
    CMilvaneDoc* Document() { return m_doc.get(); }
    CInstanceLocks& Locks() { return *m_locks; }
    // "<install>/exe/Kokyakuhelp.html" once start-up has set it.
    const std::string& HelpFile() const { return m_helpFile; }
    // "Milvane\nVersion 3.12" for the About box.
    static std::string AboutBoxText();

private:
    void Fail(const char* message);
    int OpenDatabase();     // with recovery of a left work file; 0 = end the program
    void LoadCustomers();   // in the default sort order

    IAppShell& m_shell;
    AppOptions m_options;
    std::string m_installDir;
    std::string m_helpFile;
    std::unique_ptr<CInstanceLocks> m_locks;
    std::unique_ptr<CMilvaneDoc> m_doc;
    CLookupDictionaries m_dictionaries;
    bool m_waitShown = false;
    bool m_closed = false;  // OnMainWindowClose ran
};
