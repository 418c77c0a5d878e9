#include "customers/MasterColSet.h"

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string_view>

#include "common/Archive.h"
#include "common/Folders.h"
#include "customers/Kokyaku.h"

namespace {

const std::map<std::string_view, const char*>& Labels() {
    static const std::map<std::string_view, const char*> labels = {
        {"ID", "ID"},
        {"CustomerID", "お客様コード"},
        {"Name", "氏名"},
        {"Yomi", "ﾌﾘｶﾞﾅ"},
        {"Suffix", "敬称"},
        {"Sex", "性別"},
        {"EntryType", "種別"},
        {"CustomerType", "顧客区分"},
        {"StartDate", "登録日"},
        {"LastUpDate", "最終更新日"},
        {"TantouName", "自社担当者"},
        {"BirthDay", "生年月日"},
        {"Zip_Home", "自宅〒"},
        {"Add1_Home", "自宅都道府県"},
        {"Add2_Home", "自宅市区町村"},
        {"Add3_Home", "自宅番地等"},
        {"Add_Home_X", "自宅住所"},
        {"TEL_Home", "自宅TEL"},
        {"FAX_Home", "自宅FAX"},
        {"CellPhone1", "携帯電話"},
        {"CellPhone2", "携帯電話(会社)"},
        {"CompName", "会社名"},
        {"CompYomi", "会社名ﾌﾘｶﾞﾅ"},
        {"Section", "部署"},
        {"Post", "役職"},
        {"Represent", "代表者"},
        {"CompType", "業種"},
        {"Zip_Office", "会社〒"},
        {"Add1_Office", "会社都道府県"},
        {"Add2_Office", "会社市区町村"},
        {"Add3_Office", "会社番地等"},
        {"Add_Office_X", "会社住所"},
        {"TEL_Office", "会社TEL"},
        {"FAX_Office", "会社FAX"},
        {"EMail1", "ﾒｰﾙｱﾄﾞﾚｽ１"},
        {"EMail2", "ﾒｰﾙｱﾄﾞﾚｽ２"},
        {"EMail3", "ﾒｰﾙｱﾄﾞﾚｽ３"},
        {"EMail4", "ﾒｰﾙｱﾄﾞﾚｽ(会社)１"},
        {"EMail5", "ﾒｰﾙｱﾄﾞﾚｽ(会社)２"},
        {"URL1", "ホームページ"},
        {"URL2", "ホームページ(会社)"},
        {"ClosingDate", "決算月"},
        {"Bank1", "主要取引銀行１"},
        {"Bank2", "主要取引銀行２"},
        {"ClosingDay", "締日"},
        {"TaxMethod", "税の扱い"},
        {"PayMethod", "支払方法"},
        {"MainMerchant1", "主要取引先１"},
        {"MainMerchant2", "主要取引先２"},
        {"MainMerchant3", "主要取引先３"},
        {"MainMerchant4", "主要取引先４"},
        {"MainMerchant5", "主要取引先５"},
        {"Picture1", "画像１"},
        {"Picture2", "画像２"},
        {"Picture3", "画像３"},
        {"Picture4", "画像４"},
        {"Picture5", "画像５"},
        {"ColorMark", "カラー"},
        {"ImportantRanking", "重要度"},
        {"Ranking1", "ﾗﾝｷﾝｸﾞ１"},
        {"Ranking2", "ﾗﾝｷﾝｸﾞ２"},
        {"Note1", "備考１"},
        {"Note2", "備考２"},
        {"Note3", "備考３"},
        {"Note4", "備考４"},
        {"Note5", "備考５"},
        {"Note6", "備考６"},
        {"Note7", "備考７"},
        {"Note8", "備考８"},
        {"Note9", "備考９"},
        {"Note10", "備考１０"},
        {"RirekiUpDate", "履歴更新日"},
        {"CommonMail", "標準ﾒｰﾙ"},
        {"TEL_Home_X", "自宅TEL(数値)"},
        {"TEL_Office_X", "会社TEL(数値)"},
    };
    return labels;
}

bool IsFreeItem(std::string_view name) {
    return name == "Ranking1" || name == "Ranking2" ||
           (name.starts_with("Note") && name.size() > 4 && name.find_first_not_of("0123456789", 4) == std::string_view::npos);
}

void Add(std::vector<CMLVCol>& out, std::string_view name) {
    auto it = Labels().find(name);
    if (it == Labels().end()) throw std::logic_error("no label for the field " + std::string(name));
    out.emplace_back(std::string(name), it->second, IsFreeItem(name) ? 1 : 0);
}

}  // namespace

std::vector<CMLVCol> MasterColumns() {
    std::vector<CMLVCol> cols;
    for (const KokyakuField& field : KokyakuFields()) {
        const std::string_view name = field.name;
        Add(cols, name);
        if (name == "Add3_Home") Add(cols, "Add_Home_X");
        if (name == "Add3_Office") Add(cols, "Add_Office_X");
    }
    return cols;
}

bool WriteMasterColSet(const std::string& templateRoot) {
    std::vector<CMLVCol> cols;
    try {
        cols = MasterColumns();
    } catch (const std::logic_error&) {
        return false;
    }
    const std::string folder = JoinPath(templateRoot, "Data/Org");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    CMLVColSet set(templateRoot);
    set.columns = std::move(cols);
    CArchiveWriter ar;
    set.WriteTo(ar);
    return WriteWholeFileAtomic(JoinPath(folder, kColSetFileName), ar.Bytes());
}
