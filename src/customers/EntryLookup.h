// The lookup buttons of the customer entry dialogs and their sub-dialogs: the
// postal-code lookup (buttons 1329 home, 1331 company) and the telephone
// lookup (1330 home, 1332 company) fill a block's address from the
// dictionaries, asking before anything typed is overwritten.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "customers/KokyakuEntry.h"

class CLookupDictionaries;

// The controls of one address block.
struct LookupBlock {
    int zip, prefecture, city, street, tel;
    int name;                // filled by the phone lookup only when empty
    const char* nameWord;    // "氏名・" / "会社名・"
    const char* keepNote;    // "\n※氏名は上書きしません。" / "\n※会社名は上書きしません。"
};
const LookupBlock& HomeLookupBlock();
const LookupBlock& CompanyLookupBlock();

struct LookupButton {
    const LookupBlock* block;
    bool postal;  // false: telephone
};
// The block and kind of a lookup button id; nullopt for any other id.
std::optional<LookupButton> LookupOfButton(int id);

// Picks one of several hits: rows of texts under the column headers; the row
// index, or nullopt when cancelled.
using AddressChooser = std::function<std::optional<std::size_t>(const std::vector<std::string>& headers,
                                                                const std::vector<std::vector<std::string>>& rows)>;

// The text with every part from "（" to the next "）" removed (an unclosed
// "（" is kept).
std::string RemoveParenthesised(std::string_view text);

// The lookups on the values of a page. On success the block's controls in
// values are filled and the control to focus is returned; nullopt when the
// lookup stopped (its message shown or a question answered No) and values
// are unchanged. dicts null means the running application has none.
std::optional<int> RunPostalLookup(const LookupBlock& block, ControlValues& values, CLookupDictionaries* dicts,
                                   const AddressChooser& choose);
std::optional<int> RunPhoneLookup(const LookupBlock& block, ControlValues& values, CLookupDictionaries* dicts,
                                  const AddressChooser& choose);
