#include "maintenance/SafeFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/TestPorts.h"

namespace {

constexpr std::size_t MiB = std::size_t(1) << 20;

// Bytes that show any shift or repetition: position-dependent, not periodic
// at a power of two.
std::string Pattern(std::size_t n) {
    std::string out(n, '\0');
    uint32_t x = 2463534242u;
    for (std::size_t i = 0; i < n; ++i) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        out[i] = char(x);
    }
    return out;
}

// A source file of head + body + tail opened and read past head, as a
// restore reads a stored file after its size.
struct Source {
    mfs::CFile file;
    Source(const std::string& path, const std::string& head, const std::string& body, const std::string& tail) {
        WriteBytes(path, head + body + tail);
        mfs::FileError err;
        EXPECT_TRUE(file.Open(path, mfs::CFile::OpenRead, err));
        std::string skipped(head.size(), '\0');
        EXPECT_TRUE(file.ReadFull(skipped.data(), skipped.size(), err));
    }
};

// The whole file through CFile (the stream helpers are slow on large files in a debug build).
std::string Contents(const std::string& path) {
    mfs::CFile in;
    mfs::FileError err;
    if (!in.Open(path, mfs::CFile::OpenRead, err)) return "(missing)";
    std::string bytes(std::size_t(in.Size()), '\0');
    if (!in.ReadFull(bytes.data(), bytes.size(), err)) return "(unreadable)";
    return bytes;
}

}  // namespace

// The copied bytes land after what was written before them and the source
// goes on right after them, whichever way the copy is done: through the
// buffer (small), in the kernel (large), over several writeback steps, and
// from another file system where the kernel may refuse.
TEST(SafeFileCopy, BytesAndPositionsAreKept) {
    struct Case {
        const char* name;
        std::size_t size;
        std::size_t bufferSize;
        bool otherFileSystem;
    } cases[] = {
        {"empty", 0, MiB, false},
        {"small", 1000, MiB, false},
        {"small buffer", 300000, 4096, false},
        {"just large", MiB / 2, MiB, false},
        {"several steps", 70 * MiB + 12345, MiB, false},
        {"other file system", 3 * MiB + 7, MiB, true},
    };
    const std::string all = Pattern(70 * MiB + 12345);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string sourcePath = dir.File("source");
        if (c.otherFileSystem) {
            // Shared memory is another file system than the temporary folder on most systems.
            if (!std::filesystem::is_directory("/dev/shm")) continue;
            sourcePath = "/dev/shm/milvane-safefile-" + std::to_string(::getpid());
        }
        const std::string body = all.substr(0, c.size);
        Source source(sourcePath, "HEAD", body, "TAIL");
        mfs::CCopyBuffer buffer(c.bufferSize);
        mfs::FileError err;
        mfs::CFile out;
        bool sourceShort = true;
        ASSERT_TRUE(out.Open(dir.File("out"), mfs::CFile::CreateExclusive, err));
        ASSERT_TRUE(out.Write("before", err));
        EXPECT_TRUE(out.CopyFrom(source.file, body.size(), buffer, err, &sourceShort)) << mfs::FileErrorText(err);
        EXPECT_FALSE(sourceShort);
        ASSERT_TRUE(out.Write("after", err));
        EXPECT_TRUE(out.Sync(err) && out.Close(err));
        std::string tail(4, '\0');
        EXPECT_TRUE(source.file.ReadFull(tail.data(), 4, err));
        EXPECT_EQ(tail, "TAIL");
        const std::string written = Contents(dir.File("out"));
        EXPECT_EQ(written.size(), body.size() + 11);
        EXPECT_TRUE(written == "before" + body + "after");
        if (c.otherFileSystem) std::filesystem::remove(sourcePath);
    }
}

// A source that ends early is a read failure with no error set; a failing
// write names the target, whether the copy is buffered or in the kernel.
TEST(SafeFileCopy, ShortSourcesAndFailingWrites) {
    struct Case {
        const char* name;
        std::size_t have;
        std::size_t want;
        int failAtWrite;  // 0: no failure
        bool ok, sourceShort;
        int code;
    } cases[] = {
        {"small short", 1000, 1001, 0, false, true, 0},
        {"large short", 3 * MiB, 3 * MiB + 1, 0, false, true, 0},
        {"small write fails", 1000, 1000, 1, false, false, ENOSPC},
        {"large write fails at once", 3 * MiB, 3 * MiB, 1, false, false, ENOSPC},
        {"large write fails later", 40 * MiB, 40 * MiB, 3, false, false, ENOSPC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Source source(dir.File("source"), "", Pattern(c.have), "");
        const std::string target = dir.File("out");
        int writes = 0;
        mfs::SetFailPointHook([&](const char* op, const std::string& path) {
            return c.failAtWrite && std::string(op) == "write" && path == target && ++writes >= c.failAtWrite ? ENOSPC
                                                                                                          : 0;
        });
        mfs::CCopyBuffer buffer;
        mfs::FileError err;
        mfs::CFile out;
        bool sourceShort = false;
        ASSERT_TRUE(out.Open(target, mfs::CFile::CreateExclusive, err));
        const bool ok = out.CopyFrom(source.file, c.want, buffer, err, &sourceShort) && out.Flush(err);
        mfs::SetFailPointHook(nullptr);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(sourceShort, c.sourceShort);
        EXPECT_EQ(err.code, c.code);
        if (c.code) EXPECT_EQ(err.path, target);
    }
}
