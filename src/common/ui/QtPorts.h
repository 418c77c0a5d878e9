// Qt implementations of the ports: message boxes and file choosers, the
// per-user profile in QSettings, and the wait cursor with the wait dialog.
#pragma once

#include <QString>
#include <memory>

#include "common/Ports.h"

class QMessageBox;
class QSettings;
class QWidget;
class CWaitDlg;

// The window title of every message box.
inline constexpr const char* kMessageTitle = "Milvane";

// Which buttons a message box carries.
enum class MsgButtons { Ok, YesNo, YesNoCancel, OkCancel };

// A message box as the prompt port shows it: icon, Japanese button texts
// (はい/いいえ/キャンセル/OK) and the default button. Not yet shown.
std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* parent, const std::string& text, MsgIcon icon,
                                             MsgButtons buttons, Answer defaultButton);
// The answer that a clicked button of BuildMessageBox stands for.
Answer AnswerOf(const QMessageBox& box);

class CQtPrompt final : public IPromptPort {
public:
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
    Answer Ask(const std::string& text, MsgIcon icon, MsgButtons buttons, Answer defaultButton);
};

// A prompt for runs without a person: every text goes to standard error,
// every question takes its default button, every chooser is cancelled.
class CConsolePrompt final : public IPromptPort {
public:
    void Message(const std::string& text, MsgIcon icon) override;
    Answer AskYesNo(const std::string& text, MsgIcon icon, Answer defaultButton) override;
    Answer AskYesNoCancel(const std::string& text, MsgIcon icon, Answer defaultButton) override;
    Answer AskOkCancel(const std::string& text, MsgIcon icon, Answer defaultButton) override;
    std::optional<std::string> ChooseFolder(const std::string& prompt, const std::string& startFolder) override;
    std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                              const std::string& startPath) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                              const std::string& startPath) override;
    int Count() const { return m_count; }

private:
    Answer Tell(const std::string& text, Answer answer);
    int m_count = 0;
};

// Profile in QSettings, organisation "Ostrel/Zorund", application "Milvane".
// Section "" names the top-level keys; integers are stored as integers.
class CQtProfile final : public IProfilePort {
public:
    CQtProfile();
    // For tests: a profile kept in the given settings file (INI format).
    explicit CQtProfile(const QString& iniFile);
    ~CQtProfile() override;

    int32_t GetInt(const std::string& section, const std::string& key, int32_t def) override;
    void WriteInt(const std::string& section, const std::string& key, int32_t value) override;
    std::string GetString(const std::string& section, const std::string& key, const std::string& def) override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;

    QSettings& Settings() { return *m_settings; }

private:
    std::unique_ptr<QSettings> m_settings;
};

// Wait cursor (override cursor) for every nested scope; the wait dialog
// while at least one scope asked for it.
class CQtWait final : public IWaitPort {
public:
    CQtWait();
    ~CQtWait() override;
    void BeginWait(bool withDialog) override;
    void EndWait(bool withDialog) override;

    int CursorDepth() const { return m_cursorDepth; }
    CWaitDlg* Dialog() const { return m_dialog.get(); }

private:
    int m_cursorDepth = 0;
    int m_dialogDepth = 0;
    std::unique_ptr<CWaitDlg> m_dialog;
};

// Installs the three Qt ports for its lifetime.
class CQtPorts {
public:
    CQtPorts();
    ~CQtPorts();
    CQtPorts(const CQtPorts&) = delete;
    CQtPorts& operator=(const CQtPorts&) = delete;

    CQtPrompt prompt;
    CQtProfile profile;
    CQtWait wait;
};
