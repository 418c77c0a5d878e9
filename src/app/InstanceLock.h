// Single-instance locks: advisory file locks standing for the named locks
// "hMilvane" (this logon session, held for the run), "Global\hMilvane" (the
// machine, held for the run) and "Global\hMilvaneForm" (the machine, only
// tested: the form printing program holds it while it runs).
#pragma once

#include <string>

class CInstanceLocks {
public:
    // sessionDir: folder of the per-session lock; "" → $MILVANE_SESSION_LOCK_DIR,
    // else $XDG_RUNTIME_DIR, else the temporary folder (the file name carries
    // the user id). globalDir: machine-wide folder; "" →
    // $MILVANE_GLOBAL_LOCK_DIR, else <temporary folder>/milvane-locks. A named
    // folder that is missing is created when the lock is taken (the
    // machine-wide one world-writable with the sticky bit).
    explicit CInstanceLocks(std::string sessionDir = "", std::string globalDir = "");
    ~CInstanceLocks();  // releases everything held
    CInstanceLocks(const CInstanceLocks&) = delete;
    CInstanceLocks& operator=(const CInstanceLocks&) = delete;

    // Takes the session lock. False when another copy holds it in this session.
    // A lock file that cannot be created or locked for another reason does not
    // stop the program (true, nothing held).
    bool AcquireSession();
    // Takes the machine-wide lock for the run and tests the form lock. False
    // when another user holds either one (or its file cannot be opened for lack
    // of permission), or when a copy of this user holds it exclusively
    // (SameUserWorking); nothing global is then held.
    bool AcquireGlobal();
    // AcquireGlobal failed because the command-line program of this user is
    // changing the data (it holds the user's own file exclusively).
    bool SameUserWorking() const { return m_sameUserWorking; }
    // For work on the data without a window (the command-line program): the
    // session lock, then the user's own machine-wide lock file held
    // exclusively, so that a copy of the same user in any session counts as
    // running, then the test of the other users as AcquireGlobal does. On
    // anything but Held nothing is held.
    enum class Exclusive { Held, Running, OtherUser };
    Exclusive AcquireExclusive();
    // Releases every lock held (safe to call twice).
    void Release();

    bool HoldsSession() const { return m_session >= 0; }
    bool HoldsGlobal() const { return m_global >= 0; }

    const std::string& SessionDir() const { return m_sessionDir; }
    const std::string& GlobalDir() const { return m_globalDir; }

    // Lock file of a user for a lock name ("hMilvane", "hMilvaneForm") in the
    // machine-wide folder: "<globalDir>/<name>.<uid>.lock". Whoever holds a
    // machine-wide lock keeps a shared lock on its own file for that time.
    static std::string GlobalLockFile(const std::string& globalDir, const std::string& name, unsigned uid);

private:
    std::string m_sessionDir;
    std::string m_globalDir;
    int m_session = -1;
    int m_global = -1;
    bool m_sameUserWorking = false;
};
