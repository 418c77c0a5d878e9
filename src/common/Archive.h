// The object archive encoding of the settings files: little-endian numbers,
// length-prefixed Shift-JIS texts, counts and class-tagged object references.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Raised inside archive code only; callers catch it where the file is handled.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CArchiveWriter {
public:
    void WriteByte(uint8_t v);
    void WriteUInt16(uint16_t v);
    void WriteInt16(int16_t v) { WriteUInt16(static_cast<uint16_t>(v)); }
    void WriteUInt32(uint32_t v);
    void WriteInt32(int32_t v) { WriteUInt32(static_cast<uint32_t>(v)); }
    void WriteDouble(double v);
    // UTF-8 text written as Shift-JIS bytes with the 1/3/7-byte length forms.
    void WriteString(std::string_view utf8);
    // Raw Shift-JIS bytes with the same length forms.
    void WriteSjisBytes(std::string_view sjis);
    void WriteCount(std::size_t n);
    // Tag introducing an object of the class (full tag the first time, 0x8000|index later).
    void WriteObjectTag(std::string_view className, uint16_t schema);
    void WriteNullObject() { WriteUInt16(0); }

    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    std::map<std::string, uint32_t, std::less<>> m_classIndex;
    uint32_t m_nextIndex = 1;
};

class CArchiveReader {
public:
    explicit CArchiveReader(std::string bytes) : m_bytes(std::move(bytes)) {}

    uint8_t ReadByte();
    uint16_t ReadUInt16();
    int16_t ReadInt16() { return static_cast<int16_t>(ReadUInt16()); }
    uint32_t ReadUInt32();
    int32_t ReadInt32() { return static_cast<int32_t>(ReadUInt32()); }
    double ReadDouble();
    std::string ReadString();    // converted to UTF-8
    std::string ReadSjisBytes();  // raw bytes
    std::size_t ReadCount();
    // Reads an object tag; returns false for the null reference. Throws when the
    // class or schema differs from the expected one (anySchema: whatever schema
    // the file gives is taken), or the tag is malformed.
    bool ReadObjectTag(std::string_view className, uint16_t schema, bool anySchema = false);

    bool AtEnd() const { return m_pos == m_bytes.size(); }
    std::size_t Position() const { return m_pos; }

private:
    const char* Take(std::size_t n);

    std::string m_bytes;
    std::size_t m_pos = 0;
    std::vector<std::pair<std::string, uint16_t>> m_classes;  // by index-1; objects hold empty entries
};

enum class FileResult { Ok, Missing, Error };

// Reads a whole file into body(reader). The file is opened for reading while
// other writers are kept out (advisory lock). Missing → FileResult::Missing;
// any I/O or archive error → FileResult::Error (nothing shown).
FileResult TryReadArchiveFile(const std::string& path, const std::function<void(CArchiveReader&)>& body);
// Writes body(writer) to the file: the bytes go to a temporary file beside it
// that replaces the file only when complete, so a failure leaves the old file.
FileResult TryWriteArchiveFile(const std::string& path, const std::function<void(CArchiveWriter&)>& body);

// The same, showing "ファイル操作中にエラーが発生しました" when the file is missing or
// cannot be read or written. Return true on Ok.
bool ReadArchiveFile(const std::string& path, const std::function<void(CArchiveReader&)>& body);
bool WriteArchiveFile(const std::string& path, const std::function<void(CArchiveWriter&)>& body);

// Whole-file helpers for small files (no message; false on failure, and for
// a file longer than cap).
inline constexpr std::size_t kMaxWholeFileBytes = std::size_t{256} << 20;
bool ReadWholeFile(const std::string& path, std::string& out, std::size_t cap = kMaxWholeFileBytes);
bool WriteWholeFileAtomic(const std::string& path, std::string_view bytes);
