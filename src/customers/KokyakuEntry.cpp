#include "customers/KokyakuEntry.h"

#include <cstdio>

#include "common/Ports.h"
#include "common/SjisText.h"
#include "customers/Kokyaku.h"

// ---------------------------------------------------------------- record

std::string CEntryRecord::Text(std::string_view field) const {
    auto it = m_texts.find(field);
    return it == m_texts.end() ? std::string() : it->second;
}
void CEntryRecord::SetText(std::string_view field, std::string value) { m_texts[std::string(field)] = std::move(value); }
int32_t CEntryRecord::Int(std::string_view field) const {
    auto it = m_ints.find(field);
    return it == m_ints.end() ? 0 : it->second;
}
void CEntryRecord::SetInt(std::string_view field, int32_t value) { m_ints[std::string(field)] = value; }
CDateTime CEntryRecord::Date(std::string_view field) const {
    auto it = m_dates.find(field);
    return it == m_dates.end() ? CDateTime() : it->second;
}
void CEntryRecord::SetDate(std::string_view field, CDateTime value) { m_dates[std::string(field)] = value; }

CEntryRecord CEntryRecord::Blank() { return ToEntryRecord(CKokyaku{}); }

namespace {
bool IsStampedDate(std::string_view name) {
    return name == "StartDate" || name == "LastUpDate" || name == "RirekiUpDate";
}
}  // namespace

bool RecordsDiffer(const CEntryRecord& a, const CEntryRecord& b) {
    for (const KokyakuField& f : KokyakuFields()) {
        if (!f.IsUserField()) continue;
        if (f.IsText()) {
            if (a.Text(f.name) != b.Text(f.name)) return true;
        } else if (f.IsDate()) {
            if (!IsStampedDate(f.name) && !(a.Date(f.name) == b.Date(f.name))) return true;
        } else if (f.IsInt()) {
            if (a.Int(f.name) != b.Int(f.name)) return true;
        }
    }
    return false;
}

CEntryRecord ToEntryRecord(const CKokyaku& k) {
    CEntryRecord r;
    r.id = k.ID;
    for (const KokyakuField& f : KokyakuFields()) {
        if (!f.IsUserField()) continue;
        if (f.IsText())
            r.SetText(f.name, f.Text(k));
        else if (f.IsDate())
            r.SetDate(f.name, f.Date(k));
        else if (f.IsInt())
            r.SetInt(f.name, f.Int(k));
    }
    return r;
}

void ApplyEntryRecord(const CEntryRecord& r, CKokyaku& k) {
    for (const KokyakuField& f : KokyakuFields()) {
        if (!f.IsUserField()) continue;
        if (f.IsText())
            f.Text(k) = r.Text(f.name);
        else if (f.IsDate())
            f.SetDate(k, r.Date(f.name));
        else if (f.IsInt())
            f.SetInt(k, r.Int(f.name));
    }
}

// ---------------------------------------------------------------- lists

const std::vector<std::string>& PrefectureTexts() {
    static const std::vector<std::string> list = {
        "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県", "福島県", "茨城県", "栃木県", "群馬県",
        "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県", "石川県", "福井県", "山梨県", "長野県",
        "岐阜県", "静岡県", "愛知県", "三重県", "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県",
        "鳥取県", "島根県", "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県", "高知県", "福岡県",
        "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県",
    };
    return list;
}

const std::vector<std::string>& ClosingDayTexts() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> l = {"5", "10", "15", "20", "25", "30", "99(末)"};
        for (int d = 1; d <= 31; ++d)
            if (d % 5 != 0 || d > 30) l.push_back(std::to_string(d));
        return l;
    }();
    return list;
}

const std::vector<std::string>& ClosingMonthTexts() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> l;
        for (int m = 1; m <= 12; ++m) l.push_back(std::to_string(m));
        return l;
    }();
    return list;
}

const std::vector<std::string>& TaxMethodTexts() {
    static const std::vector<std::string> list = {"外税（納品ごと）", "外税（請求時）", "内税", "なし", "未設定"};
    return list;
}
const std::vector<std::string>& SexTexts() {
    static const std::vector<std::string> list = {"男", "女"};
    return list;
}
const std::vector<std::string>& EntryTypeTexts() {
    static const std::vector<std::string> list = {"法人", "個人"};
    return list;
}
const std::vector<std::string>& SuffixTexts() {
    static const std::vector<std::string> list = {"様", "御中"};
    return list;
}

const std::vector<ColorMarkEntry>& ColorMarkEntries() {
    static const std::vector<ColorMarkEntry> list = {
        {"なし", 0xFFFFFF}, {"ｺﾞｰﾙﾄﾞ", 0x0099FF}, {"ｼﾙﾊﾞｰ", 0xCCCCCC}, {"青", 0xFF0000},
        {"黄", 0x00FFFF},   {"赤", 0x0000FF},       {"ﾌﾞﾗｯｸ", 0x000000},
    };
    return list;
}

int ColorMarkIndex(uint32_t color) {
    const auto& list = ColorMarkEntries();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].color == color) return static_cast<int>(i);
    return -1;
}

std::string ClosingDayText(int32_t day) {
    if (day == 99) return "99(末)";
    if (day >= 1 && day <= 31) return std::to_string(day);
    return {};
}

int32_t ClosingDayFromText(std::string_view text) {
    int32_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || n > 100000) break;
        n = n * 10 + (c - '0');
    }
    return n;
}

// ---------------------------------------------------------------- URLs

std::string UrlForDisplay(const std::string& stored, bool viewOnly) {
    return stored.empty() && !viewOnly ? std::string(kUrlPrefix) : stored;
}
std::string UrlToStore(const std::string& text) { return text == kUrlPrefix ? std::string() : text; }
std::optional<std::string> UrlToOpen(const std::string& text) {
    if (text.empty() || text == kUrlPrefix) return std::nullopt;
    return text;
}

// ---------------------------------------------------------------- controls

namespace {

using K = ControlKind;

// Steps shared by the layouts, in saving order.
const std::vector<EntryBinding> kNames = {
    {1059, "Name", K::Text, 50},
    {1058, "CustomerID", K::Text, 20},
    {1060, "Yomi", K::Text, 50},
    {1065, "Suffix", K::Text, 10},
    {1361, "Sex", K::List},
    {1360, "EntryType", K::List},
    {1068, "CustomerType", K::Check},
    {1109, "StartDate", K::ShownDate},
    {1121, "LastUpDate", K::ShownDate},
    {1232, "TantouName", K::Text, 30},
};
const std::vector<EntryBinding> kHomeBlock = {
    {1070, "Zip_Home", K::Text, 10},   {1071, "Add1_Home", K::Text, 20},  {1072, "Add2_Home", K::Text, 255},
    {1073, "Add3_Home", K::Text, 255}, {1074, "TEL_Home", K::Text, 20},   {1075, "FAX_Home", K::Text, 20},
    {1076, "CellPhone1", K::Text, 20}, {1090, "EMail1", K::Text, 255},    {1091, "EMail2", K::Text, 255},
    {1092, "EMail3", K::Text, 255},    {1095, "URL1", K::Url, 255},
};
const std::vector<EntryBinding> kRankings = {
    {1105, "ColorMark", K::Color},
    {1106, "ImportantRanking", K::Text, 50},
    {1107, "Ranking1", K::Text, 50},
    {1108, "Ranking2", K::Text, 50},
    {1328, "Note1", K::Text, 255},
};
const std::vector<EntryBinding> kCompanyBlock = {
    {1078, "CompName", K::Text, 100},   {1079, "CompYomi", K::Text, 100},   {1080, "Section", K::Text, 100},
    {1081, "Post", K::Text, 100},       {1084, "Zip_Office", K::Text, 10},  {1085, "Add1_Office", K::Text, 20},
    {1086, "Add2_Office", K::Text, 255}, {1087, "Add3_Office", K::Text, 255}, {1088, "TEL_Office", K::Text, 20},
    {1089, "FAX_Office", K::Text, 20},  {1077, "CellPhone2", K::Text, 20},  {1093, "EMail4", K::Text, 255},
    {1094, "EMail5", K::Text, 255},     {1096, "URL2", K::Url, 255},
};
const std::vector<EntryBinding> kCompanyDetails = {
    {1082, "Represent", K::Text, 50},      {1231, "CompType", K::Text, 50},       {1097, "ClosingDate", K::Month},
    {1184, "ClosingDay", K::ClosingDay},   {1122, "Bank1", K::Text, 255},         {1182, "Bank2", K::Text, 255},
    {1098, "TaxMethod", K::List},          {1230, "PayMethod", K::Text, 50},      {1100, "MainMerchant1", K::Text, 100},
    {1101, "MainMerchant2", K::Text, 100}, {1102, "MainMerchant3", K::Text, 100}, {1103, "MainMerchant4", K::Text, 100},
    {1104, "MainMerchant5", K::Text, 100},
};

void Append(std::vector<EntryBinding>& to, const std::vector<EntryBinding>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

std::vector<EntryBinding> BuildMain(EntryLayout layout) {
    std::vector<EntryBinding> b = kNames;
    switch (layout) {
    case EntryLayout::Normal:
        b.push_back({1110, "BirthDay", K::Date});
        Append(b, kHomeBlock);
        Append(b, kRankings);
        b.push_back({EntryCtl::Mail, "CommonMail", K::Mail, 0, 1, 5});
        Append(b, kCompanyBlock);
        break;
    case EntryLayout::Individual:
        b.push_back({1110, "BirthDay", K::Date});
        Append(b, kHomeBlock);
        Append(b, kRankings);
        b.push_back({EntryCtl::Mail, "CommonMail", K::Mail, 0, 1, 3});
        break;
    case EntryLayout::Corporate:
        Append(b, kCompanyBlock);
        Append(b, kRankings);
        b.push_back({EntryCtl::Mail, "CommonMail", K::Mail, 0, 4, 5});
        Append(b, kCompanyDetails);
        break;
    }
    return b;
}

bool InListRange(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

}  // namespace

const std::vector<EntryBinding>& MainPageBindings(EntryLayout layout) {
    static const std::vector<EntryBinding> normal = BuildMain(EntryLayout::Normal);
    static const std::vector<EntryBinding> individual = BuildMain(EntryLayout::Individual);
    static const std::vector<EntryBinding> corporate = BuildMain(EntryLayout::Corporate);
    switch (layout) {
    case EntryLayout::Individual: return individual;
    case EntryLayout::Corporate: return corporate;
    default: return normal;
    }
}

const EntryBinding* FindBinding(const std::vector<EntryBinding>& bindings, int id) {
    for (const auto& b : bindings)
        if (b.id == id) return &b;
    return nullptr;
}

ControlValues LoadControls(const std::vector<EntryBinding>& bindings, const CEntryRecord& record, bool viewOnly) {
    ControlValues values;
    for (const auto& b : bindings) {
        ControlState s;
        switch (b.kind) {
        case K::Text: s.text = record.Text(b.field); break;
        case K::Url: s.text = UrlForDisplay(record.Text(b.field), viewOnly); break;
        case K::List: {
            const int v = record.Int(b.field);
            const std::size_t n = std::string_view(b.field) == "TaxMethod" ? TaxMethodTexts().size() : 2;
            s.index = InListRange(v, n) ? v : -1;
            break;
        }
        case K::Month: {
            const int v = record.Int(b.field);
            s.index = v >= 1 && v <= 12 ? v - 1 : -1;
            break;
        }
        case K::ClosingDay: s.text = ClosingDayText(record.Int(b.field)); break;
        case K::Check: s.checked = record.Int(b.field) == 1; break;
        case K::Date:
        case K::ShownDate: s.text = record.Date(b.field).Format("%Y/%m/%d"); break;
        case K::Color: s.index = ColorMarkIndex(static_cast<uint32_t>(record.Int(b.field))); break;
        case K::Mail: {
            const int v = record.Int(b.field);
            s.index = v >= b.first && v <= b.last ? v : 0;
            break;
        }
        }
        values[b.id] = s;
    }
    return values;
}

int SaveControls(const std::vector<EntryBinding>& bindings, const ControlValues& values, CEntryRecord& record) {
    CEntryRecord out = record;
    for (const auto& b : bindings) {
        auto it = values.find(b.id);
        if (it == values.end()) continue;
        const ControlState& s = it->second;
        switch (b.kind) {
        case K::Text:
            if (!CheckSjisField(s.text, b.limit)) return b.id;
            out.SetText(b.field, s.text);
            break;
        case K::Url:
            if (!CheckSjisField(s.text, b.limit)) return b.id;
            out.SetText(b.field, UrlToStore(s.text));
            break;
        case K::List:
            if (s.index >= 0) out.SetInt(b.field, s.index);
            break;
        case K::Month: out.SetInt(b.field, s.index >= 0 ? s.index + 1 : 0); break;
        case K::ClosingDay: out.SetInt(b.field, ClosingDayFromText(s.text)); break;
        case K::Check: out.SetInt(b.field, s.checked ? 1 : 0); break;
        case K::Date: {
            std::string_view t = s.text;
            while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
            while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
            if (t.empty()) {
                out.SetDate(b.field, CDateTime());
            } else if (auto d = CDateTime::ParseDate(t)) {
                out.SetDate(b.field, d->DateOnly());
            } else {
                ShowMessage(kBadDateMessage);
                return b.id;
            }
            break;
        }
        case K::ShownDate: break;
        case K::Color:
            if (InListRange(s.index, ColorMarkEntries().size()))
                out.SetInt(b.field, static_cast<int32_t>(ColorMarkEntries()[s.index].color));
            break;
        case K::Mail:
            // No button of this page chosen keeps a choice made elsewhere.
            if (s.index >= b.first && s.index <= b.last) out.SetInt(b.field, s.index);
            break;
        }
    }
    record = std::move(out);
    return 0;
}

// ---------------------------------------------------------------- checks

NameCheck CheckNameAndSuffix(CEntryRecord& record, bool& suffixChanged) {
    suffixChanged = false;
    const bool noName = record.Text("Name").empty();
    const int entryType = record.Int("EntryType");
    if (entryType == 1 && noName) {
        return Ports::Prompt().AskYesNo("氏名が入力されていません。\nこのまま登録しますか？\n", MsgIcon::Question,
                                        Answer::No) == Answer::Yes
                   ? NameCheck::Go
                   : NameCheck::Stop;
    }
    if (entryType == 0 && noName && record.Text("CompName").empty()) {
        return Ports::Prompt().AskYesNo("会社名・氏名がいずれも入力されていません。\nこのまま登録しますか？\n",
                                        MsgIcon::Question, Answer::No) == Answer::Yes
                   ? NameCheck::Go
                   : NameCheck::Stop;
    }
    if (entryType == 0 && noName && record.Text("Suffix") == "様") {
        switch (Ports::Prompt().AskYesNoCancel(
            "氏名が入力されていませんが、敬称が「様」です。\n「御中」に変更しますか？\n", MsgIcon::Question,
            Answer::Yes)) {
        case Answer::Yes:
            record.SetText("Suffix", "御中");
            suffixChanged = true;
            return NameCheck::Go;
        case Answer::No: return NameCheck::Go;
        default: return NameCheck::Stop;
        }
    }
    return NameCheck::Go;
}

// ---------------------------------------------------------------- dialog flow

std::string EntryTitle(EntryLayout layout, EntryMode mode) {
    static const char* const kind[] = {"通常タイプ", "個人タイプ", "法人タイプ"};
    static const char* const prefix[] = {"顧客を追加－", "顧客を修正－", "顧客を参照(修正することはできません)－"};
    return std::string(prefix[static_cast<int>(mode)]) + kind[static_cast<int>(layout)];
}

namespace {
constexpr const char* kAddFailed = "顧客が追加できませんでした。\n";
constexpr const char* kModifyFailed = "顧客が修正できませんでした。\n";
constexpr const char* kUpdateFailed = "顧客が更新できませんでした。\n";
constexpr const char* kAskModify = "顧客を修正します。よろしいですか？";
}  // namespace

CKokyakuEntryLogic::CKokyakuEntryLogic(EntryLayout layout, EntryMode mode, const CEntryRecord* record,
                                       bool hasPrev, bool hasNext, IKokyakuEntryHost* host)
    : m_layout(layout), m_mode(mode), m_hasPrev(hasPrev), m_hasNext(hasNext), m_host(host) {
    m_working = record ? *record : NewRecord();
    if (mode == EntryMode::Add) {
        // A copy becomes a new customer; its number comes from the add.
        m_working.id = 0;
        m_hasPrev = m_hasNext = false;
    }
    m_original = m_working;
}

CEntryRecord CKokyakuEntryLogic::NewRecord() const {
    CEntryRecord r = CEntryRecord::Blank();
    r.SetText("Suffix", "様");
    if (m_layout == EntryLayout::Corporate) {
        r.SetInt("EntryType", 0);
        r.SetInt("CommonMail", 4);
    }
    return r;
}

void CKokyakuEntryLogic::Attach(IKokyakuEntryView* view) {
    m_view = view;
    ReloadControls();
}

void CKokyakuEntryLogic::ReloadControls() {
    if (m_view) m_view->WriteControls(LoadControls(MainPageBindings(m_layout), m_working, ViewOnly()));
}

bool CKokyakuEntryLogic::SaveControlsToWorking() {
    if (!m_view) return true;
    const int failed = SaveControls(MainPageBindings(m_layout), m_view->ReadControls(), m_working);
    if (failed != 0) {
        m_view->FocusControl(failed);
        return false;
    }
    return true;
}

bool CKokyakuEntryLogic::CheckAndReload() {
    bool changed = false;
    const NameCheck r = CheckNameAndSuffix(m_working, changed);
    if (changed) ReloadControls();
    return r == NameCheck::Go;
}

bool CKokyakuEntryLogic::DoAdd() {
    const int32_t key = m_host ? m_host->AddCustomer(m_working) : -1;
    if (key < 0) {
        ShowMessage(kAddFailed);
        return false;
    }
    return true;
}

int CKokyakuEntryLogic::DoModify() {
    CEntryRecord record = m_working;
    record.id = m_original.id;
    const int r = m_host ? m_host->ModifyCustomer(m_original.id, record) : -1;
    if (r == 1) {
        m_original = record;
        m_working = record;
    }
    return r;
}

void CKokyakuEntryLogic::OnButton1() {
    switch (m_mode) {
    case EntryMode::View: ShowMessage("現在、顧客は参照のみです。修正はできません。\n"); return;
    case EntryMode::Add:
        if (!SaveControlsToWorking() || !CheckAndReload()) return;
        if (Ports::Prompt().AskYesNo("顧客を追加します。よろしいですか？", MsgIcon::Information, Answer::Yes) !=
            Answer::Yes)
            return;
        if (DoAdd()) {
            m_working = NewRecord();
            m_original = m_working;
            ReloadControls();
        }
        return;
    case EntryMode::Change:
        if (!SaveControlsToWorking() || !CheckAndReload()) return;
        if (Ports::Prompt().AskYesNo(kAskModify, MsgIcon::Information, Answer::Yes) != Answer::Yes) return;
        if (DoModify() == 1)
            ReloadControls();
        else
            ShowMessage(kModifyFailed);
        return;
    }
}

bool CKokyakuEntryLogic::OnClose() {
    if (m_mode == EntryMode::View) return true;
    if (!SaveControlsToWorking()) return false;
    if (!RecordsDiffer(m_working, m_original)) return true;
    if (m_mode == EntryMode::Change) {
        if (Ports::Prompt().AskYesNo("顧客を修正しますか？\n【はい】で修正してダイアログを閉じます。\n【いいえ】で修正せずにダイアログを閉じます。",
                                     MsgIcon::Information, Answer::Yes) != Answer::Yes)
            return true;
        if (!CheckAndReload()) return false;
        if (DoModify() == 1) return true;
        ShowMessage(kModifyFailed);
        return false;
    }
    if (Ports::Prompt().AskYesNo("顧客を追加しますか？\n【はい】で追加してダイアログを閉じます。\n【いいえ】で追加せずにダイアログを閉じます。",
                                 MsgIcon::Information, Answer::Yes) != Answer::Yes)
        return true;
    if (!CheckAndReload()) return false;
    return DoAdd();
}

void CKokyakuEntryLogic::Move(bool next) {
    if (m_mode == EntryMode::Add || !m_host) return;
    if (m_mode == EntryMode::Change) {
        if (!SaveControlsToWorking()) return;
        if (RecordsDiffer(m_working, m_original)) {
            if (!CheckAndReload()) return;
            if (Ports::Prompt().AskYesNo(kAskModify, MsgIcon::Information, Answer::Yes) != Answer::Yes) return;
            if (DoModify() != 1) {
                ShowMessage(kUpdateFailed);
                return;
            }
        }
    }
    std::optional<NeighbourCustomer> n = next ? m_host->NextCustomer() : m_host->PrevCustomer();
    if (!n) return;
    m_original = n->record;
    m_working = n->record;
    if (next) {
        m_hasPrev = true;
        m_hasNext = n->further;
    } else {
        m_hasNext = true;
        m_hasPrev = n->further;
    }
    ReloadControls();
}

// ---------------------------------------------------------------- sub-dialogs

namespace {

std::vector<EntryBinding> NotesBindings() {
    std::vector<EntryBinding> b = {{EntryCtl::Note1, "Note1", K::Text, 255}};
    static const char* const names[] = {"Note2", "Note3", "Note4", "Note5", "Note6",
                                        "Note7", "Note8", "Note9", "Note10"};
    for (int i = 0; i < 9; ++i) b.push_back({EntryCtl::Note2 + i, names[i], K::Text, 255});
    return b;
}

std::vector<EntryBinding> CompanyDetailsBindings() {
    return {
        {1231, "CompType", K::Text, 50},       {1082, "Represent", K::Text, 50},      {1184, "ClosingDay", K::ClosingDay},
        {1097, "ClosingDate", K::Month},       {1098, "TaxMethod", K::List},          {1230, "PayMethod", K::Text, 50},
        {1122, "Bank1", K::Text, 255},         {1182, "Bank2", K::Text, 255},         {1100, "MainMerchant1", K::Text, 100},
        {1101, "MainMerchant2", K::Text, 100}, {1102, "MainMerchant3", K::Text, 100}, {1103, "MainMerchant4", K::Text, 100},
        {1104, "MainMerchant5", K::Text, 100},
    };
}

std::vector<EntryBinding> CompanyInfoBindings() {
    return {
        {1088, "TEL_Office", K::Text, 20},     {1089, "FAX_Office", K::Text, 20},     {1078, "CompName", K::Text, 100},
        {1079, "CompYomi", K::Text, 100},      {1077, "CellPhone2", K::Text, 20},     {1080, "Section", K::Text, 100},
        {1081, "Post", K::Text, 100},          {1084, "Zip_Office", K::Text, 10},     {1096, "URL2", K::Url, 255},
        {1086, "Add2_Office", K::Text, 255},   {1087, "Add3_Office", K::Text, 255},   {1085, "Add1_Office", K::Text, 20},
        {1093, "EMail4", K::Text, 255},        {1094, "EMail5", K::Text, 255},        {1122, "Bank1", K::Text, 255},
        {1182, "Bank2", K::Text, 255},         {1100, "MainMerchant1", K::Text, 100}, {1101, "MainMerchant2", K::Text, 100},
        {1102, "MainMerchant3", K::Text, 100}, {1103, "MainMerchant4", K::Text, 100}, {1104, "MainMerchant5", K::Text, 100},
        {1082, "Represent", K::Text, 50},      {1098, "TaxMethod", K::List},          {1230, "PayMethod", K::Text, 50},
        {1231, "CompType", K::Text, 50},       {1097, "ClosingDate", K::Month},       {EntryCtl::Mail, "CommonMail", K::Mail, 0, 4, 5},
        {1184, "ClosingDay", K::ClosingDay},
    };
}

std::vector<EntryBinding> HomeInfoBindings() {
    return {
        {1074, "TEL_Home", K::Text, 20},   {1075, "FAX_Home", K::Text, 20},    {1070, "Zip_Home", K::Text, 10},
        {1071, "Add1_Home", K::Text, 20},  {1072, "Add2_Home", K::Text, 255},  {1073, "Add3_Home", K::Text, 255},
        {1076, "CellPhone1", K::Text, 20}, {1090, "EMail1", K::Text, 255},     {1091, "EMail2", K::Text, 255},
        {1092, "EMail3", K::Text, 255},    {1095, "URL1", K::Url, 255},        {EntryCtl::Mail, "CommonMail", K::Mail, 0, 1, 3},
        {1110, "BirthDay", K::Date},
    };
}

}  // namespace

const std::vector<EntryBinding>& SubDialogBindings(SubDialogKind kind) {
    static const std::vector<EntryBinding> notes = NotesBindings();
    static const std::vector<EntryBinding> details = CompanyDetailsBindings();
    static const std::vector<EntryBinding> company = CompanyInfoBindings();
    static const std::vector<EntryBinding> home = HomeInfoBindings();
    switch (kind) {
    case SubDialogKind::Notes: return notes;
    case SubDialogKind::CompanyDetails: return details;
    case SubDialogKind::CompanyInfo: return company;
    default: return home;
    }
}

std::string SubDialogTitle(SubDialogKind kind, bool viewOnly) {
    switch (kind) {
    case SubDialogKind::Notes: return viewOnly ? "備考を参照(修正することはできません)" : "備考";
    case SubDialogKind::CompanyDetails:
        return viewOnly ? "会社詳細情報を参照(修正することはできません)" : "会社詳細情報";
    case SubDialogKind::CompanyInfo: return viewOnly ? "会社情報を参照(修正することはできません)" : "会社情報の登録";
    default: return viewOnly ? "自宅情報を参照(修正することはできません)" : "自宅情報の登録";
    }
}

SubDialogKind LayoutSubDialog(EntryLayout layout) {
    switch (layout) {
    case EntryLayout::Individual: return SubDialogKind::CompanyInfo;
    case EntryLayout::Corporate: return SubDialogKind::HomeInfo;
    default: return SubDialogKind::CompanyDetails;
    }
}

CEntryRecord SubDialogInput(const CEntryRecord& working, int pageMail, const std::string* pageNote1) {
    CEntryRecord r = working;
    if (pageMail >= 1 && pageMail <= 5) r.SetInt("CommonMail", pageMail);
    if (pageNote1) r.SetText("Note1", *pageNote1);
    return r;
}

bool ApplySubDialog(SubDialogKind kind, const CEntryRecord& edited, CEntryRecord& working) {
    bool tookMail = false;
    for (const auto& b : SubDialogBindings(kind)) {
        if (b.kind == K::Mail) {
            const int v = edited.Int(b.field);
            if (v >= b.first && v <= b.last) {
                working.SetInt(b.field, v);
                tookMail = true;
            }
            continue;
        }
        switch (b.kind) {
        case K::Text:
        case K::Url: working.SetText(b.field, edited.Text(b.field)); break;
        case K::Date: working.SetDate(b.field, edited.Date(b.field)); break;
        default: working.SetInt(b.field, edited.Int(b.field)); break;
        }
    }
    return tookMail;
}
