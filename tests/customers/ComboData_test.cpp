#include <gtest/gtest.h>

#include <functional>

#include "common/SjisText.h"
#include "customers/ComboData.h"
#include "customers/MLVColSet.h"
#include "customers/SettingsFixture.h"

namespace {

std::vector<std::string> TextsOf(const std::vector<CMLVComboElem>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.text);
    return out;
}

TEST_F(SettingsTest, ChoiceListFile_FreshDataFolderGetsDefaultsAndUserEntriesCarryTheFlag) {
    CMLVComboData list(inst.install);
    ASSERT_EQ(list.Load(kListRirekiType), 1);
    EXPECT_TRUE(list.IsLoaded());
    EXPECT_TRUE(ports.prompt.Log().empty());
    const std::vector<std::string> texts = {"DM", "DMメール送信", "問い合わせ", "購入", "クレーム", "メール送信",
                                            "フォーム印刷"};
    EXPECT_EQ(TextsOf(list.entries), texts);

    std::string expected = Hex("07 00 FF FF 01 00 0D 00") + "CMLVComboElem" + Text("DM") + Hex("00 00 00 00");
    for (std::size_t i = 1; i < texts.size(); ++i) expected += Hex("01 80") + Text(texts[i]) + Hex("00 00 00 00");
    EXPECT_EQ(ReadBytes(inst.DataFile("RirekiType.dat")), expected);

    ASSERT_EQ(list.Load(kListImportant), 1);
    EXPECT_EQ(list.entries, (std::vector<CMLVComboElem>{
                                {"VIP", 0}, {"特A", 1}, {"A", 1}, {"B", 1}, {"C", 1}, {"ブラックリスト", 0}}));
    EXPECT_TRUE(FileExists(inst.DataFile(ChoiceListFileName(kListImportant))));
    ASSERT_EQ(list.Load(kListTantou), 1);
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(ReadBytes(inst.DataFile("Tantou.dat")), Hex("00 00"));
    // A user entry carries the 32-bit flag.
    ASSERT_EQ(list.AddEntry("山田"), 1);
    EXPECT_EQ(ReadBytes(inst.DataFile("Tantou.dat")),
              Hex("01 00 FF FF 01 00 0D 00") + "CMLVComboElem" + Text("山田") + Hex("01 00 00 00"));
    CMLVComboData again(inst.install);
    ASSERT_EQ(again.Load(kListTantou), 1);
    EXPECT_EQ(again.entries, (std::vector<CMLVComboElem>{{"山田", 1}}));
    EXPECT_EQ(list.Load(9), 0);
    EXPECT_FALSE(list.IsLoaded());
}

TEST_F(SettingsTest, ChoiceListFile_TruncatedFileIsKeptWhenTheResetIsRefused) {
    const std::string broken = Hex("02 00 FF FF 01 00 0D 00") + "CMLVComboElem" + Text("x");
    WriteBytes(inst.DataFile("KPayMeth.dat"), broken);
    ports.prompt.QueueAnswer(Answer::No);
    CMLVComboData list(inst.install);
    EXPECT_EQ(list.Load(kListPayMeth), 0);
    EXPECT_FALSE(list.IsLoaded());
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(ReadBytes(inst.DataFile("KPayMeth.dat")), broken);
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[0].text, "ファイル操作中にエラーが発生しました");
    EXPECT_EQ(ports.prompt.Log()[1].text,
              "設定ファイル<" + inst.DataFile("KPayMeth.dat") + ">が壊れています。初期状態にしてよろしいですか？");
    EXPECT_EQ(ports.prompt.Log()[1].icon, MsgIcon::Information);
    EXPECT_EQ(list.AddEntry("カード"), 0);
    EXPECT_EQ(ReadBytes(inst.DataFile("KPayMeth.dat")), broken);

    ports.prompt.QueueAnswer(Answer::Yes);
    ASSERT_EQ(list.Load(kListPayMeth), 1);
    EXPECT_EQ(TextsOf(list.entries), (std::vector<std::string>{"現金", "小切手", "振込み", "手形"}));
    CMLVComboData again(inst.install);
    ASSERT_EQ(again.Load(kListPayMeth), 1);
    EXPECT_EQ(again.entries, list.entries);
}

TEST_F(SettingsTest, AutoRegistration_NewTextOnceAndNeverAKnownOne) {
    CMLVComboData list(inst.install);
    ASSERT_EQ(list.Load(kListImportant), 1);
    EXPECT_FALSE(list.AutoRegister("VIP"));
    EXPECT_FALSE(list.AutoRegister(""));
    EXPECT_TRUE(list.AutoRegister("得意先"));
    EXPECT_FALSE(list.AutoRegister("得意先"));

    CMLVComboData again(inst.install);
    ASSERT_EQ(again.Load(kListImportant), 1);
    ASSERT_EQ(again.entries.size(), 7u);
    EXPECT_EQ(again.entries.back(), (CMLVComboElem{"得意先", 1}));
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST(ChoiceEditorNames, RankingListsTakeTheLabels) {
    CMLVColSet set("");
    set.columns = {{"Ranking1", "会員種別", 1}};
    EXPECT_EQ(ChoiceListEditorName(kListRank1, &set), "顧客情報の会員種別");
    EXPECT_EQ(ChoiceListEditorName(kListRank2, &set), "顧客情報のランク２");
    EXPECT_EQ(ChoiceListEditorName(kListRank1, nullptr), "顧客情報のランク１");
    EXPECT_EQ(ChoiceChooserLabels(nullptr)[4], "顧客：ランキング１");
    EXPECT_EQ(ChoiceChooserLabels(&set)[4], "顧客：会員種別");
}

using ChoiceEditorTest = SettingsTest;

TEST_F(ChoiceEditorTest, FixedEntriesAndTheEntryChecks) {
    CChoiceListEditor editor(inst.install, kListImportant);
    ASSERT_EQ(editor.Open(), 1);
    const int vip = 0, tokuA = 1, black = 5;
    EXPECT_FALSE(editor.CanChange(vip));
    EXPECT_FALSE(editor.Delete(vip));
    EXPECT_FALSE(editor.CanChange(black));
    EXPECT_FALSE(editor.Delete(black));
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"この項目は編集できません", "この項目は削除できません",
                                                              "この項目は編集できません", "この項目は削除できません"}));
    ports.prompt.Clear();

    EXPECT_TRUE(editor.CanChange(tokuA));
    editor.Change(tokuA, "特AA");
    EXPECT_EQ(editor.Entries()[tokuA].text, "特AA");

    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(editor.Delete(tokuA));
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(editor.Delete(tokuA));
    EXPECT_EQ(TextsOf(editor.Entries()), (std::vector<std::string>{"VIP", "A", "B", "C", "ブラックリスト"}));
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[0].text, "項目<特AA>を削除します。\nよろしいですか？");
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Question);
    EXPECT_EQ(ports.prompt.Log()[0].defaultButton, Answer::No);

    // The entry dialog refuses empty texts and duplicates.
    ports.prompt.Clear();
    EXPECT_FALSE(editor.ValidateEntryText(""));
    // Changing an entry to its own text is a duplicate too.
    ASSERT_TRUE(editor.CanChange(1));
    EXPECT_FALSE(editor.ValidateEntryText(editor.Entries()[1].text));
    EXPECT_FALSE(editor.ValidateEntryText("VIP"));
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"内容を入力してください",
                                        "入力された内容はすでに登録されています。\n重複する内容を登録することはできません。",
                                        "入力された内容はすでに登録されています。\n重複する内容を登録することはできません。"}));
    EXPECT_TRUE(editor.ValidateEntryText("S"));
    EXPECT_EQ(editor.Add("S"), 5);
    EXPECT_EQ(editor.Entries()[5], (CMLVComboElem{"S", 1}));
}

TEST_F(ChoiceEditorTest, MovesStopAtTheEndsAndNeedASelection) {
    CChoiceListEditor editor(inst.install, kListPayMeth);
    ASSERT_EQ(editor.Open(), 1);
    EXPECT_FALSE(editor.CanChange(-1));
    EXPECT_FALSE(editor.Delete(-1));
    EXPECT_EQ(editor.MoveUp(-1), -1);
    EXPECT_EQ(editor.MoveDown(-1), -1);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"変更する内容を選択してください", "削除する内容を選択してください",
                                        "移動する内容を選択してください", "移動する内容を選択してください"}));
    ports.prompt.Clear();
    EXPECT_EQ(editor.MoveUp(0), 0);
    EXPECT_EQ(editor.MoveDown(3), 3);
    EXPECT_EQ(TextsOf(editor.Entries()), (std::vector<std::string>{"現金", "小切手", "振込み", "手形"}));
    EXPECT_EQ(editor.MoveDown(0), 1);
    EXPECT_EQ(editor.MoveUp(3), 2);
    EXPECT_EQ(TextsOf(editor.Entries()), (std::vector<std::string>{"小切手", "現金", "手形", "振込み"}));
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(ChoiceEditorTest, OkSavesAndCancelKeepsTheFile) {
    {
        CChoiceListEditor editor(inst.install, kListCompType);
        ASSERT_EQ(editor.Open(), 1);
        editor.Add("小売業");
    }  // cancelled
    CMLVComboData list(inst.install);
    ASSERT_EQ(list.Load(kListCompType), 1);
    EXPECT_EQ(TextsOf(list.entries), (std::vector<std::string>{"製造業", "流通業"}));

    CChoiceListEditor editor(inst.install, kListCompType);
    ASSERT_EQ(editor.Open(), 1);
    editor.MoveUp(editor.Add("小売業"));
    EXPECT_TRUE(editor.Ok());
    ASSERT_EQ(list.Load(kListCompType), 1);
    EXPECT_EQ(TextsOf(list.entries), (std::vector<std::string>{"製造業", "小売業", "流通業"}));
}

TEST_F(ChoiceEditorTest, EntriesAreCutToTheLimitAndABrokenListRefusedClosesTheEditor) {
    CChoiceListEditor editor(inst.install, kListTantou);
    ASSERT_EQ(editor.Open(), 1);
    int row = editor.Add(std::string(20, 'a') + "あいうえおか");
    EXPECT_EQ(editor.Entries()[row].text, std::string(20, 'a') + "あいうえお");

    WriteBytes(inst.DataFile("Tantou.dat"), Hex("01"));
    ports.prompt.QueueAnswer(Answer::No);
    CChoiceListEditor broken(inst.install, kListTantou);
    EXPECT_EQ(broken.Open(), 0);
}

// With repair off (a reading command) a damaged or missing settings file is
// told about and left as it is: nothing is asked and nothing is written.
TEST_F(SettingsTest, SettingsWithoutRepairAreNeverRewritten) {
    TestInstall::WriteSet(inst.MasterFile(), SampleColumns());
    const std::string damaged = Hex("01 00 FF FF 01 00");  // cut inside the class name
    struct Case {
        const char* file;  // in the data folder; "" bytes: missing
        std::string bytes;
        std::function<int()> load;
        int result;
        std::size_t messages;
    } cases[] = {
        {"MLVColSet.sys", damaged, [&] { return CMLVColSet(inst.install).Load(); }, 0, 2},
        {"MLVColSet.sys", "", [&] { return CMLVColSet(inst.install).Load(); }, 0, 1},
        {"Tantou.dat", damaged, [&] { return CMLVComboData(inst.install).Load(kListTantou); }, 0, 2},
        {"KRank1.dat", "", [&] { return CMLVComboData(inst.install).Load(kListRank1); }, 1, 0},  // defaults in memory
    };
    AllowSettingsRepair(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.bytes.empty() ? " missing" : " damaged"));
        ports.prompt.Clear();
        const std::string path = inst.DataFile(c.file);
        std::filesystem::remove(path);
        if (!c.bytes.empty()) WriteBytes(path, c.bytes);
        EXPECT_EQ(c.load(), c.result);
        EXPECT_EQ(ports.prompt.Texts().size(), c.messages);
        for (const Shown& entry : ports.prompt.Log()) EXPECT_EQ(entry.kind, Shown::Message);
        if (c.messages) {
            EXPECT_NE(ports.prompt.Texts().back().find(path), std::string::npos);
        }
        EXPECT_EQ(FileExists(path), !c.bytes.empty());
        if (!c.bytes.empty()) {
            EXPECT_EQ(ReadBytes(path), c.bytes);
        }
    }
    AllowSettingsRepair(true);
}

}  // namespace
