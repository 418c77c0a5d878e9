#include "analysis/PostalAddressLevels.h"

#include "common/Ports.h"
#include "lookup/Dictionaries.h"
#include "lookup/PostalDict.h"

bool CNoAddressLevels::Ready() {
    ShowMessage(kNoAreaData);
    return false;
}

void CPostalAddressLevels::SetDictionaries(CLookupDictionaries* dictionaries) {
    m_dictionaries = dictionaries;
    m_dict = dictionaries ? &dictionaries->Postal() : nullptr;
}

bool CPostalAddressLevels::Ready() {
    if (m_dictionaries && !m_dictionaries->Postal().IsOpen() && !m_dictionaries->OpenPostal(true)) return false;
    if (m_dict && m_dict->IsOpen()) return true;
    ShowMessage(kNoAreaData);
    return false;
}

std::string FormatPostalCode(std::string_view code) {
    if (code.size() != 7) return std::string(code);
    return std::string(code.substr(0, 3)) + "-" + std::string(code.substr(3));
}

std::vector<CAddressLevelEntry> CPostalAddressLevels::Entries(int level, const std::vector<std::string>& parents) {
    if (!m_dict || !m_dict->IsOpen() || level < 0 || level > 3 || static_cast<int>(parents.size()) < level) return {};
    std::vector<PostalLevelItem> items;
    switch (level) {
    case 0: items = m_dict->Prefectures(); break;
    case 1: items = m_dict->Cities(parents[0]); break;
    case 2: items = m_dict->Towns(parents[0], parents[1]); break;
    default: items = m_dict->Rest(parents[0], parents[1], parents[2]); break;
    }
    std::vector<CAddressLevelEntry> out;
    out.reserve(items.size());
    for (const PostalLevelItem& item : items) out.push_back({item.text, FormatPostalCode(item.code)});
    return out;
}
