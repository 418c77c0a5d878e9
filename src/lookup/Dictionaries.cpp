#include "lookup/Dictionaries.h"

#include "common/Folders.h"
#include "common/Ports.h"
#include "common/SjisText.h"

namespace {

CLookupDictionaries* g_current = nullptr;

std::string ReadPath(const char* key) {
    return SjisTruncate(Ports::Profile().GetString(QSTel::kSection, key, ""), QSTel::kMaxPathBytes);
}

void Report(bool report, const char* text) {
    if (report) ShowMessage(text);
}

const char* PostalCodeMessage(int code) {
    switch (code) {
    case PostalResult::BadParameter: return "パラメーターの内容に問題があります\n1\n";
    case PostalResult::CannotOpen: return "辞書ファイルをオープンできません\n2\n";
    case PostalResult::NoMemory: return "メモリ不足です\n3\n";
    case PostalResult::Broken: return "ファイルが壊れています\n4\n";
    case PostalResult::BadVersion: return "辞書のバージョンが正しくありません\n5\n";
    case PostalResult::HojinCannotOpen: return "法人辞書ファイルをオープンできません\n35\n";
    case PostalResult::HojinBadVersion: return "法人辞書のバージョンが正しくありません\n36\n";
    default: return nullptr;
    }
}

constexpr const char* kPostalFailed = "データが開けませんでした。\n郵便番号データ検索ができません。\n";
constexpr const char* kPhoneFailed = "データが開けませんでした。\n電話番号からの検索、住所からの検索ができません。\n";

}  // namespace

namespace Lookup {
CLookupDictionaries* Current() { return g_current; }
void SetCurrent(CLookupDictionaries* dictionaries) { g_current = dictionaries; }
}  // namespace Lookup

void WriteLookupDefaults(const std::string& installDir) {
    IProfilePort& profile = Ports::Profile();
    auto dictionary = [&](const char* key, const char* rel, const char* file) {
        const std::string installed = installDir + rel;
        const std::string current = profile.GetString(QSTel::kSection, key, "");
        if (!current.empty() && (FileExists(current + "/" + file) || !FileExists(installed + "/" + file))) return;
        profile.WriteString(QSTel::kSection, key, installed);
    };
    dictionary(QSTel::kYubinPath, kInstalledYubinDir, kYubinFileName);
    dictionary(QSTel::kHojinPath, kInstalledHojinDir, kHojinFileName);
    if (profile.GetString(QSTel::kSection, QSTel::kDataPath, "").empty())
        profile.WriteString(QSTel::kSection, QSTel::kDataPath, installDir + kInstalledUserTelDir);
}

bool CLookupDictionaries::OpenPhone(bool report) {
    if (m_phone.IsOpen()) return true;
    const std::string cd = FindMediaDirectory(mediaRoots);
    const std::string hd = ReadPath(QSTel::kHDPath);
    const std::string diff = ReadPath(QSTel::kDiffPath);
    const std::string data = ReadPath(QSTel::kDataPath);
    if (hd.empty() && diff.empty() && cd.empty()) {
        Report(report,
               "電話番号検索のためのデータパスが取得できませんでした。\n"
               "電話番号検索をするには、Zorund電話帳のCDをセットして操作しなおしてください。\n");
        // The user's own entries stay searchable without a directory.
        if (!m_user.Loaded() && !data.empty()) m_user.Load(data);
        return false;
    }
    if (!m_user.Loaded()) {
        if (data.empty())
            Report(report, "データパスの取得に失敗しました。\nﾕｰｻﾞｰ電話帳データを使用できません。");
        else if (!m_user.Load(data))
            Report(report, "ユーザー辞書を取得できませんでした\n");
    }
    if (!m_phone.Open(hd, cd, diff)) {
        Report(report, "電話番号検索のためのデータが開けませんでした。\n電話番号からの検索、住所からの検索ができません。\n");
        return false;
    }
    return true;
}

bool CLookupDictionaries::OpenPostal(bool report) {
    if (m_postal.IsOpen()) return true;
    const std::string yubin = ReadPath(QSTel::kYubinPath);
    const std::string hojin = ReadPath(QSTel::kHojinPath);
    if (yubin.empty() || hojin.empty()) {
        Report(report, "郵便番号・住所検索のためのデータが取得できませんでした。\n");
        return false;
    }
    const int code = m_postal.Open(yubin, hojin);
    if (code == PostalResult::Open) return true;
    if (const char* text = PostalCodeMessage(code)) Report(report, text);
    Report(report, kPostalFailed);
    return false;
}

int CLookupDictionaries::OpenDictionaries(bool report) {
    const bool phone = OpenPhone(report);
    const bool postal = OpenPostal(report);
    if (!phone && !postal)
        Report(report, "検索のためのデータがすべて取得できませんでした。\n検索ができません。\n");
    else if (!phone)
        Report(report, kPhoneFailed);
    else if (!postal)
        Report(report, kPostalFailed);
    return phone && postal ? 1 : 0;
}

void CLookupDictionaries::Close() {
    m_phone.Close();
    if (m_postal.IsOpen()) m_postal.Close();
}

bool CLookupDictionaries::SaveUserDict() {
    if (m_user.Save()) return true;
    ShowMessage(LookupMsg::kUserDictSaveFailed);
    return false;
}

CLookupDictionaries::PhoneResult CLookupDictionaries::SearchPhone(std::string_view number,
                                                                  std::vector<CQSAddress>& hits) const {
    hits.clear();
    if (!IsPhoneText(number) || PhoneDigits(number).empty()) return PhoneResult::BadNumber;
    if (m_phone.IsOpen() && m_phone.Search(number, hits) == CPhoneDirectory::Status::NoMemory)
        return PhoneResult::NoMemory;
    if (m_user.Loaded()) hits = m_user.Merge(std::move(hits), number);
    if (!hits.empty()) return PhoneResult::Hits;
    return m_phone.IsOpen() ? PhoneResult::NoHit : PhoneResult::Unavailable;
}

const char* CLookupDictionaries::PhoneMessage(PhoneResult r) {
    switch (r) {
    case PhoneResult::BadNumber: return LookupMsg::kBadPhone;
    case PhoneResult::Unavailable: return LookupMsg::kPhoneUnavailable;
    case PhoneResult::NoMemory: return LookupMsg::kNoMemory;
    case PhoneResult::NoHit: return LookupMsg::kNoHit;
    case PhoneResult::Hits: break;
    }
    return "";
}
