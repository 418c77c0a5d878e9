#include <gtest/gtest.h>

#include <filesystem>

#include "AppTestSupport.h"
#include "app/PassCheck.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

class PassCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(install.File("Data/MyData"));
        WriteBytes(ConfigPath(), "");
    }
    std::string ConfigPath() const { return install.File("Data/MyData/pass.sys"); }
    CMLVPassCheck Check() { return CMLVPassCheck(install.Path(), port, CMLVPassCheck::Strength::Interactive); }
    void SetTo(const std::string& pw) {
        port.newPasswords.push_back(std::make_pair(pw, pw));
        ASSERT_EQ(Check().SetPassWord(), 1);
        ports.prompt.Clear();
        port.attempts.clear();
        port.newAsked = 0;
        ports.wait.begun = 0;
    }

    TestPorts ports;
    TempDir install;
    ScriptedPasswordPort port;
};

TEST_F(PassCheckTest, EmptyConfigurationGoesOnMissingOrDamagedGivesMinusOne) {
    EXPECT_EQ(Check().CheckPassWord(), 1);
    EXPECT_FALSE(Check().IsPasswordSet());
    fs::remove(ConfigPath());
    EXPECT_EQ(Check().CheckPassWord(), -1);
    WriteBytes(ConfigPath(), "password123");
    EXPECT_EQ(Check().CheckPassWord(), -1);
    EXPECT_TRUE(port.attempts.empty());
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(PassCheckTest, StoresOnlyASaltedHash) {
    SetTo("shop2024");
    std::string stored = ReadBytes(ConfigPath());
    EXPECT_EQ(stored.rfind("$argon2id$", 0), 0u);
    EXPECT_EQ(stored.find("shop2024"), std::string::npos);
    // The same password again gives another hash (a new salt).
    port.passwords = {"shop2024"};
    SetTo("shop2024");
    EXPECT_NE(ReadBytes(ConfigPath()), stored);
}

TEST_F(PassCheckTest, RightPasswordWithinThreeTriesElseRefused) {
    SetTo("abc");
    port.passwords = {"x", "abc"};
    EXPECT_EQ(Check().CheckPassWord(), 1);
    EXPECT_EQ(port.attempts, (std::vector<int>{1, 2}));
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"パスワードが違います。"}));
    EXPECT_EQ(ports.wait.depth, 0);  // the wait cursor only while a hash is checked
    EXPECT_EQ(ports.wait.begun, 2);

    // Three wrong entries or a cancel refuse.
    port.attempts.clear();
    ports.prompt.Clear();
    port.passwords = {"a", "ab", "abcd", "abc"};
    EXPECT_EQ(Check().CheckPassWord(), 0);
    EXPECT_EQ(port.attempts, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ports.prompt.Texts().size(), 3u);

    port.passwords = {std::nullopt};
    port.attempts.clear();
    EXPECT_EQ(Check().CheckPassWord(), 0);
    EXPECT_EQ(port.attempts.size(), 1u);
}

TEST_F(PassCheckTest, ChangeNeedsTheCurrentPasswordEmptyRemovesIt) {
    SetTo("old");
    port.passwords = {"bad", "bad", "bad"};
    port.newPasswords.push_back(std::make_pair("new", "new"));
    EXPECT_EQ(Check().SetPassWord(), 0);
    EXPECT_EQ(port.newAsked, 0);

    port.passwords = {"old"};
    EXPECT_EQ(Check().SetPassWord(), 1);
    port.passwords = {"new"};
    EXPECT_EQ(Check().CheckPassWord(), 1);

    // A cancelled new password keeps the old one; an empty one removes it.
    std::string before = ReadBytes(ConfigPath());
    port.passwords = {"new"};
    EXPECT_EQ(Check().SetPassWord(), 0);  // no new password scripted: cancelled
    EXPECT_EQ(ReadBytes(ConfigPath()), before);
    port.passwords = {"new"};
    port.newPasswords.push_back(std::make_pair("", ""));
    EXPECT_EQ(Check().SetPassWord(), 1);
    EXPECT_EQ(ReadBytes(ConfigPath()), "");
    EXPECT_EQ(Check().CheckPassWord(), 1);
}

TEST_F(PassCheckTest, MismatchAndBadTextAskAgain) {
    port.newPasswords.push_back(std::make_pair("abc", "abd"));
    port.newPasswords.push_back(std::make_pair("パス", "パス"));
    port.newPasswords.push_back(std::make_pair("12345678901234567", "12345678901234567"));
    port.newPasswords.push_back(std::make_pair("1234567890123456", "1234567890123456"));
    EXPECT_EQ(Check().SetPassWord(), 1);
    EXPECT_EQ(port.newAsked, 4);
    auto texts = ports.prompt.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "確認のために入力したパスワードが一致しません。\nもう一度入力してください。");
    EXPECT_EQ(texts[3], "パスワードを設定しました。");
    EXPECT_TRUE(Check().IsPasswordSet());
}

TEST_F(PassCheckTest, SettingWithoutConfigurationIsRefused) {
    fs::remove(ConfigPath());
    port.newPasswords.push_back(std::make_pair("abc", "abc"));
    EXPECT_EQ(Check().SetPassWord(), -1);
    EXPECT_FALSE(fs::exists(ConfigPath()));
    EXPECT_EQ(port.newAsked, 0);
}

}  // namespace
