// The HTML export command and its pages.
#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/ExchangeSupport.h"
#include "exchange/HtmlExport.h"
#include "exchange/XmlConv.h"
#include "support/TestPorts.h"

namespace {

namespace fs = std::filesystem;

class HtmlExportTest : public ::testing::Test {
protected:
    TestPorts ports;
    TempDir dir;
    TestCustomers customers;
    std::optional<int> form = 0;
    std::vector<std::optional<std::string>> folders;  // answers of the folder dialog, in order
    std::size_t folderDialogs = 0;
    std::vector<int32_t> historyReads;

    CHtmlExportDialogs Dialogs() {
        return {[this] { return form; },
                [this] {
                    return folderDialogs < folders.size() ? folders[folderDialogs++] : std::nullopt;
                },
                [this](int32_t key, CRirekiList& list) {
                    historyReads.push_back(key);
                    auto r = std::make_unique<CRirekiData>();
                    r->ActionTitle = "購入 <" + std::to_string(key) + ">";
                    r->Date = CDateTime::FromParts(2025, 1, 2);
                    r->Money = 1500;
                    list.push_back(std::move(r));
                    return 1;
                }};
    }
    void Run() { HtmlExport(customers.All(), dir.File("pic"), {{"Name", "氏名"}}, Dialogs()); }
    std::string Done(const std::string& folder) {
        return "HTML書き出しを完了しました。\nindex.htmを開くとHTMLを表示できます。\n\n書き出したフォルダ：\n" + folder +
               "\n";
    }
};

TEST_F(HtmlExportTest, CustomerLimit) {
    for (int i = 0; i < 999; ++i) customers.Add("K", "N");
    ports.prompt.QueueAnswer(Answer::No);
    Run();
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"選択されている999件の顧客をHTML書き出しします。よろしいですか？"});
    ports.prompt.Clear();
    customers.Add("K", "N");
    Run();
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"1000人をHTML書き出ししようとしています。\n一度に書き出すことができるのは1000人"
                                       "までです。\n操作をし直してください。"});
    ports.prompt.Clear();
    customers.owned.clear();
    Run();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"HTML書き出しする顧客を選択してください。"});
}

TEST_F(HtmlExportTest, FolderChecksThenWrites) {
    customers.Add("C1", "山田");
    fs::create_directories(dir.File("out/sub"));
    fs::create_directories(dir.File("full"));
    WriteBytes(dir.File("full/a.txt"), "x");
    folders = {"/", "a", dir.File("full"), dir.File("out") + "/"};
    ports.prompt.QueueAnswer(Answer::Yes);
    Run();
    const std::string root = "ルートディレクトリを指定することはできません。別のフォルダを指定してください。";
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"選択されている1件の顧客をHTML書き出しします。よろしいですか？", root, root,
                                        "指定されたフォルダ\n" + dir.File("full") +
                                            "\nにはファイルが存在しています。\n空のフォルダを指定してください。\n",
                                        Done(dir.File("out"))}));
    EXPECT_EQ(ports.prompt.Log()[1].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ports.prompt.Log().back().icon, MsgIcon::Information);
    EXPECT_TRUE(fs::exists(dir.File("out/index.htm")));
    EXPECT_TRUE(historyReads.empty());  // form 0 reads no history
}

TEST_F(HtmlExportTest, FormOneReadsEachHistoryOnce) {
    customers.Add("C1", "山田");
    customers.Add("C2", "鈴木");
    form = 1;
    folders = {dir.File("new/out")};
    ports.prompt.QueueAnswer(Answer::Yes);
    ports.prompt.QueueAnswer(Answer::Yes);  // create the folder
    Run();
    EXPECT_EQ(historyReads, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(ports.prompt.Texts().back(), Done(dir.File("new/out")));
    const std::string page = ReadBytes(dir.File("new/out/" + CustomerPageName(1)));
    EXPECT_NE(page.find("購入 &lt;2&gt;"), std::string::npos);
}

TEST_F(HtmlExportTest, NoToCreationOrCancelledDialogsEndSilently) {
    customers.Add("C1", "山田");
    folders = {dir.File("absent")};
    ports.prompt.QueueAnswer(Answer::Yes);
    ports.prompt.QueueAnswer(Answer::No);
    Run();
    EXPECT_EQ(ports.prompt.Texts().back(), "指定されたフォルダは存在しません。\nフォルダを作成しますか？");
    EXPECT_FALSE(fs::exists(dir.File("absent")));
    form = std::nullopt;
    ports.prompt.QueueAnswer(Answer::Yes);
    Run();
    EXPECT_EQ(folderDialogs, 1u);
    form = 1;
    ports.prompt.QueueAnswer(Answer::Yes);
    Run();  // folder dialog cancelled
    EXPECT_EQ(ports.prompt.Texts().size(), 4u);
}

TEST(HtmlPages, EscapedAndWellFormed) {
    TempDir dir;
    fs::create_directories(dir.File("pic"));
    WriteBytes(dir.File("pic/写真 1.jpg"), "JPEG");
    TestCustomers customers;
    CKokyaku& k = customers.Add("C&1", "<b>&\"x'</b>");
    k.Picture1 = "写真 1.jpg";
    k.URL1 = "http://example.jp/a b?q='1'&r=<2>";
    k.EMail1 = "a&b@example.jp";
    k.Note1 = "行1\r\n行2";
    customers.Add("C2", "");
    std::vector<CRirekiList> histories(2);
    histories[0].push_back(std::make_unique<CRirekiData>());
    histories[0][0]->Action = "</td><script>";
    histories[0][0]->Picture = "写真 1.jpg";
    fs::create_directories(dir.File("out"));
    ASSERT_EQ(CXmlConv().WriteHtml(1, dir.File("out"), dir.File("pic"), customers.All(), histories), 1);

    for (const std::string& name : {std::string("index.htm"), CustomerPageName(0), CustomerPageName(1)}) {
        pugi::xml_document doc;
        EXPECT_TRUE(ParseXml(doc, ReadBytes(dir.File("out/" + name)))) << name;
    }
    pugi::xml_document page;
    ASSERT_TRUE(ParseXml(page, ReadBytes(dir.File("out/" + CustomerPageName(0)))));
    EXPECT_STREQ(page.select_node("//*[local-name()='h1']").node().child_value(), "<b>&\"x'</b>");
    EXPECT_FALSE(page.select_node("//*[local-name()='b']"));
    EXPECT_FALSE(page.select_node("//*[local-name()='script']"));
    EXPECT_STREQ(page.select_node("//*[local-name()='img']").node().attribute("src").value(),
                 "pictures/%E5%86%99%E7%9C%9F%201.jpg");
    EXPECT_STREQ(page.select_node("//*[local-name()='a'][starts-with(@href,'http')]").node().attribute("href").value(),
                 "http://example.jp/a%20b?q='1'&r=%3C2%3E");
    EXPECT_STREQ(page.select_node("//*[local-name()='a'][starts-with(@href,'mailto')]").node().attribute("href").value(),
                 "mailto:a%26b@example.jp");
    EXPECT_EQ(ReadBytes(dir.File("out/pictures/写真 1.jpg")), "JPEG");
    pugi::xml_document index;
    ASSERT_TRUE(ParseXml(index, ReadBytes(dir.File("out/index.htm"))));
    EXPECT_EQ(index.select_nodes("//*[local-name()='a']").size(), 2u);
}

}  // namespace
