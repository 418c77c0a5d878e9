#include "CliPorts.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kBarWidth = 24;
constexpr auto kFrame = std::chrono::milliseconds(200);
// Work shorter than this shows no bar.
constexpr auto kDelay = std::chrono::milliseconds(400);

void Write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

const char* AnswerText(Answer a) {
    switch (a) {
    case Answer::Yes: return "はい";
    case Answer::No: return "いいえ";
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "キャンセル";
    }
    return "";
}

}  // namespace

// ---------------------------------------------------------------- wait

CCliWait::CCliWait() : m_terminal(::isatty(STDERR_FILENO) == 1) {
    if (m_terminal) m_thread = std::thread([this] { Run(); });
}

CCliWait::~CCliWait() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard lock(m_mutex);
    ClearLocked();
}

void CCliWait::BeginWait(bool) {
    {
        std::lock_guard lock(m_mutex);
        ++m_depth;
    }
    m_changed.notify_all();
}

void CCliWait::EndWait(bool) {
    {
        std::lock_guard lock(m_mutex);
        if (m_depth > 0) --m_depth;
        if (m_depth == 0) ClearLocked();
    }
    m_changed.notify_all();
}

void CCliWait::ClearLocked() {
    if (!m_drawn) return;
    Write("\r\033[K");
    m_drawn = false;
}

void CCliWait::WriteLine(const std::string& text) {
    std::lock_guard lock(m_mutex);
    ClearLocked();
    Write(text + "\n");
}

// The work gives no fraction done, so the bar is a block running to and fro
// with the seconds elapsed.
void CCliWait::Run() {
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        m_changed.wait(lock, [this] { return m_quit || m_depth > 0; });
        if (m_quit) break;
        const auto start = std::chrono::steady_clock::now();
        if (m_changed.wait_for(lock, kDelay, [this] { return m_quit || m_depth == 0; })) continue;
        int step = 0;
        while (!m_quit && m_depth > 0) {
            const int span = 2 * (kBarWidth - 3);
            const int pos = step % span < kBarWidth - 3 ? step % span : span - step % span;
            std::string bar(kBarWidth, ' ');
            bar.replace(static_cast<std::size_t>(pos), 3, "===");
            const auto seconds =
                std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
            Write("\r処理中 [" + bar + "] " + std::to_string(seconds) + "秒\033[K");
            m_drawn = true;
            ++step;
            m_changed.wait_for(lock, kFrame, [this] { return m_quit || m_depth == 0; });
        }
    }
}

// ---------------------------------------------------------------- prompt

void CCliPrompt::Message(const std::string& text, MsgIcon) { m_wait.WriteLine(text); }

Answer CCliPrompt::Ask(const std::string& text, Answer yes, Answer defaultButton) {
    const Answer answer = m_yes ? yes : defaultButton;
    m_wait.WriteLine(text + "\n→ " + AnswerText(answer));
    return answer;
}

Answer CCliPrompt::AskYesNo(const std::string& text, MsgIcon, Answer defaultButton) {
    return Ask(text, Answer::Yes, defaultButton);
}

Answer CCliPrompt::AskYesNoCancel(const std::string& text, MsgIcon, Answer defaultButton) {
    return Ask(text, Answer::Yes, defaultButton);
}

Answer CCliPrompt::AskOkCancel(const std::string& text, MsgIcon, Answer defaultButton) {
    return Ask(text, Answer::Ok, defaultButton);
}

std::optional<std::string> CCliPrompt::ChooseFolder(const std::string&, const std::string&) {
    return std::exchange(folder, std::nullopt);
}

std::optional<std::string> CCliPrompt::ChooseOpenFile(const std::string&, const std::string&, const std::string&) {
    return std::exchange(openFile, std::nullopt);
}

std::optional<std::string> CCliPrompt::ChooseSaveFile(const std::string&, const std::string&, const std::string&) {
    return std::exchange(saveFile, std::nullopt);
}
