// The address levels of the area analysis read from the postal dictionary.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/AddressLevels.h"

class CPostalDict;

class CPostalAddressLevels final : public IAddressLevels {
public:
    // dict may be null or closed: every level is then empty.
    explicit CPostalAddressLevels(const CPostalDict* dict = nullptr) : m_dict(dict) {}
    void SetDictionary(const CPostalDict* dict) { m_dict = dict; }
    std::vector<CAddressLevelEntry> Entries(int level, const std::vector<std::string>& parents) override;

private:
    const CPostalDict* m_dict;
};

// "1000001" as "100-0001"; other codes unchanged.
std::string FormatPostalCode(std::string_view code);
