// Bulk change of one field of the selected customers: the four fields, the
// checks of the dialog's OK button, and the flow on the customer screen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/DateTime.h"

// The radio buttons in order: 0 "ColorMark", 1 "ImportantRanking",
// 2 "Ranking1", 3 "Ranking2".
inline constexpr int kBulkChangeFieldCount = 4;
// The byte limit of the ranking values.
inline constexpr int kRankLimit = 50;
const char* BulkChangeField(int button);
// The texts of the buttons when the column definition set cannot be loaded.
const char* BulkChangeDefaultLabel(int button);

struct BulkChangeChoice {
    std::string field;   // one of the four field names
    std::string text;    // the value of a ranking field; empty for "ColorMark"
    uint32_t color = 0;  // the colour for "ColorMark"; 0 for the rankings
};

enum class BulkOkResult { Accept, Stay, FocusValue };

// The dialog's OK button: for a ranking a value over 50 bytes (or with a
// character Shift-JIS cannot hold) is refused and the value control gets the
// focus; no colour chosen is refused; otherwise the question decides.
// label is the button's text; colorIndex the position in the colour list.
BulkOkResult CheckBulkChangeOk(int button, const std::string& label, const std::string& text, int colorIndex);
// The choice the dialog returns after Accept.
BulkChangeChoice MakeBulkChangeChoice(int button, const std::string& text, int colorIndex);

// What the flow needs from the customer screen and the document.
class IBulkChangeScreen {
public:
    virtual ~IBulkChangeScreen() = default;
    virtual bool IsReadOnly() = 0;
    virtual std::vector<uint32_t> SelectedKeys() = 0;
    // The bulk change dialog; nullopt when cancelled.
    virtual std::optional<BulkChangeChoice> RunDialog() = 0;
    // The database's bulk change: 1 all, 10 some (changed lists them), 0, -1.
    virtual int ModifyKokyaku(const std::vector<uint32_t>& keys, std::vector<uint32_t>& changed,
                              const std::string& field, const CDateTime& now, const std::string& text,
                              int32_t color) = 0;
    // The cached record of the key takes the value and "LastUpDate" = now.
    virtual void UpdateCached(uint32_t key, const BulkChangeChoice& choice, const CDateTime& now) = 0;
    // Rewrites the list rows of the keys.
    virtual void RewriteRows(const std::vector<uint32_t>& keys) = 0;
};

// The whole command. Returns the database result, or 0 when nothing was done.
int RunBulkChange(IBulkChangeScreen& screen, const CDateTime& now);
