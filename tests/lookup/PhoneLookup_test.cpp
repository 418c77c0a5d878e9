#include <gtest/gtest.h>

#include <filesystem>

#include "common/Archive.h"
#include "lookup/PhoneDir.h"
#include "lookup/QSAddress.h"
#include "support/TestPorts.h"

namespace {

CQSAddress Entry(int v1, int v2, const char* phone, const char* name) {
    CQSAddress a;
    a.value1 = v1;
    a.value2 = v2;
    a.texts[0] = phone;
    a.texts[1] = name;
    a.texts[2] = "100-0001";
    a.texts[3] = "東京都";
    a.texts[4] = "千代田区";
    a.texts[5] = "千代田";
    a.texts[6] = "1-1";
    return a;
}

TEST(QSAddressArchive, WritesTheListLayoutByteForByte) {
    CQSAddress a;
    a.texts[0] = "03-1";
    a.texts[1] = "ア";  // Shift-JIS 83 41
    a.texts[6] = "x";
    CArchiveWriter w;
    WriteAddressList(w, {a, a});
    const std::string one = Hex("00000000 FFFFFFFF 04 30332D31 02 8341 00 01000000 00000000 00 00 00 01 78");
    EXPECT_EQ(w.Bytes(), Hex("0200 FFFF 0100 0A00") + "CQSAddress" + one + Hex("0180") + one);

    CArchiveReader r(w.Bytes());
    const auto back = ReadAddressList(r);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(SameAddress(back[1], a));
    EXPECT_EQ(back[1].last, -1);
}

TEST(QSAddressArchive, RefusesAnotherClassOrSchema) {
    for (auto [cls, schema] : {std::pair{"CQSAddres_", 1}, std::pair{"CQSAddress", 2}}) {
        CArchiveWriter w;
        w.WriteCount(1);
        w.WriteObjectTag(cls, static_cast<uint16_t>(schema));
        Entry(1, 0, "1", "n").Serialize(w);
        CArchiveReader r(w.Bytes());
        EXPECT_THROW(ReadAddressList(r), ArchiveError) << cls << schema;
    }
}

TEST(UserTelDict, SavesAndLoadsBothFilesAndRefusesABrokenOne) {
    TempDir dir;
    const std::string folder = dir.File("Tel");
    CUserTelDict dict;
    ASSERT_TRUE(dict.Load(folder));  // no files yet: empty lists
    dict.Add(Entry(1, 0, "03-1111-2222", "自分で追加"));
    dict.Delete(Entry(3, 7, "03-1111-2222", "電話帳の人"));
    ASSERT_TRUE(dict.Save());

    CUserTelDict again;
    ASSERT_TRUE(again.Load(folder));
    ASSERT_EQ(again.Added().size(), 1u);
    ASSERT_EQ(again.Deleted().size(), 1u);
    EXPECT_EQ(again.Added()[0].Name(), "自分で追加");
    EXPECT_EQ(again.Deleted()[0].value2, 7);

    const std::string del = folder + "/" + kUserDelFile;
    WriteBytes(del, ReadBytes(del) + "x");
    CUserTelDict broken;
    EXPECT_FALSE(broken.Load(folder));
    EXPECT_TRUE(broken.Added().empty());
}

TEST(UserTelDict, MergesDirectoryHitsWithAddedAndDeletedEntries) {
    CUserTelDict dict;
    TempDir dir;
    ASSERT_TRUE(dict.Load(dir.Path()));
    const CQSAddress a = Entry(1, 5, "03-1111-2222", "A"), b = Entry(1, 6, "03-1111-2222", "B");
    dict.Add(Entry(1, 0, "(03)1111-2222", "C"));  // same digits
    dict.Add(Entry(1, 0, "03-9999-0000", "D"));   // another number
    dict.Add(a);                                   // already a hit: shown once
    dict.Delete(b);

    std::vector<std::string> names;
    for (const CQSAddress& h : dict.Merge({a, b}, "0311112222")) names.push_back(h.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "C"}));

    dict.Delete(Entry(1, 0, "(03)1111-2222", "C"));  // an added entry is simply dropped
    dict.Add(b);                                     // a deleted one comes back
    EXPECT_TRUE(dict.Deleted().empty());
    names.clear();
    for (const CQSAddress& h : dict.Merge({a, b}, "03-1111-2222")) names.push_back(h.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B"}));
}

TEST(PhoneText, AllowsDigitsHyphensAndParenthesesOnly) {
    const struct {
        const char* text;
        bool ok;
    } cases[] = {{"03-1234-5678", true}, {"(03)1234-5678", true}, {"０３-1234", false},
                 {"03 1234", false},     {"", false},             {"tel", false}};
    for (const auto& c : cases) EXPECT_EQ(IsPhoneText(c.text), c.ok) << c.text;
}

TEST(PhoneDirectory, SplitsQuotedCsvFields) {
    std::vector<std::string> f;
    ASSERT_TRUE(SplitCsvLine("03-1,\"山田, 太郎\",\"say \"\"hi\"\"\",,x", f));
    EXPECT_EQ(f, (std::vector<std::string>{"03-1", "山田, 太郎", "say \"hi\"", "", "x"}));
    EXPECT_FALSE(SplitCsvLine("03-1,\"open", f));
}

TEST(PhoneDirectory, ReadsTheDiskOrMediumAndAppliesUpdates) {
    TempDir dir;
    const std::string hd = dir.File("hd"), cd = dir.File("media/usb/ZorundTel"), diff = dir.File("diff");
    for (const auto& d : {hd, cd, diff}) std::filesystem::create_directories(d);
    WriteBytes(cd + "/a.csv", "\xEF\xBB\xBFphone,name,zip,pref,city,town,rest\r\n"
                              "# comment\r\n"
                              "03-1111-2222,山田商店,100-0001,東京都,千代田区,千代田,1-1\r\n"
                              "03-1111-2222,山田太郎,100-0001,東京都,千代田区,千代田,1-2\r\n"
                              "tel:0355556666,名前,,,,,\r\n"
                              "06-1234-5678,大阪の店,530-0001,大阪府,大阪市北区,梅田,1\r\n");
    WriteBytes(diff + "/u.csv", "06-1234-5678,移転した店,530-0002,大阪府,大阪市北区,曽根崎,2\n03-1111-2222\n");
    EXPECT_EQ(FindMediaDirectory({dir.File("media")}), cd);
    EXPECT_EQ(FindMediaDirectory({dir.File("nothing")}), "");

    CPhoneDirectory d;
    EXPECT_FALSE(d.Open(hd, "", ""));  // a folder without directory files
    ASSERT_TRUE(d.Open(hd, cd, ""));   // the disk has none: the medium's
    std::vector<CQSAddress> hits;
    ASSERT_EQ(d.Search("(03)1111-2222", hits), CPhoneDirectory::Status::Ok);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[1].Name(), "山田太郎");
    EXPECT_EQ(hits[1].value1, 1);
    EXPECT_EQ(hits[1].value2, 4);  // file 1, line 4
    d.Search("0355556666", hits);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].Phone(), "0355556666");  // the stored text is no phone number

    ASSERT_TRUE(d.Open(hd, cd, diff));
    d.Search("03-1111-2222", hits);
    EXPECT_TRUE(hits.empty());  // removed by the update
    d.Search("06-1234-5678", hits);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].Name(), "移転した店");
    EXPECT_EQ(hits[0].Street1(), "曽根崎");
}

}  // namespace
