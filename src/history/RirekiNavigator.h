// What the history dialogs ask of the screen that opened them: the customer
// screen's card and the history list both walk their entries for the
// previous/next buttons; the card also stores entries.
#pragma once

#include <cstdint>

struct CRirekiData;

class IRirekiNavigator {
public:
    virtual ~IRirekiNavigator() = default;
    // The entry before / after the current one; the owner's selection moves to
    // it. Null when there is none (nothing moves). hasMore: another entry lies
    // beyond it in the same direction. The record stays the owner's.
    virtual const CRirekiData* PreviousEntry(bool& hasMore) = 0;
    virtual const CRirekiData* NextEntry(bool& hasMore) = 0;
    // After the owner reloaded its entries: selects the entry with that key and
    // returns it with its neighbour flags; null when it is not there.
    virtual const CRirekiData* LocateEntry(int32_t key, bool& hasPrevious, bool& hasNext) = 0;
};

// The customer screen's card: stores entries for the entry dialog.
class IRirekiOwner : public IRirekiNavigator {
public:
    // Stores a new entry for the customer (the picture is brought into the
    // picture folder first); sets record.ID. The new key, below 1 on failure.
    virtual int32_t AddEntry(int32_t customerKey, CRirekiData& record) = 0;
    // Stores the changed entry (picture first); 1 on success.
    virtual int ModifyEntry(int32_t key, CRirekiData& record) = 0;
};
