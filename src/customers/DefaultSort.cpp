#include "customers/DefaultSort.h"

#include <cerrno>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "customers/MasterColSet.h"

namespace {

constexpr const char* kDefaultField = "RirekiUpDate";

// Only a column of the customer list may name the order: the name is pasted
// into the statement.
bool IsCustomerColumn(const std::string& name) {
    static const std::vector<CMLVCol> columns = MasterColumns();
    for (const CMLVCol& c : columns)
        if (c.fieldName == name) return true;
    return false;
}

}  // namespace

CDefaultSort::CDefaultSort(const std::string& dataDir) : m_path(JoinPath(dataDir, "DefOrder.dat")) {}

int CDefaultSort::Load() {
    fieldName = kDefaultField;
    direction = 1;
    m_loaded = true;
    std::string bytes;
    if (!ReadWholeFile(m_path, bytes)) {
        if (errno == ENOENT) return 1;
        ShowMessage("ファイルを開けません。並び順を取得できません。");
        return 0;
    }
    try {
        CArchiveReader ar(std::move(bytes));
        std::string field = ar.ReadString();
        int32_t dir = ar.ReadInt32();
        if (!field.empty() && !IsCustomerColumn(field)) throw ArchiveError("unknown sort field");
        fieldName = field;
        direction = dir;
    } catch (const ArchiveError&) {
        ShowMessage(kFileErrorMessage);
        return 0;
    }
    return 1;
}

int CDefaultSort::Save() {
    CArchiveWriter ar;
    ar.WriteString(fieldName);
    ar.WriteInt32(direction);
    if (!WriteWholeFileAtomic(m_path, ar.Bytes())) {
        ShowMessage("ファイルを開けません。並び順を設定できません。");
        return 0;
    }
    return 1;
}

std::string CDefaultSort::GetOrderText() {
    if (!m_loaded) Load();
    if (fieldName.empty() || (direction != 0 && direction != 1)) return std::string();
    if (!IsCustomerColumn(fieldName)) return std::string("ORDER BY [Customer].[") + kDefaultField + "] DESC";
    return "ORDER BY [Customer].[" + fieldName + "]" + (direction == 1 ? " DESC" : "");
}
