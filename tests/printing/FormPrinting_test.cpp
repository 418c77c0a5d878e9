// Printing customers on forms through the document: the history entry, the
// read-only rules, type 4 histories, and the customer list's command.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/SjisText.h"
#include "customers/Kokyaku.h"
#include "history/RirekiData.h"
#include "history/RirekiListLogic.h"
#include "dm/DMViewLogic.h"
#include "printing/DispPrev.h"
#include "printing/DmPrinting.h"
#include "printing/FormPrinting.h"
#include "printing/OwnCompany.h"
#include "support/TestInstall.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

struct FakePrintUi final : IPrintUi {
    CFormChoice answer{2, 0, 1, true};
    bool choose = true;
    int result = 1;
    std::vector<bool> allowed;
    std::vector<std::vector<CPrintPage>> printed;
    bool ChooseForm(const std::string&, int, bool allowRecordHistory, CFormChoice& choice) override {
        allowed.push_back(allowRecordHistory);
        if (choose) choice = answer;
        return choose;
    }
    int PreviewAndPrint(const CFormLayout&, const std::vector<CPrintPage>& pages) override {
        printed.push_back(pages);
        return result;
    }
};

class FormPrintingTest : public ::testing::Test {
protected:
    FormPrintingTest() : dataDir(MakeInstallation(install)), doc(OpenDocument(install, true)) {
        for (const char* name : {"山田太郎", "佐藤花子"}) {
            auto k = std::make_unique<CKokyaku>();
            k->Name = name;
            k->Picture1 = "face.jpg";
            EXPECT_GT(doc->AddKokyaku(k), 0);
        }
        PrintUi::Install(&ui);
    }
    ~FormPrintingTest() override { PrintUi::Install(nullptr); }

    std::vector<const CKokyaku*> All() const {
        std::vector<const CKokyaku*> out;
        for (const auto& k : doc->KokyakuList) out.push_back(k->Record());
        return out;
    }
    CRirekiList History(int32_t key) {
        CRirekiList list;
        doc->Database().GetRirekiForKokyaku(key, list);
        return list;
    }
    int CountTexts(const std::vector<CPrintPage>& pages, const std::string& text) {
        int n = 0;
        for (const auto& p : pages)
            for (const auto& it : p.items) n += it.text == text;
        return n;
    }

    TestPorts ports;
    TempDir install;
    std::string dataDir;
    std::unique_ptr<CMilvaneDoc> doc;
    FakePrintUi ui;
};

}  // namespace

TEST_F(FormPrintingTest, PrintedFormsAreRecordedInEveryCustomersHistory) {
    FixedClock clock;
    ASSERT_EQ(PrintForms(*doc, All(), 2, 0, 1, true), 1);
    for (const auto& k : doc->KokyakuList) {
        auto list = History(k->ID);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0]->ActionTitle, "フォーム印刷");
        EXPECT_EQ(list[0]->Action, "A4宛名ラベル（3×8面）を印刷。");
        EXPECT_TRUE(list[0]->Date.IsValid());
        EXPECT_EQ(list[0]->Date.Second(), 0);  // kept to the minute
        EXPECT_EQ(list[0]->Keyword, "");
        EXPECT_TRUE(k->Record()->RirekiUpDate.IsValid());
    }
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(FormPrintingTest, NothingIsRecordedUnlessPrintedAndAsked) {
    ui.result = 0;
    EXPECT_EQ(PrintForms(*doc, All(), 2, 0, 1, true), 0);
    ui.result = 1;
    EXPECT_EQ(PrintForms(*doc, All(), 2, 0, 1, false), 1);
    EXPECT_TRUE(History(doc->KokyakuList[0].ID).empty());
    EXPECT_EQ(PrintForms(*doc, All(), 0, 0, 1, true), 0);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"レイアウト情報がありません。"});
    EXPECT_EQ(ui.printed.size(), 2u);
}

TEST_F(FormPrintingTest, HistorySheetsTakeTheGivenEntriesOrTheWholeHistory) {
    const CKokyaku* first = doc->KokyakuList[0].Record();
    for (const char* title : {"来店", "電話", "購入"}) {
        CRirekiData r;
        r.ActionTitle = title;
        r.Date = CDateTime::Now();
        ASSERT_GT(doc->Database().AddNewRireki(first->ID, r, CDateTime::Now()), 0);
    }
    // From the gallery: the whole history is read.
    ASSERT_EQ(PrintFormsByKeys(*doc, {static_cast<uint32_t>(first->ID), 9999}, 6, 0, 4, false), 1);
    EXPECT_EQ(CountTexts(ui.printed.back(), "来店") + CountTexts(ui.printed.back(), "電話") +
                  CountTexts(ui.printed.back(), "購入"),
              3);
    EXPECT_EQ(CountTexts(ui.printed.back(), first->Name), 1);  // the unknown key is skipped
    // From the history list: only the selected entries.
    auto all = History(first->ID);
    std::vector<CRirekiRefs> selected{{all[1].get()}};
    ASSERT_EQ(PrintForms(*doc, {first}, 6, 0, 4, false, &selected), 1);
    EXPECT_EQ(CountTexts(ui.printed.back(), all[1]->ActionTitle), 1);
    EXPECT_EQ(CountTexts(ui.printed.back(), all[0]->ActionTitle), 0);
}

TEST_F(FormPrintingTest, CustomerListAsksThenPrintsWithHistory) {
    ASSERT_TRUE(PrintSelectedCustomers(*doc, {}) == false);
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(PrintSelectedCustomers(*doc, All()));
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(PrintSelectedCustomers(*doc, All()));
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"印刷する顧客が選択されていません。",
                                                              "選択されている2件の顧客を印刷します。よろしいですか？",
                                                              "選択されている2件の顧客を印刷します。よろしいですか？"}));
    EXPECT_EQ(ports.prompt.Log()[1].icon, MsgIcon::Question);
    EXPECT_EQ(ui.allowed, std::vector<bool>{true});
    EXPECT_EQ(History(doc->KokyakuList[1].ID).size(), 1u);
    ui.choose = false;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_FALSE(PrintSelectedCustomers(*doc, All()));
    EXPECT_EQ(ui.printed.size(), 1u);
}

TEST_F(FormPrintingTest, ReadOnlyDataNeverRecordsAndTakesPastPictures) {
    doc->PastDataMode = 1;
    doc->PictureDir = install.File("past/Picture");
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_FALSE(PrintSelectedCustomers(*doc, All()));
    EXPECT_EQ(ui.allowed, std::vector<bool>{false});
    EXPECT_TRUE(History(doc->KokyakuList[0].ID).empty());
    ASSERT_EQ(PrintForms(*doc, All(), 5, 0, 1, false), 1);
    EXPECT_EQ(CountTexts(ui.printed.back(), install.File("past/Picture/face.jpg")), 2);
    doc->PastDataMode = 0;
    ASSERT_EQ(PrintForms(*doc, All(), 5, 0, 1, false), 1);
    EXPECT_EQ(CountTexts(ui.printed.back(), dataDir + "/Picture/face.jpg"), 2);
}

TEST_F(FormPrintingTest, UserMadeFormsShowTheirOriginalsPictureAndTitle) {
    EXPECT_EQ(PreviewPicturePath("/i", 3, 0), "/i/Data/Preview/3.jpg");
    EXPECT_EQ(PreviewPicturePath("/i", 39999, 2), "/i/Data/Preview/39999.jpg");
    EXPECT_EQ(PreviewPicturePath("/i", 40000, 2), "/i/Data/Preview/2.jpg");
    CFormLayout copy = *FindBuiltInForm(1);
    copy.number = 40001;
    copy.second = 1;
    copy.title = "私のラベル";
    fs::create_directories(install.File("Data/Org"));
    WriteBytes(install.File("Data/Org/40001.org"), FormLayoutXml(copy));
    CBrnMainData forms(install.Path());
    EXPECT_EQ(forms.GetLayoutTitle(40001), "私のラベル");
    EXPECT_EQ(forms.GetLayoutTitle(40002), "");
    EXPECT_EQ(forms.GetLayoutTitle(1), "A4宛名ラベル（2×6面）");
}

TEST_F(FormPrintingTest, OwnCompanyFilesByteForByte) {
    std::map<std::string, std::string> values{{"COM", "ミルバン商会"}, {"ZIPHIFN", "123-4567"},
                                              {"ADD", "東京都港区ｶﾞｰﾃﾞﾝ1-2"}, {"TEL", ""}, {"FAX", "03-1234-5678"}};
    WriteOwnCompany(install.Path(), values);
    auto file = [&](const char* stem) { return ReadBytes(install.File(std::string("Data/Other/") + stem + ".AUT")); };
    auto archived = [](const std::string& utf8) {
        std::string sjis = Utf8ToSjis(utf8);
        return std::string(1, static_cast<char>(sjis.size())) + sjis;
    };
    struct Case {
        const char* stem;
        const char* value;
    } cases[] = {
        {"ZIPHIFN", "123-4567"},  {"ZIP", "1234567"},           {"ZENZIP", "１２３－４５６７"},
        {"TATEZIP", "一二三-四五六七"}, {"TATEADD", "東京都港区ガーデン1-2"}, {"TEL", ""},
        {"TELNOHIFN", ""},        {"TATETEL", ""},              {"TATEFAX", "〇三-一二三四-五六七八"},
        {"BUSYO", ""},            {"COM", "ミルバン商会"},
    };
    for (const Case& c : cases) EXPECT_EQ(file(c.stem), archived(c.value)) << c.stem;
    EXPECT_EQ(file("TEL"), std::string(1, '\0'));
    auto read = ReadOwnCompany(install.Path());
    EXPECT_EQ(read["TATEADD"], "東京都港区ガーデン1-2");
    EXPECT_EQ(read["TAX"], "");  // missing file: empty
}

TEST_F(FormPrintingTest, HistoryListPrintsEachCustomersSelectedEntries) {
    std::vector<CRirekiCustomerEntries> selected;
    for (auto& k : doc->KokyakuList) {
        CRirekiCustomerEntries& c = selected.emplace_back();
        c.customerKey = k->ID;
        c.customer = std::make_unique<CKokyaku>(*k->Record());
        for (const char* title : {"その一", "その二"}) {
            c.entries.push_back(std::make_unique<CRirekiData>());
            c.entries.back()->ActionTitle = std::string(k->Name()) + title;
        }
    }
    selected.emplace_back().customerKey = 9999;  // a customer no longer in the database

    PrintSelectedRireki(*doc, selected, 0);
    ui.answer = {6, 0, 4, true};
    ports.prompt.QueueAnswer(Answer::Yes);
    PrintSelectedRireki(*doc, selected, 4);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"印刷する履歴が選択されていません。",
                                                              "選択されている4件の履歴を印刷します。よろしいですか？",
                                                              "この印刷の履歴は、次回履歴一覧画面を表示したときから表示されます。"}));
    ASSERT_EQ(ui.printed.size(), 1u);
    const auto& pages = ui.printed[0];
    ASSERT_EQ(pages.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const std::string name(doc->KokyakuList[i].Name());
        const std::string other(doc->KokyakuList[1 - i].Name());
        EXPECT_EQ(CountTexts({pages[i]}, name + "その一") + CountTexts({pages[i]}, name + "その二"), 2);
        EXPECT_EQ(CountTexts({pages[i]}, other + "その一"), 0);
    }
    EXPECT_EQ(History(doc->KokyakuList[0].ID).size(), 1u);

    doc->PastDataMode = 1;
    ports.prompt.Clear();
    ports.prompt.QueueAnswer(Answer::Yes);
    PrintSelectedRireki(*doc, selected, 4);
    EXPECT_EQ(ui.allowed.back(), false);
    EXPECT_EQ(ports.prompt.Texts().size(), 1u);  // only the question
    EXPECT_EQ(History(doc->KokyakuList[0].ID).size(), 1u);
}

TEST_F(FormPrintingTest, DmScreenPrintsTheTargetsAndMarksTheDmSent) {
    struct Screen final : IDMScreen {
        void SetFrameTitle(const std::string&) override {}
        void Redraw() override {}
        bool EditTitle(CDMTitleForm&) override { return false; }
        bool ChooseCustomers(std::vector<CDMMngData>&) override { return false; }
    } screen;
    CKeyArray failed;
    ASSERT_NE(doc->Database().AddNewDMTitle(CDateTime::Now(), "春のご案内", "", "", 0, {}, failed), nullptr);
    CDMViewLogic logic(doc.get(), screen);
    logic.Open();
    logic.SelectTitles({});
    PrintDm(doc.get(), logic);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"印刷するDMタイトルを選択してください。"});
    logic.SelectTitles({0});
    ports.prompt.Clear();
    PrintDm(doc.get(), logic);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"送付対象顧客を設定してください。"});
}
