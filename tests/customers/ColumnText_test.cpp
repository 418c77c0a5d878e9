#include <gtest/gtest.h>

#include "analysis/SorunaHit.h"
#include "customers/ColumnText.h"
#include "customers/Kokyaku.h"

namespace {

std::string Show(const CKokyaku& k, const char* name, const CMLVSorunaHit* hit = nullptr) {
    return GetFieldText(k, hit, name);
}

TEST(ColumnText, TextsNumbersDatesAndJoinedAddresses) {
    CKokyaku k;
    k.ID = 42;
    k.Name = "山田 花子";
    k.Add1_Home = "東京都";
    k.Add2_Home = "千代田区";
    k.Add3_Home = "1-1";
    k.Add2_Office = "大阪市";
    k.TEL_Home = "03-1234-5678";
    UpdatePhoneNumbers(k);
    EXPECT_EQ(Show(k, "ID"), "42");
    EXPECT_EQ(Show(k, "Name"), "山田 花子");
    EXPECT_EQ(Show(k, "Add_Home_X"), "東京都千代田区1-1");
    EXPECT_EQ(Show(k, "Add_Office_X"), "大阪市");
    EXPECT_EQ(Show(k, "TEL_Home_X"), "");
    EXPECT_EQ(Show(k, "NoSuchField"), "");
    k.StartDate = CDateTime::FromParts(2024, 2, 29, 13, 45);
    EXPECT_EQ(Show(k, "StartDate"), "2024/02/29");
    for (const char* name : {"LastUpDate", "BirthDay", "RirekiUpDate"}) EXPECT_EQ(Show(k, name), "") << name;
}

TEST(ColumnText, CodedValuesWithTheirFallbacks) {
    CKokyaku k;
    k.EMail1 = "a@example.jp";
    k.EMail3 = "c@example.jp";
    struct Case {
        const char* field;
        int32_t CKokyaku::*member;
        int32_t value;
        const char* text;
    } cases[] = {
        {"Sex", &CKokyaku::Sex, 0, "男"},
        {"Sex", &CKokyaku::Sex, 1, "女"},
        {"Sex", &CKokyaku::Sex, 5, "男"},
        {"EntryType", &CKokyaku::EntryType, 0, "法人"},
        {"EntryType", &CKokyaku::EntryType, 1, "個人"},
        {"EntryType", &CKokyaku::EntryType, -3, "個人"},
        {"TaxMethod", &CKokyaku::TaxMethod, 0, "外税（納品ごと）"},
        {"TaxMethod", &CKokyaku::TaxMethod, 4, "未設定"},
        {"TaxMethod", &CKokyaku::TaxMethod, -1, "未設定"},
        {"ClosingDate", &CKokyaku::ClosingDate, 12, "12"},
        {"ClosingDate", &CKokyaku::ClosingDate, 13, ""},
        {"ClosingDate", &CKokyaku::ClosingDate, 0, ""},
        {"ClosingDay", &CKokyaku::ClosingDay, 99, "99"},
        {"ClosingDay", &CKokyaku::ClosingDay, 0, ""},
        {"ClosingDay", &CKokyaku::ClosingDay, 32, ""},
        {"ColorMark", &CKokyaku::ColorMark, 0xFFFFFF, "なし"},
        {"ColorMark", &CKokyaku::ColorMark, 0x000000, "ﾌﾞﾗｯｸ"},
        {"ColorMark", &CKokyaku::ColorMark, 0x123456, ""},
        {"CommonMail", &CKokyaku::CommonMail, 3, "c@example.jp"},
        {"CommonMail", &CKokyaku::CommonMail, 0, ""},
        {"CommonMail", &CKokyaku::CommonMail, 6, ""},
    };
    for (const auto& c : cases) {
        k.*c.member = c.value;
        EXPECT_EQ(Show(k, c.field), c.text) << c.field << " " << c.value;
    }
}

TEST(ColumnText, AnalysisColumnsNeedAHit) {
    CKokyaku k;
    for (const char* name : {"回数", "日数", "日時", "金額"}) EXPECT_EQ(Show(k, name), "") << name;

    CMLVSorunaHit hit;
    hit.Count = 17;
    EXPECT_EQ(Show(k, "回数", &hit), "17");
    EXPECT_EQ(Show(k, "日数", &hit), "17");
    hit.Date = CDateTime::FromParts(2023, 12, 1, 9);
    EXPECT_EQ(Show(k, "日時", &hit), "2023/12/01");
    hit.Date.SetUnset();
    EXPECT_EQ(Show(k, "日時", &hit), "");
    const std::pair<double, const char*> amounts[] = {
        {0.5, "0.5"}, {100, "100"}, {0, "0"}, {1234.5, "1234.5"}, {0.25, "0.25"}};
    for (const auto& [money, text] : amounts) {
        hit.Money = money;
        EXPECT_EQ(Show(k, "金額", &hit), text) << money;
    }
}

TEST(ColumnText, ColumnIndexAndMissingRecord) {
    CKokyaku k;
    k.CustomerID = "C001";
    k.Name = "佐藤";
    const std::vector<CMLVCol> cols = {{"CustomerID", "お客様コード", 0}, {"Name", "氏名", 0}, {"金額", "金額", 0}};
    CMLVSorunaHit hit;
    hit.Money = 2.5;
    EXPECT_EQ(GetColumnText(&k, &hit, cols, 0), "C001");
    EXPECT_EQ(GetColumnText(&k, &hit, cols, 1), "佐藤");
    EXPECT_EQ(GetColumnText(&k, &hit, cols, 2), "2.5");
    EXPECT_EQ(GetColumnText(&k, nullptr, cols, 2), "");
    EXPECT_EQ(GetColumnText(&k, &hit, cols, 3), "");
    EXPECT_EQ(GetColumnText(&k, &hit, cols, -1), "");
    EXPECT_EQ(GetColumnText(nullptr, &hit, cols, 0), "");
}

}  // namespace
