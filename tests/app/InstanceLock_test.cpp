#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "AppTestSupport.h"
#include "app/InstanceLock.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

// Another user's copy: its lock file, held with a shared lock as a running
// copy holds it.
class ForeignHolder {
public:
    ForeignHolder(const std::string& dir, const std::string& name, unsigned uid) {
        path = CInstanceLocks::GlobalLockFile(dir, name, uid);
        fd = ::open(path.c_str(), O_RDONLY | O_CREAT, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::flock(fd, LOCK_SH | LOCK_NB), 0);
    }
    ~ForeignHolder() { Release(); }
    void Release() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    std::string path;
    int fd = -1;
};

unsigned OtherUid() { return ::geteuid() + 4242; }

TEST(InstanceLocks, FoldersFromEnvironmentWhenNotGiven) {
    TempDir session, global;
    ScopedEnv s("MILVANE_SESSION_LOCK_DIR", session.Path());
    ScopedEnv g("MILVANE_GLOBAL_LOCK_DIR", global.Path());
    CInstanceLocks locks;
    EXPECT_EQ(locks.SessionDir(), session.Path());
    EXPECT_EQ(locks.GlobalDir(), global.Path());
}

TEST(InstanceLocks, SecondCopyInTheSessionIsRefusedUntilTheFirstEnds) {
    TempDir base;
    std::string dir = base.File("session/locks");  // missing: created
    CInstanceLocks first(dir, base.File("global"));
    ASSERT_TRUE(first.AcquireSession());
    EXPECT_TRUE(fs::is_directory(dir));

    CInstanceLocks second(dir, base.File("global"));
    EXPECT_FALSE(second.AcquireSession());
    EXPECT_FALSE(second.HoldsSession());
    EXPECT_TRUE(first.HoldsSession());  // the first copy is unaffected
    first.Release();
    EXPECT_TRUE(second.AcquireSession());
}

TEST(InstanceLocks, AnotherUsersRunningCopyOrFormProgramIsRefused) {
    for (const char* name : {"hMilvane", "hMilvaneForm"}) {
        SCOPED_TRACE(name);
        TempDir session, global;
        ForeignHolder other(global.Path(), name, OtherUid());
        // Files of other programs or not following the naming are ignored.
        ForeignHolder unrelated(global.Path(), "hMilvaneX", OtherUid());
        WriteBytes(global.File("hMilvane.abc.lock"), "");
        CInstanceLocks locks(session.Path(), global.Path());
        EXPECT_FALSE(locks.AcquireGlobal());
        EXPECT_FALSE(locks.HoldsGlobal());
        other.Release();  // that user ended the program: the file stays, unlocked
        EXPECT_TRUE(locks.AcquireGlobal());
    }
}

TEST(InstanceLocks, SameUserInAnotherSessionIsAcceptedAndTheSharedFolderIsForEveryone) {
    TempDir s1, s2, base;
    std::string global = base.File("shared/locks");  // missing: created
    CInstanceLocks first(s1.Path(), global);
    ASSERT_TRUE(first.AcquireGlobal());
    struct stat st;
    ASSERT_EQ(::stat(global.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01777u);
    EXPECT_TRUE(fs::exists(CInstanceLocks::GlobalLockFile(global, "hMilvane", ::geteuid())));

    ForeignHolder myForm(global, "hMilvaneForm", ::geteuid());
    CInstanceLocks second(s2.Path(), global);
    EXPECT_TRUE(second.AcquireSession());
    EXPECT_TRUE(second.AcquireGlobal());
}

TEST(InstanceLocks, TheCommandLineAndTheWindowExcludeEachOtherAcrossSessions) {
    TempDir s1, s2, global;
    enum Holder { Window, CommandLine, OtherUser };
    struct Case {
        Holder holder;
        const char* session;  // of the second copy
        CInstanceLocks::Exclusive exclusive;
        bool windowStarts;
    } cases[] = {
        {Window, "s1", CInstanceLocks::Exclusive::Running, false},  // same session: the session lock
        {Window, "s2", CInstanceLocks::Exclusive::Running, true},   // the window may run twice across sessions
        {CommandLine, "s2", CInstanceLocks::Exclusive::Running, false},
        {OtherUser, "s2", CInstanceLocks::Exclusive::OtherUser, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.holder << c.session);
        CInstanceLocks first(s1.Path(), global.Path());
        std::unique_ptr<ForeignHolder> foreign;
        switch (c.holder) {
        case Window: ASSERT_TRUE(first.AcquireSession() && first.AcquireGlobal()); break;
        case CommandLine: ASSERT_EQ(first.AcquireExclusive(), CInstanceLocks::Exclusive::Held); break;
        case OtherUser: foreign = std::make_unique<ForeignHolder>(global.Path(), "hMilvane", OtherUid()); break;
        }
        const std::string session = c.session == std::string("s1") ? s1.Path() : s2.Path();

        CInstanceLocks cli(session, global.Path());
        EXPECT_EQ(cli.AcquireExclusive(), c.exclusive);
        EXPECT_FALSE(cli.HoldsSession() || cli.HoldsGlobal());
        CInstanceLocks window(session, global.Path());
        EXPECT_EQ(window.AcquireSession() && window.AcquireGlobal(), c.windowStarts);
        EXPECT_EQ(window.SameUserWorking(), c.holder == CommandLine);
        window.Release();

        first.Release();
        foreign.reset();
        EXPECT_EQ(cli.AcquireExclusive(), CInstanceLocks::Exclusive::Held);
    }
}

TEST(InstanceLocks, ForeignFileWithoutPermissionCountsAsHeld) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not apply to root";
    TempDir session, global;
    std::string path = CInstanceLocks::GlobalLockFile(global.Path(), "hMilvane", OtherUid());
    WriteBytes(path, "");
    ::chmod(path.c_str(), 0);
    CInstanceLocks locks(session.Path(), global.Path());
    EXPECT_FALSE(locks.AcquireGlobal());
}

}  // namespace
