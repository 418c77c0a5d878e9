// Test doubles of the ports: a scripted prompt that records every text shown
// and answers from a queue, an in-memory profile, and a counting wait port.
// TestPorts installs all three for the lifetime of a test.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/Ports.h"

struct Shown {
    enum Kind { Message, YesNo, YesNoCancel, OkCancel, Folder, OpenFile, SaveFile } kind;
    std::string text;
    MsgIcon icon = MsgIcon::None;
    Answer defaultButton = Answer::Ok;
};

class ScriptedPrompt final : public IPromptPort {
public:
    // Answers for the next questions, in order. A question with no scripted
    // answer fails the test and takes its default button.
    void QueueAnswer(Answer a) { m_answers.push_back(a); }
    // Result of the next chooser (folder or file); nullopt means cancel.
    void QueueChoice(std::optional<std::string> path) { m_choices.push_back(std::move(path)); }

    const std::vector<Shown>& Log() const { return m_log; }
    std::vector<std::string> Texts() const;
    void Clear() { m_log.clear(); }
    bool AllAnswersUsed() const { return m_answers.empty() && m_choices.empty(); }

    void Message(const std::string& text, MsgIcon icon) override;
    Answer AskYesNo(const std::string& text, MsgIcon icon, Answer def) override;
    Answer AskYesNoCancel(const std::string& text, MsgIcon icon, Answer def) override;
    Answer AskOkCancel(const std::string& text, MsgIcon icon, Answer def) override;
    std::optional<std::string> ChooseFolder(const std::string& prompt, const std::string& start) override;
    std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                              const std::string& start) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                              const std::string& start) override;

private:
    Answer Ask(Shown::Kind kind, const std::string& text, MsgIcon icon, Answer def);
    std::optional<std::string> Choose(Shown::Kind kind, const std::string& text);

    std::deque<Answer> m_answers;
    std::deque<std::optional<std::string>> m_choices;
    std::vector<Shown> m_log;
};

class MemoryProfile final : public IProfilePort {
public:
    int32_t GetInt(const std::string& s, const std::string& k, int32_t def) override;
    void WriteInt(const std::string& s, const std::string& k, int32_t v) override;
    std::string GetString(const std::string& s, const std::string& k, const std::string& def) override;
    void WriteString(const std::string& s, const std::string& k, const std::string& v) override;

    std::map<std::pair<std::string, std::string>, int32_t> ints;
    std::map<std::pair<std::string, std::string>, std::string> strings;
};

class CountingWait final : public IWaitPort {
public:
    void BeginWait(bool dialog) override { ++depth; ++begun; if (dialog) ++dialogs; }
    void EndWait(bool) override { --depth; }
    int depth = 0, begun = 0, dialogs = 0;
};

// Installs the three doubles; restores the fallbacks when destroyed.
struct TestPorts {
    ScriptedPrompt prompt;
    MemoryProfile profile;
    CountingWait wait;
    TestPorts() { Ports::Install(&prompt, &profile, &wait); }
    ~TestPorts() { Ports::Install(nullptr, nullptr, nullptr); }
    TestPorts(const TestPorts&) = delete;
    TestPorts& operator=(const TestPorts&) = delete;
};

// A fresh temporary folder removed with its contents when destroyed.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Fixes the clock at a time with seconds (2026/12/07 10:15:42) for its
// lifetime, so that a time taken shows whether its seconds were kept.
struct FixedClock {
    FixedClock();
    ~FixedClock();
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

// Reads and writes whole files as raw bytes.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Bytes from a hex string such as "01 00 FF FF"; spaces ignored.
std::string Hex(const std::string& hex);
