// The own-company dialog's split and join rules and the amount settings.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/SjisText.h"
#include "printing/OwnCompany.h"
#include "printing/OwnCompanyForm.h"
#include "support/TestPorts.h"

TEST(OwnCompanyForm, SplitRules) {
    struct ZipCase {
        const char* value;
        std::array<std::string, 2> parts;
    } zips[] = {
        {"123-4567", {"123", "4567"}}, {"-", {"", ""}},          {"1", {"1", ""}},
        {"1234567", {"", "1234567"}},  {"12-", {"12", ""}},      {"", {"", ""}},
    };
    for (const auto& c : zips) EXPECT_EQ(SplitZip(c.value), c.parts) << c.value;
    struct PhoneCase {
        const char* value;
        std::array<std::string, 3> parts;
    } phones[] = {
        {"03-1234-5678", {"03", "1234", "5678"}}, {"03-1234", {"03", "", "1234"}},
        {"0312345678", {"", "", "0312345678"}},   {"0-", {"0-", "", ""}},
        {"--", {"--", "", ""}},                   {"1-2-3-4", {"1", "2", "3-4"}},
        {"", {"", "", ""}},
    };
    for (const auto& c : phones) EXPECT_EQ(SplitPhone(c.value), c.parts) << c.value;
    EXPECT_EQ(LeadingDigits("12a34"), "12");
    EXPECT_EQ(LeadingDigits("x1"), "");
    EXPECT_EQ(LeadingDigits("０1"), "");
}

TEST(OwnCompanyForm, EmptyPartsJoinToEmptyValues) {
    COwnCompanyFields f;
    f.zip = {"123", ""};
    f.tel = {"", "", ""};
    f.fax = {"", "12", ""};
    auto values = JoinOwnCompany(f);
    EXPECT_EQ(values["ZIPHIFN"], "123-");
    EXPECT_EQ(values["TEL"], "");
    EXPECT_EQ(values["FAX"], "-12-");
    f.zip = {"", ""};
    EXPECT_EQ(JoinOwnCompany(f)["ZIPHIFN"], "");
}

TEST(OwnCompanyForm, OpeningReadsTheFilesAndDropsTheFirstStartMarker) {
    TestPorts ports;
    TempDir install;
    std::filesystem::create_directories(install.File("Data/MyData"));
    WriteBytes(install.File("Data/MyData/FTtemp.dat"), "x");
    COwnCompanyFields f;
    f.company = "ミルバン商会";
    f.zip = {"123", "4567"};
    f.tel = {"", "", ""};
    f.fax = {"03", "1111", "2222"};
    SaveOwnCompany(install.Path(), f);
    for (const char* stem : {"TEL", "TELNOHIFN", "TATETEL"})
        EXPECT_EQ(ReadBytes(install.File(std::string("Data/Other/") + stem + ".AUT")), std::string(1, '\0')) << stem;
    COwnCompanyFields read = OpenOwnCompany(install.Path());
    EXPECT_FALSE(std::filesystem::exists(install.File("Data/MyData/FTtemp.dat")));
    EXPECT_EQ(read.company, f.company);
    EXPECT_EQ(read.zip, f.zip);
    EXPECT_EQ(read.fax, f.fax);
    EXPECT_EQ(read.tel, f.tel);
}

TEST(OwnCompanyForm, AmountSettings) {
    TestPorts ports;
    TempDir install;
    CAmountSettings s = ReadAmountSettings(install.Path());
    EXPECT_EQ(s.rounding, 0);
    EXPECT_EQ(s.taxRate, "5");
    struct Case {
        int rounding;
        const char* rate;
        const char* letter;
        const char* stored;
    } cases[] = {{1, "８", "F", "8"}, {2, "１０", "U", "１０"}, {0, "10", "D", "10"}, {1, "", "F", ""}};
    for (const Case& c : cases) {
        SaveAmountSettings(install.Path(), {c.rounding, c.rate});
        auto archived = [](const std::string& utf8) {
            std::string sjis = Utf8ToSjis(utf8);
            return std::string(1, static_cast<char>(sjis.size())) + sjis;
        };
        EXPECT_EQ(ReadBytes(install.File("Data/Other/SHOUHI.AUT")), archived(c.letter)) << c.rate;
        EXPECT_EQ(ReadBytes(install.File("Data/Other/TAX.AUT")), archived(c.stored)) << c.rate;
        CAmountSettings back = ReadAmountSettings(install.Path());
        EXPECT_EQ(back.rounding, c.rounding);
        EXPECT_EQ(back.taxRate, c.stored);
    }
    WriteAutValue(install.Path(), "SHOUHI", "X");
    EXPECT_EQ(ReadAmountSettings(install.Path()).rounding, 0);
}
