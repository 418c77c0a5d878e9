#include "extract/ExCondition.h"

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"

namespace {

constexpr const char* kConditionClass = "CExCondition";
constexpr uint16_t kSchema = 1;

void WriteTexts(CArchiveWriter& ar, const std::vector<std::string>& texts) {
    ar.WriteCount(texts.size());
    for (const std::string& t : texts) ar.WriteString(t);
}

std::vector<std::string> ReadTexts(CArchiveReader& ar) {
    std::vector<std::string> texts;
    std::size_t n = ar.ReadCount();
    for (std::size_t i = 0; i < n; ++i) texts.push_back(ar.ReadString());
    return texts;
}

}  // namespace

void CExCondition::Clear() { *this = CExCondition(); }

void CExCondition::WriteMembers(CArchiveWriter& ar) const {
    ar.WriteUInt32(ResultKind);
    WriteTexts(ar, DisplayColumns);
    ar.WriteString(QueryText);
    ar.WriteString(ConditionName);
    WriteTexts(ar, RowA);
    WriteTexts(ar, RowB);
    WriteTexts(ar, RowC);
}

void CExCondition::ReadMembers(CArchiveReader& ar) {
    CExCondition read;
    read.ResultKind = ar.ReadUInt32();
    read.DisplayColumns = ReadTexts(ar);
    read.QueryText = ar.ReadString();
    read.ConditionName = ar.ReadString();
    read.RowA = ReadTexts(ar);
    read.RowB = ReadTexts(ar);
    read.RowC = ReadTexts(ar);
    *this = std::move(read);
}

// ---------------------------------------------------------------- CExtract

CExtract::CExtract(std::string installDir) : m_installDir(std::move(installDir)) {}

void CExtract::WriteTo(CArchiveWriter& ar) const {
    ar.WriteCount(Conditions.size());
    for (const CExCondition& c : Conditions) {
        ar.WriteObjectTag(kConditionClass, kSchema);
        c.WriteMembers(ar);
    }
}

void CExtract::ReadFrom(CArchiveReader& ar) {
    std::vector<CExCondition> read;
    std::size_t n = ar.ReadCount();
    for (std::size_t i = 0; i < n; ++i) {
        if (!ar.ReadObjectTag(kConditionClass, kSchema)) throw ArchiveError("missing condition");
        CExCondition c;
        c.ReadMembers(ar);
        read.push_back(std::move(c));
    }
    Conditions = std::move(read);
}

int CExtract::Load() {
    std::string dir = GetDataFolder(m_installDir);
    FilePath = dir.empty() ? std::string() : JoinPath(dir, kExtractFileName);
    Conditions.clear();
    Loaded = false;
    if (FilePath.empty() || !FileExists(FilePath)) {
        Loaded = true;
        return 1;
    }
    std::string bytes;
    if (!ReadWholeFile(FilePath, bytes)) return 0;
    try {
        CArchiveReader ar(std::move(bytes));
        ReadFrom(ar);
    } catch (const ArchiveError&) {
        Conditions.clear();
        ShowMessage(kFileErrorMessage);
        return 0;
    }
    Loaded = true;
    return 1;
}

int CExtract::Append(const CExCondition& condition) {
    if (!Loaded) return 0;
    Conditions.push_back(condition);
    if (Save()) return 1;
    Conditions.pop_back();
    return 0;
}

int CExtract::Save() {
    if (!Loaded || FilePath.empty()) return 0;
    return WriteArchiveFile(FilePath, [this](CArchiveWriter& ar) { WriteTo(ar); }) ? 1 : 0;
}
