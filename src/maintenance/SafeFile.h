// File operations of the maintenance commands (backup, restore and every later
// command that copies, moves or deletes the files of a data folder).
//
// - Every operation that opens, writes, syncs, renames, creates or removes
//   passes one failure point first. Tests install a hook there to stop the
//   process at its k-th file operation or to make one fail (a full disk);
//   the program never sets one.
// - Failures carry errno and the path; FileErrorText turns them into the
//   message shown to the person (a full disk is for the caller to word).
// - Writers fsync what they write; SyncFolder makes renames and removals in a
//   folder durable. A large file's writeback starts while it is written, so
//   that the final fsync finds little left and its dirty pages stay bounded.
// - Copies go through one fixed buffer (CCopyBuffer) taken once per command;
//   large ones are done by the kernel where it can (no copy through the
//   process), else through that buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mfs {

// ---- failure points
// The hook runs before every file operation with its kind ("open", "write",
// "sync", "mkdir", "syncdir", "unlink", "rmdir", "rename") and the path it is
// about; a non-zero result makes the operation fail with that errno. An empty
// hook removes it.
using FailPointHook = std::function<int(const char* op, const std::string& path)>;
void SetFailPointHook(FailPointHook hook);
int FailPoint(const char* op, const std::string& path);

// ---- errors
struct FileError {
    int code = 0;      // errno of the failed call, 0 when none
    std::string path;  // the file or folder it was about
    bool IsDiskFull() const;
    explicit operator bool() const { return code != 0; }
    void Set(int err, const std::string& p) { code = err; path = p; }
};
// "<path> の操作中にエラーが発生しました。\n<reason>" with a Japanese reason.
std::string FileErrorText(const FileError& error);

// ---- the copy buffer
// The largest buffer up to its capacity that can be had, halving down to one
// byte; empty (Ok() false) when not even that: the caller shows kNoMemoryMessage.
inline constexpr const char* kNoMemoryMessage = "メモリ不足です。";
class CCopyBuffer {
public:
    static constexpr std::size_t kCapacity = std::size_t(1) << 20;
    explicit CCopyBuffer(std::size_t capacity = kCapacity);
    bool Ok() const { return m_size != 0; }
    char* Data() { return m_data.get(); }
    std::size_t Size() const { return m_size; }

private:
    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
};

// ---- files
class CFile {
public:
    enum Mode {
        OpenRead,         // existing file, read only
        CreateExclusive,  // new file, write; fails when it exists
        CreateTruncate,   // new or emptied file, write
    };
    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    bool Open(const std::string& path, Mode mode, FileError& err);
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    // Reads up to n bytes; the number read (0 at the end), -1 on error.
    long long Read(char* data, std::size_t n, FileError& err);
    // Reads exactly n bytes; false on error or at a short end (err stays clear then).
    bool ReadFull(char* data, std::size_t n, FileError& err);
    bool ReadU32(uint32_t& value, FileError& err);
    // Buffered writing: bytes collect in the write buffer and go out when it
    // fills, on Flush, Sync and Close.
    bool Write(const char* data, std::size_t n, FileError& err);
    bool Write(const std::string& bytes, FileError& err) { return Write(bytes.data(), bytes.size(), err); }
    bool WriteU32(uint32_t value, FileError& err);
    // Writes n bytes read from source (from its current position), in the
    // kernel when n is large and both files allow it, else through buffer; a
    // short source is a read failure (*sourceShort set, err clear).
    bool CopyFrom(CFile& source, uint64_t n, CCopyBuffer& buffer, FileError& err, bool* sourceShort);
    bool Flush(FileError& err);
    bool Sync(FileError& err);  // flush, then fsync
    bool Close(FileError& err);
    int64_t Size() const;       // -1 on error

private:
    bool WriteOut(const char* data, std::size_t n, FileError& err);  // unbuffered
    bool Written(uint64_t n, FileError& err);  // n more bytes are in the file
    // Copies what it can of n bytes in the kernel, lowering n; false when a
    // write fails (err set). A kernel copy that cannot go on leaves the rest
    // to the buffered copy, which meets the same failure with the right path.
    bool CopyInKernel(CFile& source, uint64_t& n, FileError& err);

    int m_fd = -1;
    std::string m_path;
    std::string m_pending;    // write buffer
    uint64_t m_written = 0;   // bytes in the file (written sequentially from 0)
    uint64_t m_started = 0;   // writeback started up to here
    uint64_t m_settled = 0;   // writeback waited for up to here
    bool m_writeback = true;  // the file takes writeback requests
    bool m_inKernel = true;   // copies into the file may go through the kernel
};

uint64_t FileSize(const std::string& path);  // 0 when missing
// Regular files of a folder (no sub-folders), in name order.
std::vector<std::string> ListFiles(const std::string& folder);

// A new copy of source at target (fails when target exists unless overwrite),
// written through buffer and fsynced. A failed copy removes its partial target.
bool CopyFileSynced(const std::string& source, const std::string& target, CCopyBuffer& buffer, FileError& err,
                    bool overwrite = false);

// ---- folders and names
bool MakeFolder(const std::string& path, FileError& err);  // a new folder; EEXIST is an error
bool SyncFolder(const std::string& path, FileError& err);
// Removes a file; a missing file is fine when missingOk.
bool RemoveFile(const std::string& path, FileError& err, bool missingOk = true);
bool RemoveFolder(const std::string& path, FileError& err, bool missingOk = true);  // an empty folder
// Removes a folder with all it holds (one level of sub-folders and deeper).
bool RemoveTree(const std::string& path, FileError& err);
bool RenameFile(const std::string& from, const std::string& to, FileError& err);

// A bare file name: not empty, not "." or "..", no "/" and no NUL.
bool IsBareName(const std::string& name);

}  // namespace mfs
