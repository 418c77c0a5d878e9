#include "common/Archive.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Ports.h"
#include "common/SjisText.h"

// ---------------------------------------------------------------- writer

void CArchiveWriter::WriteByte(uint8_t v) { m_bytes.push_back(static_cast<char>(v)); }

void CArchiveWriter::WriteUInt16(uint16_t v) {
    WriteByte(static_cast<uint8_t>(v & 0xFF));
    WriteByte(static_cast<uint8_t>(v >> 8));
}

void CArchiveWriter::WriteUInt32(uint32_t v) {
    WriteUInt16(static_cast<uint16_t>(v & 0xFFFF));
    WriteUInt16(static_cast<uint16_t>(v >> 16));
}

void CArchiveWriter::WriteDouble(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    WriteUInt32(static_cast<uint32_t>(bits & 0xFFFFFFFFu));
    WriteUInt32(static_cast<uint32_t>(bits >> 32));
}

void CArchiveWriter::WriteString(std::string_view utf8) { WriteSjisBytes(Utf8ToSjis(utf8)); }

void CArchiveWriter::WriteSjisBytes(std::string_view sjis) {
    std::size_t n = sjis.size();
    if (n < 0xFF) {
        WriteByte(static_cast<uint8_t>(n));
    } else {
        WriteByte(0xFF);
        if (n < 0xFFFE) {
            WriteUInt16(static_cast<uint16_t>(n));
        } else {
            WriteUInt16(0xFFFF);
            WriteUInt32(static_cast<uint32_t>(n));
        }
    }
    m_bytes.append(sjis);
}

void CArchiveWriter::WriteCount(std::size_t n) {
    if (n < 0xFFFF) {
        WriteUInt16(static_cast<uint16_t>(n));
    } else {
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<uint32_t>(n));
    }
}

void CArchiveWriter::WriteObjectTag(std::string_view className, uint16_t schema) {
    auto it = m_classIndex.find(className);
    if (it != m_classIndex.end()) {
        WriteUInt16(static_cast<uint16_t>(0x8000 | it->second));
    } else {
        if (m_nextIndex > 0x7FFE) throw ArchiveError("too many objects in one archive");
        m_classIndex.emplace(std::string(className), m_nextIndex++);
        WriteUInt16(0xFFFF);
        WriteUInt16(schema);
        WriteUInt16(static_cast<uint16_t>(className.size()));
        m_bytes.append(className);
    }
    ++m_nextIndex;  // the object itself takes the next index
}

// ---------------------------------------------------------------- reader

const char* CArchiveReader::Take(std::size_t n) {
    if (n > m_bytes.size() - m_pos) throw ArchiveError("unexpected end of file");
    const char* p = m_bytes.data() + m_pos;
    m_pos += n;
    return p;
}

uint8_t CArchiveReader::ReadByte() { return static_cast<uint8_t>(*Take(1)); }

uint16_t CArchiveReader::ReadUInt16() {
    const auto* p = reinterpret_cast<const unsigned char*>(Take(2));
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t CArchiveReader::ReadUInt32() {
    uint32_t lo = ReadUInt16();
    uint32_t hi = ReadUInt16();
    return lo | (hi << 16);
}

double CArchiveReader::ReadDouble() {
    uint64_t lo = ReadUInt32();
    uint64_t hi = ReadUInt32();
    uint64_t bits = lo | (hi << 32);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string CArchiveReader::ReadSjisBytes() {
    std::size_t n = ReadByte();
    if (n == 0xFF) {
        n = ReadUInt16();
        if (n == 0xFFFF) n = ReadUInt32();
    }
    return std::string(Take(n), n);
}

std::string CArchiveReader::ReadString() { return SjisToUtf8(ReadSjisBytes()); }

std::size_t CArchiveReader::ReadCount() {
    std::size_t n = ReadUInt16();
    if (n == 0xFFFF) n = ReadUInt32();
    return n;
}

bool CArchiveReader::ReadObjectTag(std::string_view className, uint16_t schema, bool anySchema) {
    uint16_t tag = ReadUInt16();
    if (tag == 0) return false;
    if (tag == 0xFFFF) {
        uint16_t fileSchema = ReadUInt16();
        uint16_t len = ReadUInt16();
        std::string name(Take(len), len);
        if (name != className) throw ArchiveError("unexpected class " + name);
        if (fileSchema != schema && !anySchema) throw ArchiveError("unexpected schema of " + name);
        m_classes.emplace_back(name, fileSchema);
    } else if (tag & 0x8000) {
        std::size_t index = tag & 0x7FFF;
        if (index == 0 || index > m_classes.size() || m_classes[index - 1].first.empty())
            throw ArchiveError("bad class reference");
        if (m_classes[index - 1].first != className) throw ArchiveError("unexpected class reference");
    } else {
        throw ArchiveError("object back-references are not used in these files");
    }
    m_classes.emplace_back(std::string(), 0);  // the object's own index
    return true;
}

// ---------------------------------------------------------------- files

bool ReadWholeFile(const std::string& path, std::string& out, std::size_t cap) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // Keep writers out while reading (advisory).
    ::flock(fd, LOCK_SH);
    out.clear();
    char buf[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (n == 0) break;
        if (static_cast<std::size_t>(n) > cap - out.size()) {
            ok = false;
            break;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!ok) out.clear();
    return ok;
}

bool WriteWholeFileAtomic(const std::string& path, std::string_view bytes) {
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) return true;
    ::unlink(tmp.c_str());
    return false;
}

FileResult TryReadArchiveFile(const std::string& path, const std::function<void(CArchiveReader&)>& body) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return errno == ENOENT ? FileResult::Missing : FileResult::Error;
    try {
        CArchiveReader reader(std::move(bytes));
        body(reader);
    } catch (const ArchiveError&) {
        return FileResult::Error;
    }
    return FileResult::Ok;
}

FileResult TryWriteArchiveFile(const std::string& path, const std::function<void(CArchiveWriter&)>& body) {
    CArchiveWriter writer;
    try {
        body(writer);
    } catch (const ArchiveError&) {
        return FileResult::Error;
    }
    return WriteWholeFileAtomic(path, writer.Bytes()) ? FileResult::Ok : FileResult::Error;
}

bool ReadArchiveFile(const std::string& path, const std::function<void(CArchiveReader&)>& body) {
    FileResult r = TryReadArchiveFile(path, body);
    if (r == FileResult::Error || r == FileResult::Missing) ShowMessage(kFileErrorMessage);
    return r == FileResult::Ok;
}

bool WriteArchiveFile(const std::string& path, const std::function<void(CArchiveWriter&)>& body) {
    FileResult r = TryWriteArchiveFile(path, body);
    if (r != FileResult::Ok) ShowMessage(kFileErrorMessage);
    return r == FileResult::Ok;
}
