// The four address levels that the area analysis picks an address from:
// prefecture, city, town and the rest, each listed below the levels chosen
// above it, with the postal code of every entry that has one.
#pragma once

#include <string>
#include <vector>

struct CAddressLevelEntry {
    std::string text;
    std::string zip;  // "" when the entry covers several codes
};

class IAddressLevels {
public:
    virtual ~IAddressLevels() = default;
    // level 0 prefecture .. 3 rest; parents: the texts chosen on the levels
    // above (level entries). Empty when the dictionary has none or is closed.
    virtual std::vector<CAddressLevelEntry> Entries(int level, const std::vector<std::string>& parents) = 0;
    // Whether the levels can be listed; false after telling the person why.
    virtual bool Ready() { return true; }
};

// The message of a page whose address dictionary is not there.
inline constexpr const char* kNoAreaData = "アプリケーションクラスが見つかりません\n局番データを取得できません。";

// A source with no dictionary: every level is empty.
class CNoAddressLevels final : public IAddressLevels {
public:
    std::vector<CAddressLevelEntry> Entries(int, const std::vector<std::string>&) override { return {}; }
    bool Ready() override;
};
