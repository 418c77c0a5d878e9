// The desktop mail interface against stand-in xdg-email and xdg-open tools.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "dm/XdgMail.h"
#include "support/TestPorts.h"

namespace {

class XdgMailRun : public ::testing::Test {
protected:
    XdgMailRun() {
        const char* path = std::getenv("PATH");
        if (path) savedPath = path;
        setenv("PATH", tools.Path().c_str(), 1);
    }
    ~XdgMailRun() override { setenv("PATH", savedPath.c_str(), 1); }

    // A tool that writes its arguments, one a line, to <tool>.args and exits with code.
    void Tool(const std::string& name, int code) {
        const std::string file = tools.File(name);
        std::ofstream(file) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"" << file << ".args\"\n"
                            << "[ \"$1\" = \"${1%.eml}\" ] || /bin/cp \"$1\" \"" << file << ".draft\"\nexit " << code << "\n";
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }
    std::string Args(const std::string& name) { return ReadBytes(tools.File(name) + ".args"); }

    TempDir tools;
    std::string savedPath;
    CXdgMail mail;
};

}  // namespace

TEST_F(XdgMailRun, HandsOverOrReportsTheFailure) {
    const CMailMessage one = BuildMailMessage("件名", {"a@example.jp"});
    EXPECT_EQ(mail.Send(one), MailResult::Unavailable);
    Tool("xdg-email", 0);
    EXPECT_EQ(mail.Send(one), MailResult::Accepted);
    EXPECT_EQ(Args("xdg-email"), "--utf8\n--subject\n件名\n--to\na@example.jp\n");
    Tool("xdg-email", 4);
    EXPECT_EQ(mail.Send(one), MailResult::Failed);
}

TEST_F(XdgMailRun, ManyAddressesGoAsADraftFile) {
    Tool("xdg-email", 0);
    Tool("xdg-open", 0);
    std::vector<std::string> many;
    for (int i = 0; i < 200; ++i) many.push_back("c" + std::to_string(i) + "@example.jp");
    EXPECT_EQ(mail.Send(BuildMailMessage("お知らせ", many)), MailResult::Accepted);
    EXPECT_FALSE(std::filesystem::exists(tools.File("xdg-email.args")));
    const std::string draft = ReadBytes(tools.File("xdg-open.draft"));
    EXPECT_EQ(draft.rfind("X-Unsent: 1\r\nBcc: c0@example.jp,\r\n c1@example.jp,\r\n", 0), 0u);
    EXPECT_NE(draft.find(" c199@example.jp\r\nSubject: =?UTF-8?B?44GK55+l44KJ44Gb?=\r\n"), std::string::npos);
    std::string file = Args("xdg-open");
    file.pop_back();
    std::filesystem::remove(file);
}
