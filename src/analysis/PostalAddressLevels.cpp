#include "analysis/PostalAddressLevels.h"

#include "lookup/PostalDict.h"

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
