// ContactXML files parsed back, with their pictures.
#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/ContactXml.h"
#include "exchange/Export.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/Formats.h"
#include "exchange/XmlConv.h"
#include "support/TestPorts.h"

namespace {

TEST(ContactXml, WrittenAndParsedBack) {
    TestPorts ports;
    TempDir dir;
    std::filesystem::create_directories(dir.File("pic"));
    WriteBytes(dir.File("pic/face.jpg"), "JPEG");
    TestCustomers customers;
    CKokyaku& a = customers.Add("C1", "山田 <太郎>");
    a.Yomi = "ﾔﾏﾀﾞ ﾀﾛｳ";
    a.Zip_Home = "1000001";
    a.Add1_Home = "東京都";
    a.Add2_Home = "千代田区";
    a.TEL_Home = "03-1234-5678";
    a.CellPhone2 = "090-1111-2222";
    a.EMail2 = "taro@example.jp";
    a.EMail4 = "t.yamada@example.co.jp";
    a.CommonMail = 4;
    a.URL1 = "http://example.jp/";
    a.CompName = "みどり商事";
    a.Post = "部長";
    a.Sex = 1;
    a.BirthDay = CDateTime::FromParts(1980, 2, 29);
    a.Picture1 = "face.jpg";
    a.Picture2 = "gone.jpg";
    customers.Add("C2", "鈴木");

    ports.prompt.QueueAnswer(Answer::Yes);
    ports.prompt.QueueChoice(dir.File("out/cards"));
    std::filesystem::create_directories(dir.File("out"));
    CExportDialogs dialogs{[] { return std::optional<int>(2); }, [] { return std::optional<std::vector<CMLVCol>>(); }};
    ASSERT_EQ(ExportCustomers(customers.All(), dir.File("pic"), dialogs), 1);

    pugi::xml_document doc;
    ASSERT_TRUE(ParseXml(doc, ReadBytes(dir.File("out/cards.xml"))));
    pugi::xml_node root = doc.child("ContactXML");
    EXPECT_STREQ(root.attribute("xmlns").value(), kContactXmlNamespace);
    EXPECT_STREQ(root.attribute("contactXMLVersion").value(), "1.1");
    ASSERT_EQ(root.select_nodes("ContactXMLItem").size(), 2u);
    pugi::xml_node item = root.child("ContactXMLItem");

    pugi::xml_node full = item.child("PersonName").child("PersonNameItem").child("FullName");
    EXPECT_STREQ(full.child_value(), "山田 <太郎>");
    EXPECT_STREQ(full.attribute("pronunciation").value(), "ﾔﾏﾀﾞ ﾀﾛｳ");
    for (auto [xpath, value] :
         {std::pair{"Occupation/OccupationItem/OrganizationName", "みどり商事"},
          {"Occupation/OccupationItem/JobTitle", "部長"},
          {"Address/AddressItem[@locationType='Home']/AddressCode[@codeDomain='ZIP7']", "1000001"},
          {"Address/AddressItem[@locationType='Home']/FullAddress", "東京都千代田区"},
          {"Phone/PhoneItem[@phoneType='Phone'][@locationType='Home']", "03-1234-5678"},
          {"Phone/PhoneItem[@phoneType='Cellular'][@locationType='Office']", "090-1111-2222"},
          {"Email/EmailItem[@preference='True']", "t.yamada@example.co.jp"},
          {"Web/WebItem[@locationType='Home']", "http://example.jp/"}})
        EXPECT_STREQ(item.select_node(xpath).node().child_value(), value) << xpath;
    EXPECT_EQ(item.select_nodes("Email/EmailItem").size(), 2u);
    // Fields of standard elements are not repeated as extensions ("").
    for (auto [name, value] : {std::pair{"X-CustomerID", "C1"}, {"X-Sex", "1"}, {"X-BirthDay", "1980/02/29"},
                               {"X-Add1_Home", "東京都"}, {"X-Picture1", "face.jpg"}, {"X-Picture2", "gone.jpg"},
                               {"X-Name", ""}, {"X-TEL_Home", ""}, {"X-CommonMail", ""}})
        EXPECT_STREQ(item.select_node(("Extension/ExtensionItem[@name='" + std::string(name) + "']").c_str())
                         .node().child_value(), value) << name;

    EXPECT_EQ(ReadBytes(dir.File("out/cards_pictures/face.jpg")), "JPEG");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/cards_pictures/gone.jpg")));
    EXPECT_EQ(ports.prompt.Texts().back(), "書き出しを完了しました。");
}

TEST(ContactXml, FailureKeepsTheOldFile) {
    TestPorts ports;
    TempDir dir;
    TestCustomers customers;
    customers.Add("C1", "山田").Picture1 = "face.jpg";
    std::filesystem::create_directories(dir.File("pic"));
    WriteBytes(dir.File("pic/face.jpg"), "JPEG");
    WriteBytes(dir.File("cards.xml"), "old");
    WriteBytes(dir.File("cards_pictures"), "");  // a file where the picture folder belongs
    CContactXmlFormat format;
    EXPECT_FALSE(format.WriteRecords(dir.File("cards.xml"), customers.All(), dir.File("pic")));
    EXPECT_EQ(format.errorString(), "ファイルを作成できませんでした。");
    EXPECT_EQ(ReadBytes(dir.File("cards.xml")), "old");
}

// Control characters arrive through imports. Every file we write drops the
// ones XML 1.0 forbids (raw or as references) and keeps tab and line feed;
// the files parse strictly (ParseXml), and our reader drops them from older files.
TEST(XmlFiles, ForbiddenCharactersAreDroppedEverywhere) {
    TestPorts ports;
    TempDir dir;
    const std::string dirty = "A\x01" "B\x1B" "C\x0B" "D\x0C" "E\tF\nG";
    const std::string clean = "ABCDE\tF\nG";
    TestCustomers customers;
    CKokyaku& k = customers.Add("C\x02" "1", dirty);
    k.Yomi = "ﾔﾏ\x1Fﾀﾞ";
    k.Note1 = dirty;
    std::vector<CRirekiList> histories(1);
    histories[0].push_back(std::make_unique<CRirekiData>());
    histories[0][0]->Action = dirty;

    ASSERT_TRUE(CContactXmlFormat().WriteRecords(dir.File("c.xml"), customers.All(), dir.File("pic")));
    std::filesystem::create_directories(dir.File("html"));
    ASSERT_EQ(CXmlConv().WriteHtml(1, dir.File("html"), dir.File("pic"), customers.All(), histories), 1);
    ASSERT_TRUE(FindExchangeFormat("workbook")->WriteRows(dir.File("b.xlsx"), {{"氏名"}, {dirty}}));

    struct File {
        std::string name, bytes, xpath;
    } files[] = {
        {"ContactXML", ReadBytes(dir.File("c.xml")), "//FullName"},
        {"ContactXML note", ReadBytes(dir.File("c.xml")), "//ExtensionItem[@name='X-Note1']"},
        {"XHTML page", ReadBytes(dir.File("html/" + CustomerPageName(0))), "//*[local-name()='h1']"},
        {"XHTML index", ReadBytes(dir.File("html/index.htm")), "//*[local-name()='a']"},
        {"workbook sheet", ZipMember(dir.File("b.xlsx"), "xl/worksheets/sheet1.xml"), ""},
    };
    for (const File& f : files) {
        SCOPED_TRACE(f.name);
        pugi::xml_document doc;
        ASSERT_TRUE(ParseXml(doc, f.bytes));
        if (f.xpath.empty()) EXPECT_NE(f.bytes.find(clean), std::string::npos);  // not even as "_x0001_"
        else EXPECT_EQ(std::string(doc.select_node(f.xpath.c_str()).node().child_value()), clean);
    }
    const std::vector<std::string> members = {"[Content_Types].xml", "xl/workbook.xml", "xl/styles.xml",
                                              "docProps/core.xml", "docProps/app.xml"};
    for (const std::string& m : members) {
        SCOPED_TRACE(m);
        pugi::xml_document doc;
        EXPECT_TRUE(ParseXml(doc, ZipMember(dir.File("b.xlsx"), m.c_str())));
    }

    // A file of an older version, with references XML forbids, imports without them.
    std::string old = ReadBytes(dir.File("c.xml"));
    old.replace(old.find("ABCDE"), 5, "A&#1;B&#x1B;C&#11;D&#12;E");
    CKokyakuList read;
    ASSERT_TRUE(ParseContactXml(old, dir.File("pic"), read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->Name, clean);
    EXPECT_EQ(read[0]->Yomi, "ﾔﾏﾀﾞ");
    EXPECT_EQ(read[0]->CustomerID, "C1");
}

}  // namespace
