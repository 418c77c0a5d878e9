// Import from the slip-printing product: its columns, its ledger file and the
// version questions.
#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/ExchangeSupport.h"
#include "common/Archive.h"
#include "exchange/BrennaImport.h"
#include "support/TestPorts.h"

namespace {

using Cells = std::vector<std::string>;

TEST(BrennaRecord, ColumnsToFields) {
    // A company name and a postal code: a company with the office postal code.
    std::optional<CKokyaku> k = BrennaRecord({"", "山田商店", "", "", "", "", "100-0001", "千代田1", "03-1", "03-2"});
    ASSERT_TRUE(k);
    EXPECT_EQ(FieldsOf(*k, {"EntryType", "Zip_Office", "Add3_Office", "TEL_Office", "FAX_Office", "Zip_Home"}),
              "0|100-0001|千代田1|03-1|03-2|");
    // Only a name: an individual with the home address.
    k = BrennaRecord({"", "", "", "", "山田太郎", "", "", "横浜市"});
    ASSERT_TRUE(k);
    EXPECT_EQ(FieldsOf(*k, {"EntryType", "Add3_Home"}), "1|横浜市");
    // A section alone makes a company too.
    EXPECT_EQ(BrennaRecord({"", "", "営業部", "", "", "", "1"})->Zip_Office, "1");

    struct SuffixCase {
        Cells cells;
        std::string suffix;
    };
    for (const SuffixCase& c : {SuffixCase{{"1", "", "", "御中", "山田", "様"}, "様"},
                                SuffixCase{{"1", "", "", "御中", "", "様"}, "御中"},
                                SuffixCase{{"1", "", "", "", "", "様"}, "様"},
                                SuffixCase{{"1", "", "", "御中", "山田", ""}, "御中"}}) {
        EXPECT_EQ(BrennaRecord(c.cells)->Suffix, c.suffix) << c.cells[3] << "/" << c.cells[4] << "/" << c.cells[5];
    }

    struct CodeCase {
        std::string tax, day;
        int taxMethod, closingDay;
    };
    for (const CodeCase& c : {CodeCase{"1", "31", 1, 31}, CodeCase{"2", "99", 0, 99}, CodeCase{"4", "32", 3, 0},
                              CodeCase{"3", "0", 4, 0}, CodeCase{"", "", 4, 0}}) {
        k = BrennaRecord({"1", "", "", "", "", "", "", "", "", "", "", c.tax, c.day});
        EXPECT_EQ(k->TaxMethod, c.taxMethod) << c.tax;
        EXPECT_EQ(k->ClosingDay, c.closingDay) << c.day;
    }
    // Column 10 alone does not make a customer.
    EXPECT_FALSE(BrennaRecord({"", "", "", "", "", "", "", "", "", "", "x"}));
    EXPECT_FALSE(BrennaRecord({}));
}

std::string Ledger(int32_t version, const std::vector<Cells>& entries, uint16_t schema = 3) {
    CArchiveWriter ar;
    ar.WriteInt32(version);
    if (version < 2) {
        ar.WriteCount(entries.size());
        for (const Cells& e : entries) {
            ar.WriteObjectTag("CStringArray", schema);
            ar.WriteCount(e.size());
            for (const std::string& s : e) ar.WriteString(s);
        }
        ar.WriteCount(2);
        ar.WriteUInt32(7);
        ar.WriteUInt32(8);
    }
    return ar.Bytes();
}

TEST(BrennaLedger, ReadsStringArrays) {
    TestPorts ports;
    CKokyakuList records;
    const Cells first{"A1", "", "", "", "鈴木", "", "", "", "", "", "ignored"};
    ASSERT_TRUE(ReadBrennaLedger(Ledger(1, {first, Cells(12), {"B2", "会社"}}), records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0]->Name, "鈴木");
    EXPECT_EQ(records[0]->EntryType, 1);
    EXPECT_EQ(records[1]->CompName, "会社");

    records.clear();
    ASSERT_TRUE(ReadBrennaLedger(Ledger(2, {}), records));
    EXPECT_TRUE(records.empty());

    // Truncated files: the message, nothing read.
    const std::string whole = Ledger(1, {first}, 1);
    for (std::size_t cut : {std::size_t{2}, std::size_t{8}, whole.size() - 1}) {
        records.clear();
        EXPECT_FALSE(ReadBrennaLedger(whole.substr(0, cut), records));
        EXPECT_TRUE(records.empty());
    }
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>(3, kFileErrorMessage));
}

TEST(BrennaImport, VersionsAndLedgerFile) {
    struct Case {
        int version;
        std::optional<Answer> answer;
        int result;
    };
    for (const Case& c : {Case{709, std::nullopt, 0}, Case{799, std::nullopt, 1}, Case{800, Answer::No, 0},
                          Case{800, Answer::Yes, 1}}) {
        SCOPED_TRACE(c.version);
        TestPorts ports;
        TempDir dir;
        WriteBytes(dir.File(kLedgerFileName), Ledger(1, {{"1", "", "", "", "山田"}}));
        ports.profile.ints[{kBrennaSection, "Ver"}] = c.version;
        ports.profile.strings[{kCodeDataSection, "DataPath"}] = dir.Path();
        if (c.answer) ports.prompt.QueueAnswer(*c.answer);
        CBrennaDialogs dialogs;
        dialogs.chooseSource = [] { return std::optional<int>(1); };
        int added = 0;
        EXPECT_EQ(ImportBrenna(dialogs,
                               [&](CKokyakuList& r, CKeyArray&) {
                                   added = static_cast<int>(r.size());
                                   return 1;
                               }),
                  c.result);
        EXPECT_EQ(added, c.result);
        const auto& log = ports.prompt.Log();
        if (c.version < 710) {
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].text,
                      "『Brenna４』が見つかりません。\nこの機能は『Brenna４』がインストールしてある場合のみ有効です。");
        } else if (c.version >= 800) {
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].kind, Shown::YesNo);
            EXPECT_EQ(log[0].icon, MsgIcon::Information);
            EXPECT_EQ(log[0].defaultButton, Answer::No);
        } else {
            EXPECT_TRUE(log.empty());
        }
    }
    // No data path: ends silently; a missing file: "データがありません".
    TestPorts ports;
    ports.profile.ints[{kBrennaSection, "Ver"}] = 750;
    CBrennaDialogs dialogs;
    dialogs.chooseSource = [] { return std::optional<int>(1); };
    auto add = [](CKokyakuList&, CKeyArray&) { return 1; };
    EXPECT_EQ(ImportBrenna(dialogs, add), 0);
    EXPECT_TRUE(ports.prompt.Texts().empty());
    ports.profile.strings[{kCodeDataSection, "DataPath"}] = "/nonexistent";
    EXPECT_EQ(ImportBrenna(dialogs, add), 0);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"データがありません"});
}

TEST(BrennaImport, WorkbookSkipsHeadings) {
    TestPorts ports;
    TempDir dir;
    ports.profile.ints[{kBrennaSection, "Ver"}] = 710;
    ports.profile.strings[{kBrennaSection, "InstalledDir"}] = dir.Path();
    CBrennaDialogs dialogs;
    dialogs.chooseSource = [] { return std::optional<int>(0); };
    dialogs.chooseSheet = [](const std::vector<std::string>&) { return std::optional<std::size_t>(0); };
    CKokyakuList added;
    auto add = [&](CKokyakuList& r, CKeyArray&) {
        for (auto& k : r) added.push_back(std::make_unique<CKokyaku>(*k));
        return 1;
    };
    EXPECT_EQ(ImportBrenna(dialogs, add), 0);
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{dir.File("Excel/Kokyaku.xls") + "が見つかりませんでした。処理を中断します"});

    std::filesystem::create_directory(dir.File("Excel"));
    std::filesystem::copy_file(Fixture("customer_book.xls"), dir.File("Excel/Kokyaku.xls"));
    EXPECT_EQ(ImportBrenna(dialogs, add), 1);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(FieldsOf(*added[0], {"CustomerID", "EntryType", "Zip_Office", "TaxMethod", "ClosingDay"}),
              "A001|0|100-0001|1|20");
    EXPECT_EQ(FieldsOf(*added[1], {"Name", "Suffix", "Add3_Home", "TaxMethod", "ClosingDay"}), "鈴木一郎|様|横浜市西区2|3|99");
    // Added now, as every import adds: registration, last update and history update.
    for (const auto& k : added) {
        EXPECT_TRUE(k->RirekiUpDate.IsValid());
        EXPECT_EQ(k->LastUpDate, k->RirekiUpDate);
        EXPECT_EQ(k->StartDate, k->RirekiUpDate);
    }
}

}  // namespace
