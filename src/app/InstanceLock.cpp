#include "app/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/Folders.h"

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string TempFolder() {
    std::error_code ec;
    fs::path p = fs::temp_directory_path(ec);
    return ec ? std::string("/tmp") : p.string();
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::flock(fd, LOCK_UN);
        ::close(fd);
        fd = -1;
    }
}

// The machine-wide folder is shared by every user: world-writable with the
// sticky bit, so that each user can add (and only remove) his own files.
void EnsureSharedFolder(const std::string& dir) {
    if (FolderExists(dir)) return;
    std::error_code ec;
    fs::create_directories(fs::path(dir).parent_path(), ec);
    if (::mkdir(dir.c_str(), 01777) == 0) ::chmod(dir.c_str(), 01777);  // chmod: the umask took bits away
}

enum class Probe { Free, HeldByOther, Denied };

// Whether another user's lock file is held. A file that cannot be opened for
// lack of permission counts as held by that user.
Probe ProbeForeignFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return (errno == EACCES || errno == EPERM) ? Probe::Denied : Probe::Free;
    Probe result = Probe::Free;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) result = Probe::HeldByOther;
    } else {
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return result;
}

// True when a user other than me holds the lock "name" in the folder.
bool OtherUserHolds(const std::string& dir, const std::string& name, unsigned me) {
    std::error_code ec;
    const std::string prefix = name + ".";
    const std::string suffix = ".lock";
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string file = it->path().filename().string();
        if (file.size() <= prefix.size() + suffix.size() || file.compare(0, prefix.size(), prefix) != 0 ||
            file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::string uidText = file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
        if (uidText.find_first_not_of("0123456789") != std::string::npos) continue;
        if (static_cast<unsigned>(std::strtoul(uidText.c_str(), nullptr, 10)) == me) continue;
        if (ProbeForeignFile(it->path().string()) != Probe::Free) return true;
    }
    return false;
}

}  // namespace

CInstanceLocks::CInstanceLocks(std::string sessionDir, std::string globalDir)
    : m_sessionDir(std::move(sessionDir)), m_globalDir(std::move(globalDir)) {
    if (m_sessionDir.empty()) m_sessionDir = Env("MILVANE_SESSION_LOCK_DIR");
    if (m_sessionDir.empty()) {
        m_sessionDir = Env("XDG_RUNTIME_DIR");
        if (m_sessionDir.empty() || !FolderExists(m_sessionDir)) m_sessionDir = TempFolder();
    }
    if (m_globalDir.empty()) m_globalDir = Env("MILVANE_GLOBAL_LOCK_DIR");
    if (m_globalDir.empty()) m_globalDir = JoinPath(TempFolder(), "milvane-locks");
}

CInstanceLocks::~CInstanceLocks() { Release(); }

std::string CInstanceLocks::GlobalLockFile(const std::string& globalDir, const std::string& name, unsigned uid) {
    return JoinPath(globalDir, name + "." + std::to_string(uid) + ".lock");
}

bool CInstanceLocks::AcquireSession() {
    if (m_session >= 0) return true;
    // The session folder may be shared (the temporary folder): the user id
    // keeps the users apart.
    if (!FolderExists(m_sessionDir)) {
        std::error_code ec;
        fs::create_directories(m_sessionDir, ec);  // a folder given by name is made private to the user
        if (!ec) ::chmod(m_sessionDir.c_str(), 0700);
    }
    std::string path = JoinPath(m_sessionDir, "hMilvane." + std::to_string(::geteuid()) + ".lock");
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;  // no lock possible here; do not stop the program
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        return err != EWOULDBLOCK;
    }
    m_session = fd;
    return true;
}

// Windows tells another user's lock by "access denied" and takes the global
// locks only from one operating-system version on; here the test is the same
// on every system, so there is no version test.
bool CInstanceLocks::AcquireGlobal() {
    m_sameUserWorking = false;
    if (m_global >= 0) return true;
    EnsureSharedFolder(m_globalDir);
    const unsigned me = static_cast<unsigned>(::geteuid());

    bool denied = OtherUserHolds(m_globalDir, "hMilvane", me) || OtherUserHolds(m_globalDir, "hMilvaneForm", me);
    if (denied) return false;

    // Held for the run: a shared lock on my own file, so that copies of the same
    // user in other sessions do not count as another user. Readable by all, so
    // that other users can test it.
    std::string mine = GlobalLockFile(m_globalDir, "hMilvane", me);
    int fd = ::open(mine.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd >= 0) {
        ::fchmod(fd, 0644);
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
            m_global = fd;
        } else {
            m_sameUserWorking = errno == EWOULDBLOCK;
            ::close(fd);
            if (m_sameUserWorking) return false;
        }
    }
    return true;
}

CInstanceLocks::Exclusive CInstanceLocks::AcquireExclusive() {
    if (!AcquireSession()) return Exclusive::Running;
    EnsureSharedFolder(m_globalDir);
    const unsigned me = static_cast<unsigned>(::geteuid());
    if (m_global < 0) {
        std::string mine = GlobalLockFile(m_globalDir, "hMilvane", me);
        int fd = ::open(mine.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0) {
            ::fchmod(fd, 0644);
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                const int err = errno;
                ::close(fd);
                if (err == EWOULDBLOCK) {
                    Release();
                    return Exclusive::Running;
                }
            } else {
                m_global = fd;
            }
        }
    }
    if (OtherUserHolds(m_globalDir, "hMilvane", me) || OtherUserHolds(m_globalDir, "hMilvaneForm", me)) {
        Release();
        return Exclusive::OtherUser;
    }
    return Exclusive::Held;
}

void CInstanceLocks::Release() {
    CloseFd(m_global);
    CloseFd(m_session);
}
