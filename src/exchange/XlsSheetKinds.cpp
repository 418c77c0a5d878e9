// The kinds of the sheets of an old-format workbook, which the reading library
// does not tell: the workbook stream is found in the compound file and its
// sheet records are read. Every number in the file is checked before use.
#include <cstdint>

#include "exchange/WorkbookImport.h"

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::size_t kDirEntryBytes = 128;

std::uint32_t U16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

class CCompoundFile {
public:
    explicit CCompoundFile(std::string_view file) : m_file(file) {}

    bool Open() {
        if (m_file.size() < 512 || m_file.substr(0, 8) != "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") return false;
        const std::uint32_t shift = U16(m_file, 0x1E), miniShift = U16(m_file, 0x20);
        if ((shift != 9 && shift != 12) || miniShift != 6) return false;
        m_sector = std::size_t{1} << shift;
        m_cutoff = U32(m_file, 0x38);
        // The sectors of the allocation table: 109 in the header, the rest in a chain.
        std::vector<std::uint32_t> fatSectors;
        const std::uint32_t fatCount = U32(m_file, 0x2C);
        if (fatCount > SectorCount()) return false;
        for (std::size_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(U32(m_file, 0x4C + 4 * i));
        std::uint32_t difat = U32(m_file, 0x44);
        for (std::size_t hops = 0; fatSectors.size() < fatCount; ++hops) {
            if (hops > SectorCount() || !ValidSector(difat)) return false;
            const std::size_t at = Offset(difat);
            for (std::size_t i = 0; i + 1 < m_sector / 4 && fatSectors.size() < fatCount; ++i)
                fatSectors.push_back(U32(m_file, at + 4 * i));
            difat = U32(m_file, at + m_sector - 4);
        }
        for (std::uint32_t s : fatSectors) {
            if (!ValidSector(s)) return false;
            for (std::size_t i = 0; i < m_sector / 4; ++i) m_fat.push_back(U32(m_file, Offset(s) + 4 * i));
        }
        if (!Chain(m_fat, U32(m_file, 0x30), SIZE_MAX, m_dir)) return false;
        if (m_dir.size() < kDirEntryBytes) return false;
        std::string miniFat;  // optional: a file without small streams may leave it unset
        if (!Chain(m_fat, U32(m_file, 0x3C), SIZE_MAX, miniFat)) miniFat.clear();
        for (std::size_t i = 0; i + 4 <= miniFat.size(); i += 4) m_miniFat.push_back(U32(miniFat, i));
        return true;
    }

    // The stream of the root storage by name (ASCII); false when missing.
    bool Stream(std::string_view name, std::string& out) {
        for (std::size_t e = 0; e + kDirEntryBytes <= m_dir.size(); e += kDirEntryBytes) {
            const std::string_view entry = std::string_view(m_dir).substr(e, kDirEntryBytes);
            const std::uint32_t nameBytes = U16(entry, 0x40);
            if (entry[0x42] != 2 || nameBytes != 2 * (name.size() + 1)) continue;
            bool same = true;
            for (std::size_t i = 0; i < name.size() && same; ++i)
                same = U16(entry, 2 * i) == static_cast<unsigned char>(name[i]);
            if (!same) continue;
            const std::size_t size = U32(entry, 0x78);
            if (size >= m_cutoff) return Chain(m_fat, U32(entry, 0x74), size, out);
            std::string mini;  // the root entry's chain holds the small streams
            return Chain(m_fat, U32(m_dir, 0x74), SIZE_MAX, mini) &&
                   MiniChain(mini, U32(entry, 0x74), size, out);
        }
        return false;
    }

private:
    std::size_t SectorCount() const { return (m_file.size() - 512) / m_sector; }
    bool ValidSector(std::uint32_t s) const { return s < SectorCount(); }
    std::size_t Offset(std::uint32_t s) const { return 512 + static_cast<std::size_t>(s) * m_sector; }

    // Follows a chain of whole sectors; a loop or a sector outside the file fails.
    bool Chain(const std::vector<std::uint32_t>& fat, std::uint32_t s, std::size_t size, std::string& out) const {
        out.clear();
        for (std::size_t hops = 0; s != kEndOfChain && out.size() < size; ++hops) {
            if (hops >= SectorCount() || !ValidSector(s) || s >= fat.size()) return false;
            out.append(m_file.substr(Offset(s), m_sector));
            s = fat[s];
        }
        if (size == SIZE_MAX) return true;
        if (out.size() < size) return false;
        out.resize(size);
        return true;
    }

    bool MiniChain(const std::string& mini, std::uint32_t s, std::size_t size, std::string& out) const {
        out.clear();
        for (std::size_t hops = 0; out.size() < size; ++hops) {
            if (hops >= m_miniFat.size() || s >= m_miniFat.size() || (s + std::size_t{1}) * 64 > mini.size())
                return false;
            out.append(mini, static_cast<std::size_t>(s) * 64, 64);
            s = m_miniFat[s];
        }
        out.resize(size);
        return true;
    }

    std::string_view m_file;
    std::size_t m_sector = 512;
    std::size_t m_cutoff = 4096;
    std::vector<std::uint32_t> m_fat, m_miniFat;
    std::string m_dir;
};

}  // namespace

std::optional<std::vector<bool>> XlsWorksheets(std::string_view file) {
    CCompoundFile cf(file);
    std::string book;
    if (!cf.Open() || (!cf.Stream("Workbook", book) && !cf.Stream("Book", book))) return std::nullopt;
    // The workbook globals up to their end record: one sheet record (0x0085)
    // per sheet, its kind in the high byte of its option flags.
    std::vector<bool> worksheets;
    for (std::size_t at = 0; at + 4 <= book.size();) {
        const std::uint32_t type = U16(book, at), length = U16(book, at + 2);
        if (at + 4 + length > book.size()) return std::nullopt;
        if (type == 0x000A) return worksheets;
        if (type == 0x0085) {
            if (length < 6) return std::nullopt;
            worksheets.push_back(static_cast<unsigned char>(book[at + 4 + 5]) == 0);
        }
        at += 4 + length;
    }
    return std::nullopt;
}
