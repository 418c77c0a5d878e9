// The address levels of the area analysis read from the postal dictionary.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/AddressLevels.h"

class CLookupDictionaries;
class CPostalDict;

class CPostalAddressLevels final : public IAddressLevels {
public:
    // dict may be null or closed: every level is then empty.
    explicit CPostalAddressLevels(const CPostalDict* dict = nullptr) : m_dict(dict) {}
    // The postal dictionary of the lookup dictionaries (none when null).
    void SetDictionaries(CLookupDictionaries* dictionaries);
    std::vector<CAddressLevelEntry> Entries(int level, const std::vector<std::string>& parents) override;
    // A postal dictionary that did not open at start-up is opened now, telling
    // why it cannot be; without one, kNoAreaData is shown.
    bool Ready() override;

private:
    CLookupDictionaries* m_dictionaries = nullptr;
    const CPostalDict* m_dict;
};

// "1000001" as "100-0001"; other codes unchanged.
std::string FormatPostalCode(std::string_view code);
