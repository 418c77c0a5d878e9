#include "customers/MLVColSet.h"

#include <algorithm>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"

namespace {

constexpr const char* kColClass = "CMLVCol";
constexpr uint16_t kSchema = 1;

std::string DataFilePath(const std::string& installDir, const char* name) {
    std::string dir = GetDataFolder(installDir);
    return dir.empty() ? std::string() : JoinPath(dir, name);
}

}  // namespace

// ---------------------------------------------------------------- CMLVCol

void CMLVCol::WriteMembers(CArchiveWriter& ar) const {
    ar.WriteString(fieldName);
    ar.WriteString(label);
    ar.WriteInt32(freeItem);
}

void CMLVCol::ReadMembers(CArchiveReader& ar) {
    fieldName = ar.ReadString();
    label = ar.ReadString();
    freeItem = ar.ReadInt32();
}

// ---------------------------------------------------------------- CMLVColSet

CMLVColSet::CMLVColSet(std::string installDir) : m_installDir(std::move(installDir)) {}

std::string CMLVColSet::FilePath() const { return DataFilePath(m_installDir, kColSetFileName); }

std::string CMLVColSet::MasterPath() const { return JoinPath(m_installDir, "Data/Org/MLVColSet.sys"); }

void CMLVColSet::WriteTo(CArchiveWriter& ar) const {
    ar.WriteCount(columns.size());
    for (const CMLVCol& col : columns) {
        ar.WriteObjectTag(kColClass, kSchema);
        col.WriteMembers(ar);
    }
}

void CMLVColSet::ReadFrom(CArchiveReader& ar) {
    std::vector<CMLVCol> read;
    std::size_t n = ar.ReadCount();
    for (std::size_t i = 0; i < n; ++i) {
        if (!ar.ReadObjectTag(kColClass, kSchema)) throw ArchiveError("missing column definition");
        CMLVCol col;
        col.ReadMembers(ar);
        read.push_back(std::move(col));
    }
    columns = std::move(read);
}

int CMLVColSet::Load() {
    const std::string path = FilePath();
    if (path.empty()) return 0;
    for (bool reset = false;; reset = true) {
        RemoveAll();
        std::string bytes;
        if (FileExists(path) && ReadWholeFile(path, bytes)) {
            try {
                CArchiveReader ar(std::move(bytes));
                ReadFrom(ar);
                return 1;
            } catch (const ArchiveError&) {
                RemoveAll();
                ShowMessage(kFileErrorMessage);
                // A damaged master copy would give the same file on every reset.
                if (reset) return 0;
            }
        }
        if (!ResetToMaster(true)) return 0;
    }
}

int CMLVColSet::Save() {
    const std::string path = FilePath();
    if (path.empty()) return 0;
    return WriteArchiveFile(path, [this](CArchiveWriter& ar) { WriteTo(ar); }) ? 1 : 0;
}

int CMLVColSet::ResetToMaster(bool ask) {
    if (ask &&
        Ports::Prompt().AskYesNo("列定義ファイルを読み込めません。列定義ファイルの初期化を試みます。"
                                 "初期化すると変更したラベルが元に戻ります。\n初期化してよろしいですか？",
                                 MsgIcon::Information, Answer::Yes) != Answer::Yes)
        return 0;
    const std::string master = MasterPath();
    if (!FileExists(master)) {
        ShowMessage("元の列定義ファイルが見つかりません。\n修正インストールを行ってください。");
        return 0;
    }
    const std::string path = FilePath();
    std::string bytes;
    if (path.empty() || !ReadWholeFile(master, bytes) || !WriteWholeFileAtomic(path, bytes)) {
        ShowMessage("列定義ファイルを初期化できません");
        return 0;
    }
    return 1;
}

const CMLVCol* CMLVColSet::Find(std::string_view fieldName) const {
    for (const CMLVCol& col : columns)
        if (col.fieldName == fieldName) return &col;
    return nullptr;
}

std::string CMLVColSet::GetLabel(std::string_view fieldName) const {
    const CMLVCol* col = Find(fieldName);
    return col ? col->label : std::string();
}

int CMLVColSet::SetLabel(std::string_view fieldName, const std::string& label) {
    for (CMLVCol& col : columns) {
        if (col.fieldName != fieldName) continue;
        if (col.freeItem == 0) return 0;
        col.label = label;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- CMLVDispKokyakuCol

CMLVDispKokyakuCol::CMLVDispKokyakuCol(std::string installDir) : m_installDir(std::move(installDir)) {}

std::string CMLVDispKokyakuCol::FilePath() const { return DataFilePath(m_installDir, kDispColFileName); }

void CMLVDispKokyakuCol::WriteTo(CArchiveWriter& ar) const {
    ar.WriteCount(names.size());
    for (const std::string& name : names) ar.WriteString(name);
}

void CMLVDispKokyakuCol::ReadFrom(CArchiveReader& ar) {
    std::vector<std::string> read;
    std::size_t n = ar.ReadCount();
    for (std::size_t i = 0; i < n; ++i) read.push_back(ar.ReadString());
    names = std::move(read);
}

int CMLVDispKokyakuCol::Load() {
    names.clear();
    const std::string path = FilePath();
    std::string bytes;
    if (path.empty() || !ReadWholeFile(path, bytes)) return 0;
    try {
        CArchiveReader ar(std::move(bytes));
        ReadFrom(ar);
    } catch (const ArchiveError&) {
        names.clear();
        ShowMessage(kFileErrorMessage);
        return 0;
    }
    return 1;
}

int CMLVDispKokyakuCol::Save() {
    const std::string path = FilePath();
    if (path.empty()) return 0;
    return WriteArchiveFile(path, [this](CArchiveWriter& ar) { WriteTo(ar); }) ? 1 : 0;
}

int CMLVDispKokyakuCol::Remove(std::string_view fieldName) {
    auto it = std::find(names.begin(), names.end(), fieldName);
    if (it == names.end()) return 0;
    names.erase(it);
    return 1;
}

// ---------------------------------------------------------------- helpers

std::string GetLabel(const std::string& installDir, std::string_view fieldName) {
    CMLVColSet set(installDir);
    if (!set.Load()) return std::string();
    return set.GetLabel(fieldName);
}

namespace {

// The columns of a customer list without a displayed list.
const CMLVCol kDefaultListColumns[] = {{"CustomerID", "お客様コード", 0}, {"Name", "氏名", 0}};

}  // namespace

std::vector<CMLVCol> BuildCustomerListColumns(const CMLVColSet& set, CMLVDispKokyakuCol& disp, bool dispLoaded) {
    std::vector<CMLVCol> cols;
    if (!dispLoaded) {
        disp.names.clear();
        for (const CMLVCol& col : kDefaultListColumns) {
            cols.push_back(col);
            disp.names.push_back(col.fieldName);
        }
        disp.Save();
        return cols;
    }
    for (const std::string& name : disp.names)
        if (const CMLVCol* col = set.Find(name)) cols.push_back(*col);
    return cols;
}

std::vector<CMLVCol> BuildCustomerListColumns(const std::string& installDir) {
    CMLVColSet set(installDir);
    set.Load();
    CMLVDispKokyakuCol disp(installDir);
    bool loaded = disp.Load() != 0;
    return BuildCustomerListColumns(set, disp, loaded);
}

std::vector<std::string> CustomerListColumnNames(const std::string& installDir) {
    CMLVDispKokyakuCol disp(installDir);
    if (disp.Load()) return disp.names;
    std::vector<std::string> names;
    for (const CMLVCol& col : kDefaultListColumns) names.push_back(col.fieldName);
    return names;
}

bool IsDisplayableColumn(std::string_view name) {
    if (name == "ID" || name == "TEL_Home_X" || name == "TEL_Office_X") return false;
    if (name.size() == 8 && name.substr(0, 7) == "Picture" && name[7] >= '1' && name[7] <= '5') return false;
    return true;
}

std::vector<CMLVCol> DisplayableColumns(const CMLVColSet& set) {
    std::vector<CMLVCol> out;
    for (const CMLVCol& col : set.columns)
        if (IsDisplayableColumn(col.fieldName)) out.push_back(col);
    return out;
}
