// A wrapper of SQLite's default file layer that stops the process with
// SIGKILL at its k-th write or sync (counted over every file it opens). For
// crash tests in a child process: install it there, before the database is
// opened; Count() tells how many writes and syncs a run made.
#pragma once

#include <signal.h>
#include <sqlite3.h>

#include <cstring>

namespace killvfs {

struct State {
    sqlite3_vfs vfs{};
    sqlite3_vfs* base = nullptr;
    sqlite3_io_methods methods{};
    long count = 0;
    long killAt = 0;  // 0: never
};
inline State& S() {
    static State s;
    return s;
}

struct File {
    sqlite3_file base;
    sqlite3_file* real;
};
inline sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }

inline void Step() {
    if (++S().count == S().killAt) ::raise(SIGKILL);
}

inline int Close(sqlite3_file* f) {
    int rc = Real(f)->pMethods->xClose(Real(f));
    sqlite3_free(Real(f));
    return rc;
}
inline int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 off) { return Real(f)->pMethods->xRead(Real(f), p, n, off); }
inline int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 off) {
    Step();
    return Real(f)->pMethods->xWrite(Real(f), p, n, off);
}
inline int Truncate(sqlite3_file* f, sqlite3_int64 n) {
    Step();
    return Real(f)->pMethods->xTruncate(Real(f), n);
}
inline int Sync(sqlite3_file* f, int flags) {
    Step();
    return Real(f)->pMethods->xSync(Real(f), flags);
}
inline int FileSize(sqlite3_file* f, sqlite3_int64* n) { return Real(f)->pMethods->xFileSize(Real(f), n); }
inline int Lock(sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); }
inline int Unlock(sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); }
inline int CheckLock(sqlite3_file* f, int* r) { return Real(f)->pMethods->xCheckReservedLock(Real(f), r); }
inline int Control(sqlite3_file* f, int op, void* a) { return Real(f)->pMethods->xFileControl(Real(f), op, a); }
inline int Sector(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
inline int Device(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }
inline int ShmMap(sqlite3_file* f, int i, int sz, int ext, void volatile** p) {
    return Real(f)->pMethods->xShmMap(Real(f), i, sz, ext, p);
}
inline int ShmLock(sqlite3_file* f, int off, int n, int flags) { return Real(f)->pMethods->xShmLock(Real(f), off, n, flags); }
inline void ShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
inline int ShmUnmap(sqlite3_file* f, int del) { return Real(f)->pMethods->xShmUnmap(Real(f), del); }
inline int Fetch(sqlite3_file* f, sqlite3_int64 off, int n, void** p) { return Real(f)->pMethods->xFetch(Real(f), off, n, p); }
inline int Unfetch(sqlite3_file* f, sqlite3_int64 off, void* p) { return Real(f)->pMethods->xUnfetch(Real(f), off, p); }

inline int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    sqlite3_vfs* base = S().base;
    auto* file = reinterpret_cast<File*>(f);
    file->base.pMethods = nullptr;
    file->real = static_cast<sqlite3_file*>(sqlite3_malloc(base->szOsFile));
    if (!file->real) return SQLITE_NOMEM;
    std::memset(file->real, 0, size_t(base->szOsFile));
    int rc = base->xOpen(base, name, file->real, flags, outFlags);
    if (rc != SQLITE_OK || !file->real->pMethods) {
        if (file->real->pMethods) file->real->pMethods->xClose(file->real);
        sqlite3_free(file->real);
        return rc == SQLITE_OK ? SQLITE_CANTOPEN : rc;
    }
    file->base.pMethods = &S().methods;
    return SQLITE_OK;
}
inline int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    Step();
    return S().base->xDelete(S().base, name, syncDir);
}
inline int Access(sqlite3_vfs*, const char* n, int flags, int* r) { return S().base->xAccess(S().base, n, flags, r); }
inline int FullPath(sqlite3_vfs*, const char* n, int size, char* out) {
    return S().base->xFullPathname(S().base, n, size, out);
}
inline int Random(sqlite3_vfs*, int n, char* out) { return S().base->xRandomness(S().base, n, out); }
inline int Sleep(sqlite3_vfs*, int us) { return S().base->xSleep(S().base, us); }
inline int Time(sqlite3_vfs*, double* t) { return S().base->xCurrentTime(S().base, t); }
inline int LastError(sqlite3_vfs*, int n, char* out) { return S().base->xGetLastError(S().base, n, out); }
inline int Time64(sqlite3_vfs*, sqlite3_int64* t) { return S().base->xCurrentTimeInt64(S().base, t); }

// Makes the wrapper the default file layer; killAt 0 only counts.
inline void Install(long killAt) {
    State& s = S();
    s.base = sqlite3_vfs_find(nullptr);
    s.count = 0;
    s.killAt = killAt;
    s.methods = {3,     Close,  Read,   Write,  Truncate, Sync,       FileSize, Lock,     Unlock, CheckLock,
                 Control, Sector, Device, ShmMap, ShmLock,  ShmBarrier, ShmUnmap, Fetch,    Unfetch};
    s.vfs = *s.base;
    s.vfs.iVersion = 2;
    s.vfs.szOsFile = int(sizeof(File));
    s.vfs.zName = "killvfs";
    s.vfs.pNext = nullptr;
    s.vfs.xOpen = Open;
    s.vfs.xDelete = Delete;
    s.vfs.xAccess = Access;
    s.vfs.xFullPathname = FullPath;
    s.vfs.xDlOpen = nullptr;
    s.vfs.xDlError = nullptr;
    s.vfs.xDlSym = nullptr;
    s.vfs.xDlClose = nullptr;
    s.vfs.xRandomness = Random;
    s.vfs.xSleep = Sleep;
    s.vfs.xCurrentTime = Time;
    s.vfs.xGetLastError = LastError;
    s.vfs.xCurrentTimeInt64 = Time64;
    sqlite3_vfs_register(&s.vfs, 1);
}
inline long Count() { return S().count; }

}  // namespace killvfs
