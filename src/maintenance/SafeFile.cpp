#include "maintenance/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace mfs {

namespace {
FailPointHook& Hook() {
    static FailPointHook hook;
    return hook;
}
constexpr std::size_t kWriteBuffer = std::size_t(1) << 20;
// Writeback is started for every this many bytes written.
constexpr uint64_t kWritebackStep = uint64_t(32) << 20;
// Copies of at least this many bytes go through the kernel, in steps of kKernelCopyStep.
constexpr uint64_t kKernelCopyMin = kWriteBuffer / 2;
constexpr std::size_t kKernelCopyStep = std::size_t(8) << 20;
}  // namespace

void SetFailPointHook(FailPointHook hook) { Hook() = std::move(hook); }

int FailPoint(const char* op, const std::string& path) { return Hook() ? Hook()(op, path) : 0; }

bool FileError::IsDiskFull() const { return code == ENOSPC || code == EDQUOT; }

std::string FileErrorText(const FileError& error) {
    std::string reason;
    switch (error.code) {
    case ENOENT: reason = "ファイルまたはフォルダが見つかりません。"; break;
    case EACCES:
    case EPERM: reason = "アクセスが拒否されました。"; break;
    case EEXIST: reason = "同じ名前のファイルが既に存在します。"; break;
    case ENOSPC:
    case EDQUOT: reason = "ディスクの空き容量が足りません。"; break;
    case EROFS: reason = "書き込みのできないディスクです。"; break;
    case EIO: reason = "ディスクの読み書きに失敗しました。"; break;
    case ENAMETOOLONG: reason = "ファイル名が長すぎます。"; break;
    case EISDIR: reason = "フォルダです。"; break;
    case ENOTDIR: reason = "フォルダではありません。"; break;
    case EMFILE:
    case ENFILE: reason = "開いているファイルが多すぎます。"; break;
    case ENOTEMPTY: reason = "フォルダが空ではありません。"; break;
    default: reason = "エラー番号 " + std::to_string(error.code) + " (" + std::strerror(error.code) + ")"; break;
    }
    return error.path + " の操作中にエラーが発生しました。\n" + reason;
}

CCopyBuffer::CCopyBuffer(std::size_t capacity) {
    for (std::size_t n = capacity; n > 0; n /= 2) {
        m_data.reset(new (std::nothrow) char[n]);
        if (m_data) {
            m_size = n;
            return;
        }
    }
}

CFile::~CFile() {
    if (m_fd >= 0) ::close(m_fd);
}

bool CFile::Open(const std::string& path, Mode mode, FileError& err) {
    if (int e = FailPoint("open", path)) {
        err.Set(e, path);
        return false;
    }
    int flags = O_CLOEXEC;
    switch (mode) {
    case OpenRead: flags |= O_RDONLY; break;
    case CreateExclusive: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
    case CreateTruncate: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    }
    m_fd = ::open(path.c_str(), flags, 0644);
    m_path = path;
    m_pending.clear();
    m_written = m_started = m_settled = 0;
    m_writeback = m_inKernel = true;
    if (m_fd < 0) {
        err.Set(errno, path);
        return false;
    }
    if (mode == OpenRead) {
        struct stat st;
        if (::fstat(m_fd, &st) == 0 && !S_ISREG(st.st_mode)) {
            ::close(m_fd);
            m_fd = -1;
            err.Set(EISDIR, path);
            return false;
        }
    }
    return true;
}

long long CFile::Read(char* data, std::size_t n, FileError& err) {
    for (;;) {
        ssize_t r = ::read(m_fd, data, n);
        if (r >= 0) return r;
        if (errno == EINTR) continue;
        err.Set(errno, m_path);
        return -1;
    }
}

bool CFile::ReadFull(char* data, std::size_t n, FileError& err) {
    std::size_t done = 0;
    while (done < n) {
        long long r = Read(data + done, n - done, err);
        if (r <= 0) return false;
        done += std::size_t(r);
    }
    return true;
}

bool CFile::ReadU32(uint32_t& value, FileError& err) {
    unsigned char b[4];
    if (!ReadFull(reinterpret_cast<char*>(b), 4, err)) return false;
    value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool CFile::WriteOut(const char* data, std::size_t n, FileError& err) {
    std::size_t done = 0;
    while (done < n) {
        if (int e = FailPoint("write", m_path)) {
            err.Set(e, m_path);
            return false;
        }
        ssize_t w = ::write(m_fd, data + done, n - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            err.Set(errno, m_path);
            return false;
        }
        done += std::size_t(w);
    }
    return Written(n, err);
}

// Each step written is handed to writeback and the step before it waited
// for. The wait reports a write error instead of the later fsync (the kernel
// reports it once), so it fails the write; a file that takes no writeback
// requests is left to the fsync.
bool CFile::Written(uint64_t n, FileError& err) {
    m_written += n;
    if (!m_writeback || m_written - m_started < kWritebackStep) return true;
    int rc = ::sync_file_range(m_fd, off_t(m_started), off_t(m_written - m_started), SYNC_FILE_RANGE_WRITE);
    if (rc == 0 && m_started > m_settled)
        rc = ::sync_file_range(m_fd, off_t(m_settled), off_t(m_started - m_settled),
                               SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    if (rc != 0) {
        if (errno == EINVAL || errno == ESPIPE || errno == ENOSYS || errno == EOPNOTSUPP) {
            m_writeback = false;
            return true;
        }
        err.Set(errno, m_path);
        return false;
    }
    m_settled = m_started;
    m_started = m_written;
    return true;
}

bool CFile::Flush(FileError& err) {
    if (m_pending.empty()) return true;
    bool ok = WriteOut(m_pending.data(), m_pending.size(), err);
    m_pending.clear();
    return ok;
}

bool CFile::Write(const char* data, std::size_t n, FileError& err) {
    const bool large = n >= kWriteBuffer / 2;
    if ((large || m_pending.size() + n > kWriteBuffer) && !Flush(err)) return false;
    // Large blocks go straight out, after what is pending.
    if (large) return WriteOut(data, n, err);
    m_pending.append(data, n);
    return true;
}

bool CFile::WriteU32(uint32_t value, FileError& err) {
    const char b[4] = {char(value & 0xFF), char(value >> 8 & 0xFF), char(value >> 16 & 0xFF), char(value >> 24)};
    return Write(b, 4, err);
}

bool CFile::CopyInKernel(CFile& source, uint64_t& n, FileError& err) {
    if (n < kKernelCopyMin || !m_inKernel) return true;
    if (!Flush(err)) return false;
    while (n > 0) {
        if (int e = FailPoint("write", m_path)) {
            err.Set(e, m_path);
            return false;
        }
        const ssize_t r = ::copy_file_range(source.m_fd, nullptr, m_fd, nullptr,
                                            std::size_t(std::min<uint64_t>(n, kKernelCopyStep)), 0);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            // Not possible between these files, a failure or the source's end:
            // the buffered copy goes on from here and tells which.
            m_inKernel = false;
            return true;
        }
        n -= uint64_t(r);
        if (!Written(uint64_t(r), err)) return false;
    }
    return true;
}

bool CFile::CopyFrom(CFile& source, uint64_t n, CCopyBuffer& buffer, FileError& err, bool* sourceShort) {
    if (sourceShort) *sourceShort = false;
    if (!CopyInKernel(source, n, err)) return false;
    while (n > 0) {
        const std::size_t want = std::size_t(std::min<uint64_t>(n, buffer.Size()));
        long long r = source.Read(buffer.Data(), want, err);
        if (r < 0) return false;
        if (r == 0) {
            if (sourceShort) *sourceShort = true;
            return false;
        }
        if (!Write(buffer.Data(), std::size_t(r), err)) return false;
        n -= uint64_t(r);
    }
    return true;
}

bool CFile::Sync(FileError& err) {
    if (!Flush(err)) return false;
    if (int e = FailPoint("sync", m_path)) {
        err.Set(e, m_path);
        return false;
    }
    if (::fsync(m_fd) != 0) {
        err.Set(errno, m_path);
        return false;
    }
    return true;
}

bool CFile::Close(FileError& err) {
    if (m_fd < 0) return true;
    bool ok = Flush(err);
    if (::close(m_fd) != 0 && ok) {
        err.Set(errno, m_path);
        ok = false;
    }
    m_fd = -1;
    return ok;
}

int64_t CFile::Size() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return -1;
    return st.st_size;
}

uint64_t FileSize(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return uint64_t(st.st_size);
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (::stat((folder + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool CopyFileSynced(const std::string& source, const std::string& target, CCopyBuffer& buffer, FileError& err,
                    bool overwrite) {
    CFile in;
    if (!in.Open(source, CFile::OpenRead, err)) return false;
    const int64_t size = in.Size();
    CFile out;
    if (!out.Open(target, overwrite ? CFile::CreateTruncate : CFile::CreateExclusive, err)) return false;
    bool sourceShort = false;
    bool ok = size >= 0 && out.CopyFrom(in, uint64_t(size), buffer, err, &sourceShort) && out.Sync(err) &&
              out.Close(err);
    if (!ok) {
        if (!err) err.Set(sourceShort ? EIO : EINVAL, source);
        out.Close(err);
        ::unlink(target.c_str());
    }
    return ok;
}

bool MakeFolder(const std::string& path, FileError& err) {
    if (int e = FailPoint("mkdir", path)) {
        err.Set(e, path);
        return false;
    }
    if (::mkdir(path.c_str(), 0755) != 0) {
        err.Set(errno, path);
        return false;
    }
    return true;
}

bool SyncFolder(const std::string& path, FileError& err) {
    if (int e = FailPoint("syncdir", path)) {
        err.Set(e, path);
        return false;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        err.Set(errno, path);
        return false;
    }
    bool ok = ::fsync(fd) == 0;
    if (!ok) err.Set(errno, path);
    ::close(fd);
    return ok;
}

bool RemoveFile(const std::string& path, FileError& err, bool missingOk) {
    if (int e = FailPoint("unlink", path)) {
        err.Set(e, path);
        return false;
    }
    if (::unlink(path.c_str()) != 0 && !(missingOk && errno == ENOENT)) {
        err.Set(errno, path);
        return false;
    }
    return true;
}

bool RemoveFolder(const std::string& path, FileError& err, bool missingOk) {
    if (int e = FailPoint("rmdir", path)) {
        err.Set(e, path);
        return false;
    }
    if (::rmdir(path.c_str()) != 0 && !(missingOk && errno == ENOENT)) {
        err.Set(errno, path);
        return false;
    }
    return true;
}

bool RemoveTree(const std::string& path, FileError& err) {
    DIR* dir = ::opendir(path.c_str());
    if (!dir) {
        if (errno == ENOENT) return true;
        err.Set(errno, path);
        return false;
    }
    std::vector<std::string> names;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    bool ok = true;
    for (const std::string& name : names) {
        const std::string child = path + "/" + name;
        struct stat st;
        if (::lstat(child.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) ok = RemoveTree(child, err) && ok;
        else ok = RemoveFile(child, err) && ok;
    }
    return RemoveFolder(path, err) && ok;
}

bool RenameFile(const std::string& from, const std::string& to, FileError& err) {
    if (int e = FailPoint("rename", from)) {
        err.Set(e, from);
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        err.Set(errno, from);
        return false;
    }
    return true;
}

bool IsBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

}  // namespace mfs
