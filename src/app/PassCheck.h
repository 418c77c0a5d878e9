// The start-up password. The configuration file "Data/MyData/pass.sys" of the
// installation holds nothing (no password set) or the salted argon2id hash of
// the password; the password itself is never stored.
#pragma once

#include <optional>
#include <string>
#include <utility>

// The dialogs of the password component (implemented by the user interface).
class IPasswordPort {
public:
    virtual ~IPasswordPort() = default;
    // Asks for the password; attempt counts from 1. nullopt when cancelled.
    virtual std::optional<std::string> AskPassword(const std::string& prompt, int attempt) = 0;
    // Asks for a new password and its confirmation (two entries). Both empty
    // removes the password. nullopt when cancelled.
    virtual std::optional<std::pair<std::string, std::string>> AskNewPassword(bool passwordIsSet) = 0;
};

class CMLVPassCheck {
public:
    // How expensive a newly set hash is: Moderate for real use, Interactive
    // (fast) for tests.
    enum class Strength { Interactive, Moderate };

    CMLVPassCheck(std::string installDir, IPasswordPort& port, Strength strength = Strength::Moderate);

    // -1: the configuration file is missing or unreadable; 1: no password set,
    // or the right one entered within three tries; 0: cancelled or three wrong
    // entries.
    int CheckPassWord();
    // Sets, changes or removes the password after asking for the current one.
    // 1 changed; 0 cancelled or refused; -1 configuration missing or not
    // writable (message shown).
    int SetPassWord();

    bool IsPasswordSet();  // false also when the file is missing
    std::string ConfigPath() const;

    // Writes a configuration without password (the installation ships one).
    static bool WriteEmptyConfig(const std::string& path);

    static constexpr int kMaxTries = 3;
    static constexpr std::size_t kMaxLength = 16;  // bytes

private:
    enum class Load { Missing, NoPassword, Hash };
    Load ReadConfig(std::string& hash);
    bool AskCurrent(const std::string& hash);

    std::string m_installDir;
    IPasswordPort& m_port;
    Strength m_strength;
};
