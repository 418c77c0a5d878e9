#include "customers/KokyakuEntryCommands.h"

#include <memory>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"

// ---------------------------------------------------------------- host

const CKokyaku* CKokyakuEntryHost::Cached(int32_t key) const {
    const CKokyakuRow* row = m_doc.KokyakuList.Find(key);
    return row ? row->Record() : nullptr;
}

int32_t CKokyakuEntryHost::AddCustomer(const CEntryRecord& record) {
    CKokyaku k;
    ApplyEntryRecord(record, k);
    if (m_ops && m_ops->addCustomer) return m_ops->addCustomer(k);
    auto rec = std::make_unique<CKokyaku>(std::move(k));
    return m_doc.AddKokyaku(rec);
}

int CKokyakuEntryHost::ModifyCustomer(int32_t key, CEntryRecord& record) {
    CKokyaku k;
    if (const CKokyaku* old = Cached(key)) k = *old;
    ApplyEntryRecord(record, k);
    k.ID = key;
    int result;
    if (m_ops && m_ops->modifyCustomer) {
        result = m_ops->modifyCustomer(key, k);
    } else {
        auto rec = std::make_unique<CKokyaku>(std::move(k));
        result = m_doc.ChangeKokyaku(key, rec);
    }
    // The document stamped the record; show it as stored.
    if (result == 1) {
        if (const CKokyaku* now = Cached(key)) record = ToEntryRecord(*now);
    }
    return result;
}

std::optional<NeighbourCustomer> CKokyakuEntryHost::Neighbour(bool next) {
    if (!m_ops) return std::nullopt;
    const auto& move = next ? m_ops->nextCustomer : m_ops->prevCustomer;
    if (!move) return std::nullopt;
    const auto moved = move();
    if (!moved) return std::nullopt;
    const CKokyaku* k = Cached(moved->first);
    if (!k) return std::nullopt;
    return NeighbourCustomer{ToEntryRecord(*k), moved->second};
}

// ---------------------------------------------------------------- commands

int StoredCardType() { return Ports::Profile().GetInt("Settings", "CardType", 0); }

std::optional<EntryLayout> LayoutOfCardType(int cardType) {
    if (cardType < 0 || cardType > 2) return std::nullopt;
    return static_cast<EntryLayout>(cardType);
}

namespace {
constexpr const char* kReadOnlyAdd = "データベースは読取専用です。\n顧客を追加することはできません。\n";
}

void MenuAddCustomer(CMilvaneDoc* doc, int inputType, const EntryDialogRunner& run) {
    if (!doc) {
        ShowMessage("顧客を追加できません。");
        return;
    }
    if (IsReadOnly(doc)) {
        ShowMessage(kReadOnlyAdd);
        return;
    }
    const auto layout = LayoutOfCardType(inputType);
    if (!layout) return;
    CKokyakuEntryHost host(*doc, nullptr);
    run(*layout, EntryMode::Add, nullptr, false, false, host);
}

void ScreenAddCustomer(CMilvaneDoc* doc, int cardType, const KokyakuScreenOps& ops, const EntryDialogRunner& run) {
    if (!doc) return;
    if (IsReadOnly(doc)) {
        ShowMessage(kReadOnlyAdd);
        return;
    }
    const auto layout = LayoutOfCardType(cardType);
    if (!layout) return;
    CKokyakuEntryHost host(*doc, &ops);
    run(*layout, EntryMode::Add, nullptr, false, false, host);
}

void ScreenChangeCustomer(CMilvaneDoc* doc, int cardType, const CKokyaku* selected, bool hasPrev, bool hasNext,
                          const KokyakuScreenOps& ops, const EntryDialogRunner& run) {
    if (!doc) return;
    if (!selected) {
        ShowMessage("修正する顧客を選択してください");
        return;
    }
    EntryMode mode = EntryMode::Change;
    if (IsReadOnly(doc)) {
        ShowMessage("データベースは読取専用です。\n顧客を修正することはできません。\n参照のみを行ないます。\n");
        mode = EntryMode::View;
    }
    const auto layout = LayoutOfCardType(cardType);
    if (!layout) return;
    const CEntryRecord record = ToEntryRecord(*selected);
    CKokyakuEntryHost host(*doc, &ops);
    run(*layout, mode, &record, hasPrev, hasNext, host);
}

void ScreenCopyCustomer(CMilvaneDoc* doc, int cardType, const CKokyaku* selected, const KokyakuScreenOps& ops,
                        const EntryDialogRunner& run) {
    if (!doc) {
        ShowMessage("顧客をコピーできません。");
        return;
    }
    if (IsReadOnly(doc)) {
        ShowMessage("データベースは読取専用です。\n顧客をコピーすることはできません。\n");
        return;
    }
    if (!selected) {
        ShowMessage("コピーする顧客を選択してください");
        return;
    }
    const auto layout = LayoutOfCardType(cardType);
    if (!layout) return;
    const CEntryRecord record = ToEntryRecord(*selected);
    CKokyakuEntryHost host(*doc, &ops);
    run(*layout, EntryMode::Add, &record, false, false, host);
}

// ---------------------------------------------------------------- bulk change

namespace {

class CDocBulkChangeScreen : public IBulkChangeScreen {
public:
    CDocBulkChangeScreen(CMilvaneDoc* doc, const std::vector<uint32_t>& selected,
                         const std::function<std::optional<BulkChangeChoice>()>& dialog,
                         const std::function<void(const std::vector<uint32_t>&)>& rewrite)
        : m_doc(doc), m_selected(selected), m_dialog(dialog), m_rewrite(rewrite) {}

    bool IsReadOnly() override { return ::IsReadOnly(m_doc); }
    std::vector<uint32_t> SelectedKeys() override { return m_selected; }
    std::optional<BulkChangeChoice> RunDialog() override { return m_dialog ? m_dialog() : std::nullopt; }
    int ModifyKokyaku(const std::vector<uint32_t>& keys, std::vector<uint32_t>& changed, const std::string& field,
                      const CDateTime& now, const std::string& text, int32_t color) override {
        if (!m_doc) return -1;
        return m_doc->Database().ModifyKokyaku(keys, changed, field, now, text, color);
    }
    void UpdateCached(uint32_t key, const BulkChangeChoice& choice, const CDateTime& now) override {
        if (!m_doc) return;
        m_doc->KokyakuList.Update(static_cast<int32_t>(key), [&](CKokyaku& k) {
            if (choice.field == "ColorMark")
                k.ColorMark = static_cast<int32_t>(choice.color);
            else if (const KokyakuField* f = FindKokyakuField(choice.field); f && f->IsText())
                f->Text(k) = choice.text;
            k.LastUpDate = now;
        });
    }
    void RewriteRows(const std::vector<uint32_t>& keys) override {
        if (m_rewrite) m_rewrite(keys);
    }

private:
    CMilvaneDoc* m_doc;
    const std::vector<uint32_t>& m_selected;
    const std::function<std::optional<BulkChangeChoice>()>& m_dialog;
    const std::function<void(const std::vector<uint32_t>&)>& m_rewrite;
};

}  // namespace

int ScreenBulkChange(CMilvaneDoc* doc, const std::vector<uint32_t>& selected,
                     const std::function<std::optional<BulkChangeChoice>()>& dialog,
                     const std::function<void(const std::vector<uint32_t>&)>& rewriteRows) {
    CDocBulkChangeScreen screen(doc, selected, dialog, rewriteRows);
    return RunBulkChange(screen, CDateTime::Now());
}
