// The ports of the command-line program: messages and questions go to
// standard error in UTF-8, questions are answered from the options (--yes, or
// the question's default button), choosers from the command's arguments; the
// wait is a progress bar on standard error when it is a terminal.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "common/Ports.h"

class CCliWait : public IWaitPort {
public:
    CCliWait();
    ~CCliWait() override;
    void BeginWait(bool withDialog) override;
    void EndWait(bool withDialog) override;
    // Writes a line to standard error, taking the bar away first; the bar
    // comes back with its next frame.
    void WriteLine(const std::string& text);

private:
    void Run();
    void ClearLocked();

    const bool m_terminal;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    int m_depth = 0;
    bool m_drawn = false;
    bool m_quit = false;
};

class CCliPrompt : public IPromptPort {
public:
    CCliPrompt(bool yes, CCliWait& wait) : m_yes(yes), m_wait(wait) {}

    // The answers of the choosers; nullopt answers Cancel.
    std::optional<std::string> folder;
    std::optional<std::string> openFile;
    std::optional<std::string> saveFile;
    // Whether a save chooser may name an existing file (--yes).
    bool Yes() const { return m_yes; }

    void Message(const std::string& text, MsgIcon icon) override;
    Answer AskYesNo(const std::string& text, MsgIcon icon, Answer defaultButton) override;
    Answer AskYesNoCancel(const std::string& text, MsgIcon icon, Answer defaultButton) override;
    Answer AskOkCancel(const std::string& text, MsgIcon icon, Answer defaultButton) override;
    std::optional<std::string> ChooseFolder(const std::string& prompt, const std::string& startFolder) override;
    std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                              const std::string& startPath) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                              const std::string& startPath) override;

private:
    Answer Ask(const std::string& text, Answer yes, Answer defaultButton);

    bool m_yes;
    CCliWait& m_wait;
};

