#include <gtest/gtest.h>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/KokyakuEntryCommands.h"
#include "support/TestInstall.h"
#include "support/TestPorts.h"

namespace {

struct RunCall {
    EntryLayout layout;
    EntryMode mode;
    std::optional<CEntryRecord> record;
    bool hasPrev, hasNext;
};

// A runner that records the call and lets the test act as the dialog.
struct Runner {
    std::vector<RunCall> calls;
    std::function<void(IKokyakuEntryHost&)> act;
    EntryDialogRunner Fn() {
        return [this](EntryLayout l, EntryMode m, const CEntryRecord* r, bool p, bool n, IKokyakuEntryHost& host) {
            calls.push_back({l, m, r ? std::optional<CEntryRecord>(*r) : std::nullopt, p, n});
            if (act) act(host);
        };
    }
};

// A document over a fresh database in a temporary data folder.
struct DocFixture {
    TempDir dir;
    std::unique_ptr<CMilvaneDoc> owned = (MakeInstallation(dir), OpenDocument(dir, true));
    CMilvaneDoc& doc = *owned;
    int32_t Add(const std::string& name) {
        auto k = std::make_unique<CKokyaku>();
        k->Name = name;
        return doc.AddKokyaku(k);
    }
    const CKokyaku* Cached(int32_t key) const {
        const CKokyakuRow* row = doc.KokyakuList.Find(key);
        return row ? row->Record() : nullptr;
    }
};

TEST(KokyakuEntryCommands, MenuAddRefusalsStoredTypeAndTheDocument) {
    TestPorts ports;
    Runner run;
    MenuAddCustomer(nullptr, 0, run.Fn());
    DocFixture f;
    f.doc.PastDataMode = 1;
    MenuAddCustomer(&f.doc, 0, run.Fn());
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{
                                        "顧客を追加できません。",
                                        "データベースは読取専用です。\n顧客を追加することはできません。\n"}));
    f.doc.PastDataMode = 0;
    MenuAddCustomer(&f.doc, 3, run.Fn());
    EXPECT_TRUE(run.calls.empty());
    ports.profile.WriteInt("Settings", "CardType", 2);
    MenuAddCustomer(&f.doc, StoredCardType(), run.Fn());
    ASSERT_EQ(run.calls.size(), 1u);
    EXPECT_EQ(run.calls[0].layout, EntryLayout::Corporate);
    EXPECT_EQ(run.calls[0].mode, EntryMode::Add);
    EXPECT_FALSE(run.calls[0].record);

    // Without a screen the add goes through the document.
    int32_t key = -1;
    run.act = [&](IKokyakuEntryHost& host) {
        CEntryRecord r = CEntryRecord::Blank();
        r.SetText("Name", "山田");
        r.SetText("TEL_Home", "03-1234-5678");
        key = host.AddCustomer(r);
    };
    MenuAddCustomer(&f.doc, 0, run.Fn());
    ASSERT_GT(key, 0);
    const CKokyaku* k = f.Cached(key);
    ASSERT_TRUE(k);
    EXPECT_EQ(k->Name, "山田");
    EXPECT_TRUE(k->StartDate.IsValid());
    EXPECT_EQ(f.doc.KokyakuList.front().ID, key);

    // A change shows the record as stamped by the document.
    const CDateTime before = k->LastUpDate;
    CKokyakuEntryHost host(f.doc, nullptr);
    CEntryRecord r = ToEntryRecord(*k);
    r.SetText("Name", "山田花子");
    r.SetDate("LastUpDate", CDateTime());
    EXPECT_EQ(host.ModifyCustomer(key, r), 1);
    EXPECT_EQ(f.Cached(key)->Name, "山田花子");
    EXPECT_TRUE(r.Date("LastUpDate").IsValid());
    EXPECT_GE(r.Date("LastUpDate").Days(), before.Days());
    EXPECT_EQ(host.ModifyCustomer(99999, r), 0);
}

TEST(KokyakuEntryCommands, ChangeAndCopyRefusalsAndTheirRecords) {
    TestPorts ports;
    DocFixture f;
    Runner run;
    KokyakuScreenOps ops;
    ScreenChangeCustomer(&f.doc, 0, nullptr, false, false, ops, run.Fn());
    ScreenCopyCustomer(nullptr, 0, nullptr, ops, run.Fn());
    ScreenCopyCustomer(&f.doc, 0, nullptr, ops, run.Fn());
    f.doc.PastDataMode = 1;
    ScreenCopyCustomer(&f.doc, 0, nullptr, ops, run.Fn());
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{
                                        "修正する顧客を選択してください", "顧客をコピーできません。",
                                        "コピーする顧客を選択してください",
                                        "データベースは読取専用です。\n顧客をコピーすることはできません。\n"}));
    EXPECT_TRUE(run.calls.empty());

    // Read-only data: the change only shows the customer.
    const int32_t key = f.Add("佐藤");
    ScreenChangeCustomer(&f.doc, 1, f.Cached(key), true, false, ops, run.Fn());
    ASSERT_EQ(run.calls.size(), 1u);
    EXPECT_EQ(run.calls[0].mode, EntryMode::View);
    EXPECT_EQ(run.calls[0].layout, EntryLayout::Individual);
    EXPECT_EQ(run.calls[0].record->Text("Name"), "佐藤");
    EXPECT_EQ(run.calls[0].record->id, key);
    EXPECT_TRUE(run.calls[0].hasPrev);
    EXPECT_EQ(ports.prompt.Texts().back(),
              "データベースは読取専用です。\n顧客を修正することはできません。\n参照のみを行ないます。\n");

    f.doc.PastDataMode = 0;
    ScreenCopyCustomer(&f.doc, 0, f.Cached(key), ops, run.Fn());
    ASSERT_EQ(run.calls.size(), 2u);
    EXPECT_EQ(run.calls[1].mode, EntryMode::Add);
    EXPECT_EQ(run.calls[1].record->Text("Name"), "佐藤");
}

TEST(KokyakuEntryCommands, ScreenOperationsAndNeighbours) {
    TestPorts ports;
    DocFixture f;
    f.Add("一");
    const int32_t b = f.Add("二");
    KokyakuScreenOps ops;
    std::vector<std::string> added;
    ops.addCustomer = [&](const CKokyaku& k) {
        added.push_back(k.Name);
        return 77;
    };
    ops.nextCustomer = [&]() -> std::optional<std::pair<int32_t, bool>> { return std::make_pair(b, false); };
    CKokyakuEntryHost host(f.doc, &ops);
    CEntryRecord r = CEntryRecord::Blank();
    r.SetText("Name", "三");
    EXPECT_EQ(host.AddCustomer(r), 77);
    EXPECT_EQ(added, std::vector<std::string>{"三"});
    auto n = host.NextCustomer();
    ASSERT_TRUE(n);
    EXPECT_EQ(n->record.id, b);
    EXPECT_EQ(n->record.Text("Name"), "二");
    EXPECT_FALSE(n->further);
    EXPECT_FALSE(host.PrevCustomer());  // the screen offers no previous move
}

TEST(KokyakuEntryCommands, BulkChangeWithPartialResultUpdatesOnlyChangedCustomers) {
    TestPorts ports;
    DocFixture f;
    const int32_t a = f.Add("A");
    const int32_t b = f.Add("B");
    const std::vector<uint32_t> keys = {static_cast<uint32_t>(a), static_cast<uint32_t>(b), 99999u};
    std::vector<uint32_t> redrawn;
    ports.prompt.QueueAnswer(Answer::Yes);
    const int r = ScreenBulkChange(
        &f.doc, keys, [] { return std::optional<BulkChangeChoice>(BulkChangeChoice{"Ranking1", "特A", 0}); },
        [&](const std::vector<uint32_t>& k) { redrawn = k; });
    EXPECT_EQ(r, 10);
    EXPECT_EQ(f.Cached(a)->Ranking1, "特A");
    EXPECT_EQ(f.Cached(b)->Ranking1, "特A");
    EXPECT_EQ(redrawn, keys);
    EXPECT_EQ(ports.prompt.Texts().back(), "一部の顧客データが修正できませんでした。");

    // The database holds the change too.
    CKokyakuList all;
    ASSERT_NE(f.doc.Database().GetAllKokyaku(all), 0);
    for (const auto& k : all) EXPECT_EQ(k->Ranking1, "特A");
}

}  // namespace
