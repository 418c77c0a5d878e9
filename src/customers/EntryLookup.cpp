#include "customers/EntryLookup.h"

#include "common/Ports.h"
#include "lookup/Dictionaries.h"

namespace {

const LookupBlock kHome = {1070, 1071, 1072, 1073, 1074, EntryCtl::Name, "氏名・", "\n※氏名は上書きしません。"};
const LookupBlock kCompany = {1084, 1085, 1086, 1087, 1088, EntryCtl::CompName, "会社名・",
                              "\n※会社名は上書きしません。"};

constexpr const char* kPostalUnavailable = "データが開けませんでした。\n郵便番号データ検索ができません。\n";

std::string Text(const ControlValues& v, int id) {
    auto it = v.find(id);
    return it == v.end() ? std::string() : it->second.text;
}

bool AnyFilled(const ControlValues& v, std::initializer_list<int> ids) {
    for (int id : ids)
        if (!Text(v, id).empty()) return true;
    return false;
}

void Set(ControlValues& v, int id, std::string text) {
    auto it = v.find(id);
    if (it != v.end()) it->second.text = std::move(text);
}

// The one hit to use: the only one, or the chosen one of several.
template <class T, class RowFn>
const T* Pick(const std::vector<T>& hits, const std::vector<std::string>& headers, RowFn row,
              const AddressChooser& choose) {
    if (hits.size() == 1) return &hits[0];
    std::vector<std::vector<std::string>> rows;
    for (const T& h : hits) rows.push_back(row(h));
    std::optional<std::size_t> i = choose ? choose(headers, rows) : std::nullopt;
    return i && *i < hits.size() ? &hits[*i] : nullptr;
}

}  // namespace

const LookupBlock& HomeLookupBlock() { return kHome; }
const LookupBlock& CompanyLookupBlock() { return kCompany; }

std::optional<LookupButton> LookupOfButton(int id) {
    switch (id) {
    case 1329: return LookupButton{&kHome, true};
    case 1331: return LookupButton{&kCompany, true};
    case 1330: return LookupButton{&kHome, false};
    case 1332: return LookupButton{&kCompany, false};
    default: return std::nullopt;
    }
}

std::string RemoveParenthesised(std::string_view text) {
    static constexpr std::string_view kOpen = "（", kClose = "）";
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find(kOpen, pos);
        if (open == std::string_view::npos) break;
        const std::size_t close = text.find(kClose, open + kOpen.size());
        if (close == std::string_view::npos) break;
        out.append(text.substr(pos, open - pos));
        pos = close + kClose.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::optional<int> RunPostalLookup(const LookupBlock& b, ControlValues& values, CLookupDictionaries* dicts,
                                   const AddressChooser& choose) {
    if (!dicts) {
        ShowMessage(kPostalUnavailable);
        return std::nullopt;
    }
    // A dictionary that did not open at start-up tells why now.
    if (!dicts->Postal().IsOpen() && !dicts->OpenPostal(true)) return std::nullopt;
    const std::vector<PostalEntry> hits = dicts->Postal().Search(Text(values, b.zip));
    if (hits.empty()) {
        ShowMessage(LookupMsg::kNoHit, MsgIcon::Information);
        return std::nullopt;
    }
    const PostalEntry* hit = Pick(
        hits, {"郵便番号", "名称", "都道府県", "市区町村", "町域", "番地"},
        [](const PostalEntry& e) {
            return std::vector<std::string>{e.code, e.name, e.prefecture, e.city, e.street1, e.street2};
        },
        choose);
    if (!hit) return std::nullopt;
    if (AnyFilled(values, {b.prefecture, b.city, b.street}) &&
        Ports::Prompt().AskYesNo("住所を上書きしてよろしいですか？", MsgIcon::Question, Answer::Yes) != Answer::Yes)
        return std::nullopt;
    Set(values, b.zip, hit->code);
    Set(values, b.prefecture, hit->prefecture);
    Set(values, b.city, RemoveParenthesised(hit->city));
    Set(values, b.street, RemoveParenthesised(hit->street1 + hit->street2));
    return b.street;
}

std::optional<int> RunPhoneLookup(const LookupBlock& b, ControlValues& values, CLookupDictionaries* dicts,
                                  const AddressChooser& choose) {
    const std::string number = Text(values, b.tel);
    std::vector<CQSAddress> hits;
    CLookupDictionaries::PhoneResult r = CLookupDictionaries::PhoneResult::Unavailable;
    if (!IsPhoneText(number) || PhoneDigits(number).empty())
        r = CLookupDictionaries::PhoneResult::BadNumber;
    else if (dicts)
        r = dicts->SearchPhone(number, hits);
    if (r != CLookupDictionaries::PhoneResult::Hits) {
        ShowMessage(CLookupDictionaries::PhoneMessage(r),
                    r == CLookupDictionaries::PhoneResult::NoHit ? MsgIcon::Information : MsgIcon::Exclamation);
        return std::nullopt;
    }
    const CQSAddress* hit = Pick(
        hits, {"電話番号", "名前", "郵便番号", "都道府県", "市区町村", "住所"},
        [](const CQSAddress& a) {
            return std::vector<std::string>{a.Phone(),      a.Name(), a.Zip(), a.Prefecture(),
                                            a.City(), a.Street1() + a.Street2()};
        },
        choose);
    if (!hit) return std::nullopt;
    // A page without the name field (the home information) never fills it.
    const bool hasName = values.count(b.name) != 0;
    const bool nameEmpty = hasName && Text(values, b.name).empty();
    if (AnyFilled(values, {b.zip, b.prefecture, b.city, b.street})) {
        std::string q = "郵便番号・住所を上書きしてよろしいですか？";
        q = nameEmpty ? b.nameWord + q : q + b.keepNote;
        if (Ports::Prompt().AskYesNo(q, MsgIcon::Question, Answer::Yes) != Answer::Yes) return std::nullopt;
    }
    Set(values, b.prefecture, hit->Prefecture());
    Set(values, b.city, hit->City());
    Set(values, b.street, hit->Street1() + hit->Street2());
    Set(values, b.zip, hit->Zip());
    if (nameEmpty) Set(values, b.name, hit->Name());
    return hasName ? b.name : b.street;
}
