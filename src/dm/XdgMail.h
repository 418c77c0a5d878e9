// The desktop's mail interface: xdg-email opens the user's mail program with
// the message ready to edit. When the mailto address xdg-email builds would
// be too long, the message is written as a draft file (X-Unsent: 1) and opened
// with the default handler (xdg-open) instead.
#pragma once

#include <string>
#include <vector>

#include "dm/MailSend.h"

inline constexpr const char* kMailInterfaceMissing = "xdg-email をロードできませんでした";
// Longest mailto address handed to xdg-email; mail programs and desktop
// handlers take that much.
inline constexpr std::size_t kMaxMailtoBytes = 2000;

// The arguments of xdg-email (without the program): "--utf8", "--subject"
// and the subject when there is one, then "--to" or "--bcc" with each address.
std::vector<std::string> XdgEmailArguments(const CMailMessage& message);
// The length of the mailto address xdg-email builds from those arguments.
std::size_t MailtoLength(const CMailMessage& message);
// True when the message goes as a draft file.
bool MailNeedsDraft(const CMailMessage& message);
// The draft file's text: RFC 5322 headers (X-Unsent: 1, To or Bcc, an
// encoded Subject, a plain-text body part) and an empty body, CRLF lines.
std::string MailDraftText(const CMailMessage& message);

class CXdgMail final : public IMailInterface {
public:
    ~CXdgMail() override;
    MailResult Send(const CMailMessage& message) override;

private:
    // Runs a tool of the desktop; waits for its answer a few seconds (a mail
    // program still showing the message after that has taken it).
    MailResult Run(const std::string& tool, const std::vector<std::string>& arguments);
    void Reap();

    std::vector<int> m_running;  // processes not yet finished
};
