#include "customers/Kokyaku.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

TEST(StrTelToINT, ReadsAllDigitsAsOneNumber) {
    EXPECT_EQ(StrTelToINT("03-1234-5678"), 312345678.0);
    EXPECT_EQ(StrTelToINT("(090) 1111 2222"), 9011112222.0);
    EXPECT_EQ(StrTelToINT(""), 0.0);
    EXPECT_EQ(StrTelToINT("なし"), 0.0);
    EXPECT_EQ(StrTelToINT("０３"), 0.0);  // full-width digits are not digits
}

TEST(KokyakuFields, ValueTextRoundTrips) {
    CKokyaku k;
    for (const auto& f : KokyakuFields()) {
        CKokyaku copy;
        switch (f.kind) {
        case KokyakuFieldKind::Text: f.Text(k) = std::string("値") + std::to_string(f.byteLimit); break;
        case KokyakuFieldKind::Date: f.SetDate(k, CDateTime::FromParts(2004, 5, 1, 13, 45, 7)); break;
        case KokyakuFieldKind::Number: f.SetNumber(k, 312345678.0); break;
        default: f.SetInt(k, -7); break;
        }
        ASSERT_TRUE(f.SetValueText(copy, f.ValueText(k))) << f.name;
        EXPECT_EQ(f.Compare(copy, k), 0) << f.name;
    }
}

TEST(KokyakuFields, ValueTextParsesAndRefusesBadInput) {
    EXPECT_EQ(FindKokyakuField("Nope"), nullptr);
    EXPECT_EQ(FindKokyakuField("name"), nullptr);  // names match exactly
    const KokyakuField& f = *FindKokyakuField("StartDate");
    CKokyaku k;
    EXPECT_EQ(f.ValueText(k), "");
    k.StartDate = CDateTime::FromParts(2004, 5, 1);
    EXPECT_EQ(f.ValueText(k), "2004/05/01");
    k.StartDate = CDateTime::FromParts(2004, 5, 1, 8, 5, 0);
    EXPECT_EQ(f.ValueText(k), "2004/05/01 08:05:00");
    EXPECT_TRUE(f.SetValueText(k, "2000/2/29"));
    EXPECT_EQ(k.StartDate.Format("%Y/%m/%d %H:%M"), "2000/02/29 00:00");
    EXPECT_TRUE(f.SetValueText(k, "2000/2/29 23:59"));
    EXPECT_EQ(k.StartDate.Format("%H:%M"), "23:59");
    EXPECT_FALSE(f.SetValueText(k, "1900/2/29"));
    EXPECT_FALSE(f.SetValueText(k, "2000/2/28 24:00"));
    EXPECT_EQ(k.StartDate.Format("%H:%M"), "23:59");  // unchanged after a refusal
    EXPECT_TRUE(f.SetValueText(k, ""));
    EXPECT_FALSE(k.StartDate.IsValid());

    EXPECT_FALSE(FindKokyakuField("Sex")->SetValueText(k, "1x"));
    EXPECT_FALSE(FindKokyakuField("Sex")->SetValueText(k, ""));
    EXPECT_FALSE(FindKokyakuField("ClosingDay")->SetValueText(k, "4294967296"));
    EXPECT_TRUE(FindKokyakuField("ClosingDay")->SetValueText(k, " 99 "));
    EXPECT_EQ(k.ClosingDay, 99);
    // 20 bytes fit CustomerID; 10 double-byte characters are 20 bytes, 11 are not.
    EXPECT_TRUE(FindKokyakuField("CustomerID")->SetValueText(k, "あいうえおかきくけこ"));
    EXPECT_FALSE(FindKokyakuField("CustomerID")->SetValueText(k, "あいうえおかきくけこさ"));
    EXPECT_EQ(k.CustomerID, "あいうえおかきくけこ");
}

TEST(KokyakuFields, CompareOrdersByKind) {
    CKokyaku a, b;
    a.Name = "abc";
    b.Name = "ABD";
    EXPECT_LT(FindKokyakuField("Name")->Compare(a, b), 0);  // case is ignored first
    b.Name = "ABC";
    EXPECT_NE(FindKokyakuField("Name")->Compare(a, b), 0);   // then bytes decide
    a.BirthDay = CDateTime::FromParts(1990, 1, 1);
    EXPECT_GT(FindKokyakuField("BirthDay")->Compare(a, b), 0);  // unset sorts first
    a.ClosingDay = 5;
    b.ClosingDay = 31;
    EXPECT_LT(FindKokyakuField("ClosingDay")->Compare(a, b), 0);
}

TEST(KokyakuFields, LimitsCountShiftJisBytes) {
    CKokyaku k;
    EXPECT_EQ(FirstOverLimitField(k), nullptr);
    k.Suffix = "ｶﾌﾞｼｷｶﾞｲｼｬ";  // ten half-width katakana: 10 bytes
    EXPECT_EQ(FirstOverLimitField(k), nullptr);
    k.Suffix += "ｱ";
    ASSERT_NE(FirstOverLimitField(k), nullptr);
    EXPECT_STREQ(FirstOverLimitField(k)->name, "Suffix");
    k.Suffix = "¥¥¥¥¥‾‾‾‾‾";  // yen signs and overlines: one byte each
    EXPECT_EQ(FirstOverLimitField(k), nullptr);
    k.Suffix = "";
    k.Picture1 = std::string(1000, 'p');  // pictures have no limit
    EXPECT_EQ(FirstOverLimitField(k), nullptr);
}

TEST(KokyakuPool, ManyRecordsStayDistinctAndSlotsAreReused) {
    CKokyakuList list;
    for (int i = 0; i < 10000; ++i) {  // spans several chunks
        list.push_back(std::make_unique<CKokyaku>());
        list.back()->Name = "顧客" + std::to_string(i);
        list.back()->ClosingDay = i;
    }
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(list[i]->Name == "顧客" + std::to_string(i) && list[i]->ClosingDay == i) << i;
    void* freed = list[5000].get();
    list[5000].reset();
    auto again = std::make_unique<CKokyaku>();
    EXPECT_EQ(again.get(), freed);
    EXPECT_EQ(again->Name, "");  // a fresh record in the old slot
}
