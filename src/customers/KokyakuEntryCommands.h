// The customer commands that open the entry dialogs, and the link between the
// dialogs and the document: the host that adds and changes through the
// customer screen (or the document), and the bulk change against the database.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "customers/BulkChange.h"
#include "customers/KokyakuEntry.h"

struct CKokyaku;
class CMilvaneDoc;

// The customer screen's operations offered to the entry dialog.
struct KokyakuScreenOps {
    // Adds a copy through the document and shows it; the new key or -1.
    std::function<int32_t(const CKokyaku&)> addCustomer;
    // Changes the customer of the key through the document; 1 / 0 / -1.
    std::function<int(int32_t, const CKokyaku&)> modifyCustomer;
    // Move the selection one row; the newly selected key and whether a further
    // row exists that way, or nullopt when the move is impossible.
    std::function<std::optional<std::pair<int32_t, bool>>()> nextCustomer;
    std::function<std::optional<std::pair<int32_t, bool>>()> prevCustomer;
};

// The entry dialog's host: through the screen's operations when given,
// otherwise directly through the document.
class CKokyakuEntryHost : public IKokyakuEntryHost {
public:
    CKokyakuEntryHost(CMilvaneDoc& doc, const KokyakuScreenOps* ops) : m_doc(doc), m_ops(ops) {}
    int32_t AddCustomer(const CEntryRecord& record) override;
    int ModifyCustomer(int32_t key, CEntryRecord& record) override;
    std::optional<NeighbourCustomer> NextCustomer() override { return Neighbour(true); }
    std::optional<NeighbourCustomer> PrevCustomer() override { return Neighbour(false); }

private:
    std::optional<NeighbourCustomer> Neighbour(bool next);
    const CKokyaku* Cached(int32_t key) const;

    CMilvaneDoc& m_doc;
    const KokyakuScreenOps* m_ops;
};

// Opens an entry dialog modally: layout, mode, record (or none), previous and
// next flags, host.
using EntryDialogRunner =
    std::function<void(EntryLayout, EntryMode, const CEntryRecord*, bool, bool, IKokyakuEntryHost&)>;

// The entry layout kept in the profile ("Settings"/"CardType", default 0).
int StoredCardType();
// The layout of a card type; nullopt for any value other than 0, 1, 2.
std::optional<EntryLayout> LayoutOfCardType(int cardType);

// Menu screen, "顧客を追加" with the stored input type.
void MenuAddCustomer(CMilvaneDoc* doc, int inputType, const EntryDialogRunner& run);
// Customer screen 1002 "顧客を追加...".
void ScreenAddCustomer(CMilvaneDoc* doc, int cardType, const KokyakuScreenOps& ops, const EntryDialogRunner& run);
// Customer screen 32779 "顧客を修正...": selected is the selected (or focused)
// customer, none when there is none; the flags tell whether rows exist above
// and below it.
void ScreenChangeCustomer(CMilvaneDoc* doc, int cardType, const CKokyaku* selected, bool hasPrev, bool hasNext,
                          const KokyakuScreenOps& ops, const EntryDialogRunner& run);
// Customer screen 32803 "顧客をコピー...".
void ScreenCopyCustomer(CMilvaneDoc* doc, int cardType, const CKokyaku* selected, const KokyakuScreenOps& ops,
                        const EntryDialogRunner& run);

// Customer screen 32831 "顧客を一括修正...": the whole flow against the
// document's database and cache. rewriteRows redraws the rows of the keys.
int ScreenBulkChange(CMilvaneDoc* doc, const std::vector<uint32_t>& selected,
                     const std::function<std::optional<BulkChangeChoice>()>& dialog,
                     const std::function<void(const std::vector<uint32_t>&)>& rewriteRows);
