#include "app/PassCheck.h"

#include <sodium.h>

#include <cerrno>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"

namespace {

constexpr const char* kHashPrefix = "$argon2id$";

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// Half-width letters, digits and symbols, 1 to kMaxLength characters.
bool IsAcceptable(const std::string& pw) {
    if (pw.empty() || pw.size() > CMLVPassCheck::kMaxLength) return false;
    for (unsigned char c : pw)
        if (c < 0x21 || c > 0x7E) return false;
    return true;
}

// Slow by design (about a second at the moderate limits): shows the wait cursor.
bool Verify(const std::string& hash, const std::string& pw) {
    WaitScope wait;
    return crypto_pwhash_str_verify(hash.c_str(), pw.data(), pw.size()) == 0;
}

}  // namespace

CMLVPassCheck::CMLVPassCheck(std::string installDir, IPasswordPort& port, Strength strength)
    : m_installDir(std::move(installDir)), m_port(port), m_strength(strength) {
    if (sodium_init() < 0) {
        // Without the library every verification fails; CheckPassWord then refuses.
    }
}

std::string CMLVPassCheck::ConfigPath() const { return JoinPath(m_installDir, "Data/MyData/pass.sys"); }

bool CMLVPassCheck::WriteEmptyConfig(const std::string& path) { return WriteWholeFileAtomic(path, ""); }

CMLVPassCheck::Load CMLVPassCheck::ReadConfig(std::string& hash) {
    hash.clear();
    std::string bytes;
    if (!FileExists(ConfigPath()) || !ReadWholeFile(ConfigPath(), bytes)) return Load::Missing;
    std::string text = Trim(bytes);
    if (text.empty()) return Load::NoPassword;
    // Anything but a hash of ours is a damaged configuration.
    if (text.compare(0, std::char_traits<char>::length(kHashPrefix), kHashPrefix) != 0 ||
        text.size() >= crypto_pwhash_STRBYTES)
        return Load::Missing;
    hash = text;
    return Load::Hash;
}

bool CMLVPassCheck::IsPasswordSet() {
    std::string hash;
    return ReadConfig(hash) == Load::Hash;
}

bool CMLVPassCheck::AskCurrent(const std::string& hash) {
    for (int attempt = 1; attempt <= kMaxTries; ++attempt) {
        std::optional<std::string> pw = m_port.AskPassword("パスワードを入力してください。", attempt);
        if (!pw) return false;
        if (Verify(hash, *pw)) return true;
        ShowMessage("パスワードが違います。", MsgIcon::Exclamation);
    }
    return false;
}

int CMLVPassCheck::CheckPassWord() {
    std::string hash;
    switch (ReadConfig(hash)) {
    case Load::Missing: return -1;
    case Load::NoPassword: return 1;
    case Load::Hash: break;
    }
    return AskCurrent(hash) ? 1 : 0;
}

int CMLVPassCheck::SetPassWord() {
    std::string hash;
    Load state = ReadConfig(hash);
    if (state == Load::Missing) {
        ShowMessage("構成ファイルがないためパスワードを設定できません。\n再インストールしてください。");
        return -1;
    }
    if (state == Load::Hash && !AskCurrent(hash)) return 0;

    for (;;) {
        auto entry = m_port.AskNewPassword(state == Load::Hash);
        if (!entry) return 0;
        const auto& [first, second] = *entry;
        if (first != second) {
            ShowMessage("確認のために入力したパスワードが一致しません。\nもう一度入力してください。");
            continue;
        }
        if (first.empty()) {
            if (state != Load::Hash) return 0;  // nothing set, nothing to remove
            if (!WriteWholeFileAtomic(ConfigPath(), "")) {
                ShowMessage("パスワードを保存できませんでした。");
                return -1;
            }
            ShowMessage("パスワードを解除しました。", MsgIcon::Information);
            return 1;
        }
        if (!IsAcceptable(first)) {
            ShowMessage("パスワードは半角の英数字・記号で" + std::to_string(kMaxLength) + "文字以内で入力してください。");
            continue;
        }
        unsigned long long ops = m_strength == Strength::Moderate ? crypto_pwhash_OPSLIMIT_MODERATE
                                                                  : crypto_pwhash_OPSLIMIT_INTERACTIVE;
        size_t mem = m_strength == Strength::Moderate ? crypto_pwhash_MEMLIMIT_MODERATE
                                                      : crypto_pwhash_MEMLIMIT_INTERACTIVE;
        char out[crypto_pwhash_STRBYTES];
        bool stored;
        {
            WaitScope wait;
            stored = crypto_pwhash_str(out, first.data(), first.size(), ops, mem) == 0 &&
                     WriteWholeFileAtomic(ConfigPath(), std::string(out));
        }
        if (!stored) {
            ShowMessage("パスワードを保存できませんでした。");
            return -1;
        }
        ShowMessage("パスワードを設定しました。", MsgIcon::Information);
        return 1;
    }
}
