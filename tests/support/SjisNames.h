// Characters whose names a Shift-JIS file does not give back unchanged.
#pragma once

#include <string>
#include <vector>

#include "common/SjisText.h"

// Every character Shift-JIS holds that comes back as another one (wave dash,
// minus sign, double vertical line, cent, pound, not sign, em dash and their
// kin), taken from the converter's own table.
inline const std::vector<std::string>& SjisChangedCharacters() {
    static const std::vector<std::string> chars = [] {
        std::vector<std::string> out;
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF) continue;
            std::string c;
            AppendUtf8(c, cp);
            if (!FirstNonSjisChar(c) && !SjisRoundTrips(c)) out.push_back(c);
        }
        return out;
    }();
    return chars;
}
