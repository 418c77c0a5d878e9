// The two lookup dictionaries of a run, opened at start-up and kept open: the
// phone directory with the user phone dictionary, and the postal dictionary.
// Their folders come from the profile section "Common/QSTel".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lookup/PhoneDir.h"
#include "lookup/PostalDict.h"
#include "lookup/QSAddress.h"

namespace QSTel {
inline constexpr const char* kSection = "Common/QSTel";
inline constexpr const char* kYubinPath = "YubinPath";  // postal dictionary folder
inline constexpr const char* kHojinPath = "HojinPath";  // business-office dictionary folder
inline constexpr const char* kHDPath = "HDPath";        // phone directory on the disk
inline constexpr const char* kDiffPath = "DiffPath";    // phone directory updates
inline constexpr const char* kDataPath = "DataPath";    // user phone dictionary folder
inline constexpr std::size_t kMaxPathBytes = 260;
}  // namespace QSTel

// Where a fresh installation keeps its dictionaries, below the install folder.
inline constexpr const char* kInstalledYubinDir = "/Dic/Yubin";
inline constexpr const char* kInstalledHojinDir = "/Dic/Hojin";
inline constexpr const char* kInstalledUserTelDir = "/Data/Tel";

// Writes the defaults of the installation into the profile: "YubinPath" and
// "HojinPath" when empty or naming a folder without its dictionary while the
// installation has one; "DataPath" when empty.
void WriteLookupDefaults(const std::string& installDir);

// Messages of the lookups.
namespace LookupMsg {
inline constexpr const char* kBadPhone = "電話番号を半角数字で入力してください";
inline constexpr const char* kPhoneUnavailable = "電話帳データの取得に失敗しています。\n検索できません。\n";
inline constexpr const char* kNoMemory = "メモリ不足です。";
inline constexpr const char* kNoHit = "該当するデータはありませんでした";
inline constexpr const char* kUserDictSaveFailed = "ﾕｰｻﾞｰ辞書の保存に失敗しました。\n";
}  // namespace LookupMsg

class CLookupDictionaries {
public:
    CLookupDictionaries() = default;
    CLookupDictionaries(const CLookupDictionaries&) = delete;
    CLookupDictionaries& operator=(const CLookupDictionaries&) = delete;

    // Opens the phone directory, then the postal dictionary; 1 only when both
    // are open. With report, every failure is told; start-up passes false.
    int OpenDictionaries(bool report);
    bool OpenPhone(bool report);
    bool OpenPostal(bool report);
    // Closes the phone directory, and the postal dictionary when it was open.
    void Close();

    bool PhoneOpen() const { return m_phone.IsOpen(); }
    int PostalResultCode() const { return m_postal.ResultCode(); }

    const CPostalDict& Postal() const { return m_postal; }
    const CPhoneDirectory& Phone() const { return m_phone; }
    CUserTelDict& UserDict() { return m_user; }
    // Saves the user phone dictionary; "ﾕｰｻﾞｰ辞書の保存に失敗しました。\n" on failure.
    bool SaveUserDict();

    enum class PhoneResult { Hits, BadNumber, Unavailable, NoMemory, NoHit };
    // The merged hits of a phone number (directory and user dictionary, see
    // CUserTelDict::Merge). BadNumber: empty, or a character other than
    // "0123456789-()"; Unavailable: nothing found while the directory is not
    // open (the user's own entries are searched all the same).
    PhoneResult SearchPhone(std::string_view number, std::vector<CQSAddress>& hits) const;
    // The message of a failed phone search ("" for Hits).
    static const char* PhoneMessage(PhoneResult r);

    // The mount points searched for a "ZorundTel" medium; tests replace them.
    std::vector<std::string> mediaRoots = DefaultMediaRoots();

private:
    CPhoneDirectory m_phone;
    CUserTelDict m_user;
    CPostalDict m_postal;
};

// The dictionaries of the running application (set by the application object
// for its lifetime), or null.
namespace Lookup {
CLookupDictionaries* Current();
void SetCurrent(CLookupDictionaries* dictionaries);
}  // namespace Lookup
