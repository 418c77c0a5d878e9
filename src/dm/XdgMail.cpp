#include "dm/XdgMail.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "common/SjisText.h"

extern char** environ;

namespace {

// What xdg-email's url_encode leaves as it is.
bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~' || c == '@';
}

std::size_t EncodedLength(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += Unreserved(c) ? 1 : 3;
    return n;
}

std::string FindTool(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        if (dir.empty()) dir = ".";
        std::string candidate = dir + "/" + tool;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::string& in) {
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8 | (unsigned char)in[i + 2];
        out += {kBase64[v >> 18], kBase64[(v >> 12) & 63], kBase64[(v >> 6) & 63], kBase64[v & 63]};
    }
    if (i + 1 == in.size()) {
        const unsigned v = (unsigned char)in[i] << 16;
        out += {kBase64[v >> 18], kBase64[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == in.size()) {
        const unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8;
        out += {kBase64[v >> 18], kBase64[(v >> 12) & 63], kBase64[(v >> 6) & 63], '='};
    }
    return out;
}

// "Subject: " and the subject: plain when it is printable ASCII, else encoded
// words of at most 45 bytes of whole characters each, one per folded line.
std::string SubjectHeader(const std::string& subject) {
    const bool plain = std::all_of(subject.begin(), subject.end(),
                                   [](char c) { return c >= 0x20 && c < 0x7F; }) &&
                       subject.size() <= 60 && subject.find("=?") == std::string::npos;
    if (plain) return "Subject: " + subject + "\r\n";
    std::string header = "Subject:";
    std::size_t pos = 0;
    while (pos < subject.size()) {
        std::size_t end = pos;
        while (end < subject.size()) {
            std::size_t next = end;
            NextCodePoint(subject, next);
            if (next - pos > 45) break;
            end = next;
        }
        if (end == pos) end = pos + 1;
        if (pos > 0) header += "\r\n";
        header += " =?UTF-8?B?" + Base64(subject.substr(pos, end - pos)) + "?=";
        pos = end;
    }
    return header + "\r\n";
}

// "Name: a,\r\n b" folded one address a line.
std::string AddressHeader(const char* name, const std::vector<const std::string*>& addresses) {
    std::string header = std::string(name) + ":";
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (i > 0) header += ",\r\n";
        header += " " + *addresses[i];
    }
    return header + "\r\n";
}

}  // namespace

std::vector<std::string> XdgEmailArguments(const CMailMessage& message) {
    std::vector<std::string> args{"--utf8"};
    if (!message.subject.empty()) {
        args.push_back("--subject");
        args.push_back(message.subject);
    }
    for (const auto& r : message.recipients) {
        args.push_back(r.recipClass == kMailRecipientTo ? "--to" : "--bcc");
        args.push_back(r.name);
    }
    return args;
}

std::size_t MailtoLength(const CMailMessage& message) {
    std::size_t n = std::string("mailto:?").size();
    if (!message.subject.empty()) n += 9 + EncodedLength(message.subject);  // "subject=" "&"
    for (const auto& r : message.recipients)
        n += (r.recipClass == kMailRecipientTo ? 4 : 5) + EncodedLength(r.name);  // "to=&" / "bcc=&"
    return n;
}

bool MailNeedsDraft(const CMailMessage& message) { return MailtoLength(message) > kMaxMailtoBytes; }

std::string MailDraftText(const CMailMessage& message) {
    std::vector<const std::string*> to, bcc;
    for (const auto& r : message.recipients) (r.recipClass == kMailRecipientTo ? to : bcc).push_back(&r.name);
    std::string text = "X-Unsent: 1\r\n";
    if (!to.empty()) text += AddressHeader("To", to);
    if (!bcc.empty()) text += AddressHeader("Bcc", bcc);
    text += SubjectHeader(message.subject);
    text += "MIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=UTF-8\r\n"
            "Content-Transfer-Encoding: 8bit\r\n"
            "\r\n";
    return text;
}

CXdgMail::~CXdgMail() { Reap(); }

void CXdgMail::Reap() {
    std::erase_if(m_running, [](int pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

MailResult CXdgMail::Send(const CMailMessage& message) {
    Reap();
    if (FindTool("xdg-email").empty()) return MailResult::Unavailable;
    if (!MailNeedsDraft(message)) return Run("xdg-email", XdgEmailArguments(message));

    namespace fs = std::filesystem;
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / "milvane-mail-XXXXXX.eml").string();
    const int fd = mkstemps(pattern.data(), 4);
    if (fd < 0) return MailResult::Failed;
    const std::string text = MailDraftText(message);
    bool written = true;
    for (std::size_t done = 0; done < text.size() && written;) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0 || !written) {
        unlink(pattern.c_str());
        return MailResult::Failed;
    }
    const MailResult result = Run("xdg-open", {pattern});
    if (result != MailResult::Accepted) unlink(pattern.c_str());
    return result;
}

MailResult CXdgMail::Run(const std::string& tool, const std::vector<std::string>& arguments) {
    const std::string program = FindTool(tool);
    if (program.empty()) return MailResult::Unavailable;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (err == E2BIG) return MailResult::TooManyRecipients;
    if (err != 0) return MailResult::Failed;

    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(10);
    while (steady_clock::now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? MailResult::Accepted : MailResult::Failed;
        if (done < 0 && errno != EINTR) return MailResult::Failed;
        std::this_thread::sleep_for(milliseconds(50));
    }
    m_running.push_back(pid);
    return MailResult::Accepted;
}
