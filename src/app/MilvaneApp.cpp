#include "app/MilvaneApp.h"

#include <fcntl.h>
#include <unistd.h>

#include "app/IxenEnv.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "customers/MLVColSet.h"
#include "maintenance/StagedReplace.h"

namespace {

CMilvaneApp* g_current = nullptr;

constexpr const char* kNoWriteAccess =
    "ファイルの書き込み権限がないため「Milvane」は使えません。\n制限ユーザーに設定されている場合は権限を変更してご利用ください。";

}  // namespace

CMilvaneApp::CMilvaneApp(IAppShell& shell, AppOptions options)
    : m_shell(shell),
      m_options(std::move(options)),
      m_locks(std::make_unique<CInstanceLocks>(m_options.sessionLockDir, m_options.globalLockDir)) {
    g_current = this;
    Lookup::SetCurrent(&m_dictionaries);
}

CMilvaneApp::~CMilvaneApp() {
    m_doc.reset();
    if (m_locks) m_locks->Release();
    if (g_current == this) g_current = nullptr;
    if (Lookup::Current() == &m_dictionaries) Lookup::SetCurrent(nullptr);
}

CMilvaneApp* CMilvaneApp::Current() { return g_current; }

std::string CMilvaneApp::AboutBoxText() { return AboutText(CIxenEnv::Version()); }

const std::vector<std::string>& CMilvaneApp::InstallFolderTree() {
    static const std::vector<std::string> tree = {
        "",          "/Data",     "/Data/contactXML_v1.1", "/Data/DefEru",  "/Data/DefEru/Def",
        "/Data/ExcelMacro", "/Data/Fmt", "/Data/Html", "/Data/Meta",  "/Data/mrr",
        "/Data/MyData", "/Data/Org", "/Data/Other",      "/Data/Other/NewObject", "/Data/Preview",
        "/Data/Tmp", "/Data/TmpPic", "/exe"};
    return tree;
}

int CMilvaneApp::CheckFolderWritable(const std::string& folder) {
    if (!FolderExists(folder)) return 1;
    const std::string probe = folder + "/dmy.txt";
    int fd = ::open(probe.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        ShowMessage(kNoWriteAccess);
        return 0;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return 1;
}

int CMilvaneApp::CheckInstallation() {
    const std::string acck = m_installDir + "/Data/MyData/acck.sys";
    if (::access(acck.c_str(), F_OK) != 0) {
        ShowMessage("ファイルが見つからないため「Milvane」を起動できません");
        return 0;
    }
    int fd = ::open(acck.c_str(), O_WRONLY | O_CLOEXEC);  // never created here
    if (fd < 0) {
        ShowMessage(kNoWriteAccess);
        return 0;
    }
    ::close(fd);
    for (const std::string& rel : InstallFolderTree())
        if (!CheckFolderWritable(m_installDir + rel)) return 0;
    return 1;
}

void CMilvaneApp::Fail(const char* message) {
    if (message) ShowMessage(message);
    if (m_waitShown) {
        m_shell.DestroyStartupWait();
        m_waitShown = false;
    }
    if (m_locks) m_locks->Release();
}

int CMilvaneApp::InitInstance() {
    // The install folder, filled from the template where files are missing.
    m_installDir = m_options.installDir.empty() ? CIxenEnv::InstallDir() : m_options.installDir;
    while (m_installDir.size() > 1 && m_installDir.back() == '/') m_installDir.pop_back();
    std::string templateDir = m_options.templateDir.empty() ? CIxenEnv::TemplateDir() : m_options.templateDir;
    PrepareInstallation(m_installDir, templateDir);  // failures show up in the checks below
    if (m_options.changeDirectory) {
        std::string exeDir = m_installDir + "/exe";
        if (::chdir(exeDir.c_str()) != 0) {
            // Nothing relies on the current folder; all paths are absolute.
        }
    }

    if (!CheckInstallation()) return 0;

    if (!m_locks->AcquireSession()) {
        ShowMessage(kAlreadyRunningMessage, MsgIcon::Information);
        Fail(nullptr);
        return 0;
    }
    // Machine-wide: no operating-system version test here, the file locks work everywhere.
    if (!m_locks->AcquireGlobal()) {
        if (m_locks->SameUserWorking()) {
            ShowMessage(kAlreadyRunningMessage, MsgIcon::Information);
            Fail(nullptr);
        } else {
            Fail(kOtherUserMessage);
        }
        return 0;
    }

    {
        CMLVPassCheck pass(m_installDir, m_shell.PasswordPort(), m_options.passwordStrength);
        int result = pass.CheckPassWord();
        if (result == -1) {
            ShowMessage("構成ファイルがないため『Milvane』を起動できません\n再インストールしてください。", MsgIcon::Exclamation);
            Fail(nullptr);
            return 0;
        }
        if (result != 1) {
            Fail("『Milvane』を起動できません");
            return 0;
        }
    }

    // The per-user profile is the profile port, installed by the user interface.

    m_shell.CreateStartupWait();
    m_waitShown = true;

    m_doc = std::make_unique<CMilvaneDoc>(m_installDir);
    m_doc->OnNewDocument();
    if (!m_shell.CreateMainWindow(*m_doc)) {
        Fail(nullptr);
        m_doc.reset();
        return 0;
    }

    if (!OpenDatabase()) {
        Fail(nullptr);  // the window was never shown
        return 0;
    }
    LoadCustomers();

    // Silent: a lookup tells what failed when it is used.
    WriteLookupDefaults(m_installDir);
    OpenDictionaries(false);

    m_helpFile = m_installDir + "/exe/Kokyakuhelp.html";

    m_shell.DestroyStartupWait();
    m_waitShown = false;
    m_shell.ShowMainWindow();
    return 1;
}

int CMilvaneApp::OpenDatabase() { return OpenDocumentDatabase(*m_doc); }

void CMilvaneApp::LoadCustomers() { LoadDocumentCustomers(*m_doc); }

int OpenDocumentDatabase(CMilvaneDoc& doc) {
    // An interrupted restore is finished or undone before the database is touched.
    mfs::FileError recoverError;
    if (RecoverDataFolder(doc.DataDir, recoverError) < 0) {
        ShowMessage("前回の復元処理を完了できませんでした。\n" + mfs::FileErrorText(recoverError));
        return 0;
    }
    CMilvaneData& db = doc.Database();
    int result = db.InitDB(doc.DataDir);
    if (result == 0) {
        ShowMessage(
            "前回『Milvane』が正常に終了しませんでした。\n"
            "前回の作業途中のデータを削除し、それ以前に保存されていたデータを開きます。");
        const std::string work = doc.DataDir + "/" + kWorkFileName;
        if (::unlink(work.c_str()) != 0) {
            ShowMessage("前回の作業途中のデータを削除できませんでした。\nデータベースをOPENできません。");
            return 0;
        }
        result = db.InitDB(doc.DataDir);
    }
    if (result == -1) ShowMessage("データベースを開けませんでした。");
    return 1;
}

void LoadDocumentCustomers(CMilvaneDoc& doc) {
    // The fields the list shows are read with the rows, not in a second pass.
    doc.KokyakuList.clear();
    doc.KokyakuList.Keep(CustomerListColumnNames(doc.InstallDir()));
    if (doc.ReadCustomers() == 0) ShowMessage("顧客データの取得に失敗しました。\n顧客データを表示できません。\n");
}

void CMilvaneApp::OnMainWindowClose() {
    if (!m_doc || m_closed) return;
    m_closed = true;
    if (m_doc->PastDataMode)
        ShowMessage("今、過去の履歴を参照中ですが、次回起動時は現在のデータを使用してはじめます", MsgIcon::Information);
    m_doc->WriteEndInfo();
    WaitScope wait;
    m_doc->Database().SaveMLV(true);
    m_doc->ClearData();
}

int CMilvaneApp::ExitInstance() {
    m_dictionaries.Close();
    m_locks->Release();
    return 0;
}
