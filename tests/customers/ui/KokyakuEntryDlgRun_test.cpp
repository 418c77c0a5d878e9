#include <QPushButton>
#include <QRadioButton>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/ComboData.h"
#include "customers/ui/BulkChangeDlg.h"
#include "customers/ui/KokyakuEntryDlg.h"
#include "customers/ui/KokyakuEntryDlgRun.h"
#include "customers/ui/SettingsUiFixture.h"

namespace {

// An installation whose data folder holds a fresh database, and its document.
class EntryRunTest : public SettingsUiTest {
protected:
    EntryRunTest() {
        auto cols = MasterColumns();
        cols[7].label = "紹介者";  // Ranking1
        WriteSet(data + "/MLVColSet.sys", cols);
        EXPECT_TRUE(CreateEmptyMilvaneDatabase(data + "/" + kDatabaseFileName));
        doc = std::make_unique<CMilvaneDoc>(install);
        EXPECT_EQ(doc->Database().InitDB(data), 1);
        doc->DataDir = data;
    }
    std::unique_ptr<CMilvaneDoc> doc;
};

TEST_F(EntryRunTest, MenuAddUsesLabelsAndChoiceListsOfTheDataFolder) {
    bool seen = false;
    WhenModal<CKokyakuEntryDlg>([&](CKokyakuEntryDlg* d) {
        seen = true;
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("顧客を追加－個人タイプ"));
        EXPECT_EQ(d->Controls().LabelText(1107), QString::fromUtf8("紹介者"));
        auto* importance = qobject_cast<QComboBox*>(d->Controls().Control(1106));
        ASSERT_TRUE(importance);
        EXPECT_EQ(Items(importance).front(), "VIP");
        qobject_cast<QLineEdit*>(d->Controls().Control(1059))->setText(QString::fromUtf8("新規 顧客"));
        ports.prompt.QueueAnswer(Answer::Yes);
        d->Button(1)->click();
        d->Button(1389)->click();
    });
    RunMenuAddCustomer(nullptr, doc.get(), 1);
    EXPECT_TRUE(seen);
    ASSERT_EQ(doc->KokyakuList.size(), 1u);
    EXPECT_EQ(doc->KokyakuList[0].Name(), "新規 顧客");
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
}

TEST_F(EntryRunTest, ChangeThroughTheScreenOperations) {
    auto k = std::make_unique<CKokyaku>();
    k->Name = "変更前";
    const int32_t key = doc->AddKokyaku(k);
    ASSERT_GT(key, 0);
    std::vector<int32_t> modified;
    KokyakuScreenOps ops;
    ops.modifyCustomer = [&](int32_t kk, const CKokyaku& rec) {
        modified.push_back(kk);
        auto copy = std::make_unique<CKokyaku>(rec);
        return doc->ChangeKokyaku(kk, copy);
    };
    WhenModal<CKokyakuEntryDlg>([&](CKokyakuEntryDlg* d) {
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("顧客を修正－法人タイプ"));
        qobject_cast<QLineEdit*>(d->Controls().Control(1059))->setText(QString::fromUtf8("変更後"));
        ports.prompt.QueueAnswer(Answer::Yes);  // 顧客を修正しますか？ on closing
        d->Button(1389)->click();
    });
    RunKokyakuEntry(nullptr, *doc, 2, EntryMode::Change, doc->KokyakuList[0].Record(), false, false, &ops);
    EXPECT_EQ(modified, std::vector<int32_t>{key});
    EXPECT_EQ(doc->KokyakuList[0].Name(), "変更後");
}

TEST_F(EntryRunTest, BulkChangeOfARanking) {
    for (const char* n : {"一", "二"}) {
        auto k = std::make_unique<CKokyaku>();
        k->Name = n;
        doc->AddKokyaku(k);
    }
    std::vector<uint32_t> keys;
    for (const auto& k : doc->KokyakuList) keys.push_back(static_cast<uint32_t>(k->ID));
    std::vector<uint32_t> redrawn;
    ports.prompt.QueueAnswer(Answer::Yes);  // 一括修正します
    WhenModal<CBulkChangeDlg>([&](CBulkChangeDlg* d) {
        EXPECT_EQ(d->Radio(2)->text(), QString::fromUtf8("紹介者"));
        d->Radio(1)->click();
        EXPECT_EQ(d->Value(1)->currentText(), QStringLiteral("VIP"));  // starts on its first entry
        ports.prompt.QueueAnswer(Answer::Yes);
        d->OnOk();
    });
    EXPECT_EQ(RunKokyakuBulkChange(nullptr, doc.get(), keys, [&](const std::vector<uint32_t>& k) { redrawn = k; }), 1);
    for (const auto& k : doc->KokyakuList) EXPECT_EQ(k->Record()->ImportantRanking, "VIP");
    EXPECT_EQ(redrawn, keys);
    EXPECT_EQ(ports.prompt.Texts().back(), "顧客データを一括修正しました。");
}

}  // namespace
