// Helpers shared by the application tests: environment overrides, a scripted
// password port and a fake window shell.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MilvaneApp.h"
#include "db/MilvaneData.h"
#include "app/PassCheck.h"
#include "support/TestPorts.h"

// A small installation template: nested folders, an empty folder kept by a
// placeholder, the access and password files and the empty database.
inline void MakeTemplate(const TempDir& tpl) {
    for (const char* d : {"Data/MyData", "Data/Org", "Data/Tmp", "exe"}) std::filesystem::create_directories(tpl.File(d));
    for (const char* f : {"Data/MyData/acck.sys", "Data/MyData/pass.sys", "Data/Tmp/.keep"}) WriteBytes(tpl.File(f), "");
    WriteBytes(tpl.File("Data/Org/MLVColSet.sys"), "MASTER");
    WriteBytes(tpl.File("exe/Kokyakuhelp.html"), "help v2");
    CreateEmptyMilvaneDatabase(tpl.File("Data/Org/QSMLV.mlv"));
}

// Sets (or unsets, with nullopt) an environment variable for its lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old) ::setenv(m_name.c_str(), m_old->c_str(), 1);
        else ::unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

class ScriptedPasswordPort final : public IPasswordPort {
public:
    std::deque<std::optional<std::string>> passwords;
    std::deque<std::optional<std::pair<std::string, std::string>>> newPasswords;
    std::vector<int> attempts;  // attempt numbers asked, in order
    int newAsked = 0;

    std::optional<std::string> AskPassword(const std::string&, int attempt) override {
        attempts.push_back(attempt);
        if (passwords.empty()) return std::nullopt;
        auto p = passwords.front();
        passwords.pop_front();
        return p;
    }
    std::optional<std::pair<std::string, std::string>> AskNewPassword(bool) override {
        ++newAsked;
        if (newPasswords.empty()) return std::nullopt;
        auto p = newPasswords.front();
        newPasswords.pop_front();
        return p;
    }
};

// The window side of start-up, recording what start-up asked of it.
class FakeShell final : public IAppShell {
public:
    std::vector<std::string> events;
    bool windowCreates = true;
    CMilvaneDoc* windowDoc = nullptr;
    ScriptedPasswordPort passwords;

    void CreateStartupWait() override { events.push_back("wait+"); }
    void DestroyStartupWait() override { events.push_back("wait-"); }
    bool CreateMainWindow(CMilvaneDoc& doc) override {
        events.push_back("window");
        if (windowCreates) windowDoc = &doc;
        return windowCreates;
    }
    void ShowMainWindow() override { events.push_back("show"); }
    IPasswordPort& PasswordPort() override { return passwords; }

    bool Shown() const { return std::find(events.begin(), events.end(), "show") != events.end(); }
};
