#include "common/Ports.h"

#include <map>

namespace {

class SilentPrompt final : public IPromptPort {
public:
    void Message(const std::string&, MsgIcon) override {}
    Answer AskYesNo(const std::string&, MsgIcon, Answer def) override { return def; }
    Answer AskYesNoCancel(const std::string&, MsgIcon, Answer def) override { return def; }
    Answer AskOkCancel(const std::string&, MsgIcon, Answer def) override { return def; }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

class MemoryProfile final : public IProfilePort {
public:
    int32_t GetInt(const std::string& s, const std::string& k, int32_t def) override {
        auto it = m_ints.find({s, k});
        return it == m_ints.end() ? def : it->second;
    }
    void WriteInt(const std::string& s, const std::string& k, int32_t v) override { m_ints[{s, k}] = v; }
    std::string GetString(const std::string& s, const std::string& k, const std::string& def) override {
        auto it = m_strings.find({s, k});
        return it == m_strings.end() ? def : it->second;
    }
    void WriteString(const std::string& s, const std::string& k, const std::string& v) override {
        m_strings[{s, k}] = v;
    }

private:
    std::map<std::pair<std::string, std::string>, int32_t> m_ints;
    std::map<std::pair<std::string, std::string>, std::string> m_strings;
};

class NoWait final : public IWaitPort {
public:
    void BeginWait(bool) override {}
    void EndWait(bool) override {}
};

SilentPrompt g_silentPrompt;
MemoryProfile g_memoryProfile;
NoWait g_noWait;
IPromptPort* g_prompt = &g_silentPrompt;
IProfilePort* g_profile = &g_memoryProfile;
IWaitPort* g_wait = &g_noWait;

}  // namespace

namespace Ports {
IPromptPort& Prompt() { return *g_prompt; }
IProfilePort& Profile() { return *g_profile; }
IWaitPort& Wait() { return *g_wait; }
void Install(IPromptPort* prompt, IProfilePort* profile, IWaitPort* wait) {
    g_prompt = prompt ? prompt : &g_silentPrompt;
    g_profile = profile ? profile : &g_memoryProfile;
    g_wait = wait ? wait : &g_noWait;
}
}  // namespace Ports

namespace {
bool& SettingsRepairSlot() {
    static bool allowed = true;
    return allowed;
}
}  // namespace

void AllowSettingsRepair(bool allow) { SettingsRepairSlot() = allow; }
bool SettingsRepairAllowed() { return SettingsRepairSlot(); }

bool MaySettingsBeRepaired(const std::string& path) {
    if (SettingsRepairAllowed()) return true;
    ShowMessage("設定ファイル<" + path + ">を読み込めません。ファイルは変更せずにそのままにします。");
    return false;
}
