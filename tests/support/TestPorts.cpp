#include "TestPorts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/DateTime.h"

std::vector<std::string> ScriptedPrompt::Texts() const {
    std::vector<std::string> out;
    for (const auto& s : m_log) out.push_back(s.text);
    return out;
}

void ScriptedPrompt::Message(const std::string& text, MsgIcon icon) {
    m_log.push_back({Shown::Message, text, icon, Answer::Ok});
}

Answer ScriptedPrompt::Ask(Shown::Kind kind, const std::string& text, MsgIcon icon, Answer def) {
    m_log.push_back({kind, text, icon, def});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unscripted question: " << text;
        return def;
    }
    Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

Answer ScriptedPrompt::AskYesNo(const std::string& t, MsgIcon i, Answer d) { return Ask(Shown::YesNo, t, i, d); }
Answer ScriptedPrompt::AskYesNoCancel(const std::string& t, MsgIcon i, Answer d) {
    return Ask(Shown::YesNoCancel, t, i, d);
}
Answer ScriptedPrompt::AskOkCancel(const std::string& t, MsgIcon i, Answer d) { return Ask(Shown::OkCancel, t, i, d); }

std::optional<std::string> ScriptedPrompt::Choose(Shown::Kind kind, const std::string& text) {
    m_log.push_back({kind, text, MsgIcon::None, Answer::Ok});
    if (m_choices.empty()) {
        ADD_FAILURE() << "unscripted chooser: " << text;
        return std::nullopt;
    }
    auto c = m_choices.front();
    m_choices.pop_front();
    return c;
}

std::optional<std::string> ScriptedPrompt::ChooseFolder(const std::string& prompt, const std::string&) {
    return Choose(Shown::Folder, prompt);
}
std::optional<std::string> ScriptedPrompt::ChooseOpenFile(const std::string& title, const std::string&,
                                                          const std::string&) {
    return Choose(Shown::OpenFile, title);
}
std::optional<std::string> ScriptedPrompt::ChooseSaveFile(const std::string& title, const std::string&,
                                                          const std::string&) {
    return Choose(Shown::SaveFile, title);
}

int32_t MemoryProfile::GetInt(const std::string& s, const std::string& k, int32_t def) {
    auto it = ints.find({s, k});
    return it == ints.end() ? def : it->second;
}
void MemoryProfile::WriteInt(const std::string& s, const std::string& k, int32_t v) { ints[{s, k}] = v; }
std::string MemoryProfile::GetString(const std::string& s, const std::string& k, const std::string& def) {
    auto it = strings.find({s, k});
    return it == strings.end() ? def : it->second;
}
void MemoryProfile::WriteString(const std::string& s, const std::string& k, const std::string& v) {
    strings[{s, k}] = v;
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "milvane-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may remove write permission to provoke errors; give it back first.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

FixedClock::FixedClock() { CDateTime::FixNow(CDateTime::FromParts(2026, 12, 7, 10, 15, 42)); }
FixedClock::~FixedClock() { CDateTime::FixNow(CDateTime()); }

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Hex(const std::string& hex) {
    std::string out;
    int nibbles = 0;
    unsigned v = 0;
    for (char c : hex) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else continue;
        v = v * 16 + static_cast<unsigned>(d);
        if (++nibbles == 2) {
            out.push_back(static_cast<char>(v));
            nibbles = 0;
            v = 0;
        }
    }
    return out;
}
