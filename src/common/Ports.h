// The ports through which the core speaks to the person: messages and
// questions, per-user settings, and the wait indication. The application
// installs Qt implementations; tests install scripted doubles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

enum class MsgIcon { None, Information, Exclamation, Question, Stop };

// The buttons of a message box and the answer given.
enum class Answer { Ok, Cancel, Yes, No };

class IPromptPort {
public:
    virtual ~IPromptPort() = default;
    // A message with an OK button.
    virtual void Message(const std::string& text, MsgIcon icon) = 0;
    // Yes/No question; defaultButton is Answer::Yes or Answer::No.
    virtual Answer AskYesNo(const std::string& text, MsgIcon icon, Answer defaultButton) = 0;
    // Yes/No/Cancel question; defaultButton is Yes, No or Cancel.
    virtual Answer AskYesNoCancel(const std::string& text, MsgIcon icon, Answer defaultButton) = 0;
    // OK/Cancel question; defaultButton is Ok or Cancel.
    virtual Answer AskOkCancel(const std::string& text, MsgIcon icon, Answer defaultButton) = 0;
    // Folder browser with a prompt; nullopt when cancelled.
    virtual std::optional<std::string> ChooseFolder(const std::string& prompt,
                                                    const std::string& startFolder) = 0;
    // File choosers. filter is "説明 (*.ext);;..." as Qt writes it; nullopt when cancelled.
    virtual std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                                      const std::string& startPath) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                                      const std::string& startPath) = 0;
};

// Per-user settings by section and key; section "" is the application key itself.
class IProfilePort {
public:
    virtual ~IProfilePort() = default;
    virtual int32_t GetInt(const std::string& section, const std::string& key, int32_t def) = 0;
    virtual void WriteInt(const std::string& section, const std::string& key, int32_t value) = 0;
    virtual std::string GetString(const std::string& section, const std::string& key, const std::string& def) = 0;
    virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
};

class IWaitPort {
public:
    virtual ~IWaitPort() = default;
    // Nested calls are balanced; withDialog also shows the wait dialog.
    virtual void BeginWait(bool withDialog) = 0;
    virtual void EndWait(bool withDialog) = 0;
};

// The installed ports. Until something is installed, a silent fallback answers
// every question with its default button and stores settings in memory.
namespace Ports {
IPromptPort& Prompt();
IProfilePort& Profile();
IWaitPort& Wait();
void Install(IPromptPort* prompt, IProfilePort* profile, IWaitPort* wait);
}  // namespace Ports

// Shows the wait cursor (and optionally the wait dialog) for its lifetime.
class WaitScope {
public:
    explicit WaitScope(bool withDialog = false) : m_dialog(withDialog) { Ports::Wait().BeginWait(m_dialog); }
    ~WaitScope() { Ports::Wait().EndWait(m_dialog); }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    bool m_dialog;
};

// Shorthands used throughout the core.
inline void ShowMessage(const std::string& text, MsgIcon icon = MsgIcon::Exclamation) {
    Ports::Prompt().Message(text, icon);
}

// The message every settings-file owner shows when reading or writing fails.
inline constexpr const char* kFileErrorMessage = "ファイル操作中にエラーが発生しました";

// Whether a settings file of the data folder that is damaged or missing may be
// rewritten from its defaults (after its owner's question). On by default;
// the command-line program allows it only to a changing command given --yes,
// so that reading leaves every file as it is.
void AllowSettingsRepair(bool allow);
bool SettingsRepairAllowed();
// True when repair is allowed; otherwise tells that the file at path cannot
// be read and stays unchanged, and returns false.
bool MaySettingsBeRepaired(const std::string& path);
