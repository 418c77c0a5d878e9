// Shared by the benchmarks: a generator of realistic customers and history
// entries, a scratch folder, timing and the result line.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "db/JetSql.h"
#include "db/MilvaneData.h"
#include "common/DateTime.h"
#include "common/SjisText.h"
#include "customers/Kokyaku.h"
#include "customers/MasterColSet.h"
#include "extract/ExCondition.h"
#include "extract/ExQueryBuilder.h"
#include "history/RirekiData.h"

namespace bench {

// ------------------------------------------------------------------ generator

struct Reading {
    const char* kanji;
    const char* kana;    // half-width katakana
    const char* romaji;  // for mail addresses
};

inline const Reading kSurnames[] = {
    {"佐藤", "ｻﾄｳ", "sato"},       {"鈴木", "ｽｽﾞｷ", "suzuki"},     {"高橋", "ﾀｶﾊｼ", "takahashi"},
    {"田中", "ﾀﾅｶ", "tanaka"},     {"伊藤", "ｲﾄｳ", "ito"},         {"渡辺", "ﾜﾀﾅﾍﾞ", "watanabe"},
    {"山本", "ﾔﾏﾓﾄ", "yamamoto"},  {"中村", "ﾅｶﾑﾗ", "nakamura"},   {"小林", "ｺﾊﾞﾔｼ", "kobayashi"},
    {"加藤", "ｶﾄｳ", "kato"},       {"吉田", "ﾖｼﾀﾞ", "yoshida"},    {"山田", "ﾔﾏﾀﾞ", "yamada"},
    {"佐々木", "ｻｻｷ", "sasaki"},   {"山口", "ﾔﾏｸﾞﾁ", "yamaguchi"}, {"松本", "ﾏﾂﾓﾄ", "matsumoto"},
    {"井上", "ｲﾉｳｴ", "inoue"},     {"木村", "ｷﾑﾗ", "kimura"},      {"林", "ﾊﾔｼ", "hayashi"},
    {"斎藤", "ｻｲﾄｳ", "saito"},     {"清水", "ｼﾐｽﾞ", "shimizu"},
};
inline const Reading kMaleNames[] = {
    {"太郎", "ﾀﾛｳ", "taro"},   {"一郎", "ｲﾁﾛｳ", "ichiro"}, {"健太", "ｹﾝﾀ", "kenta"}, {"大輔", "ﾀﾞｲｽｹ", "daisuke"},
    {"翔太", "ｼｮｳﾀ", "shota"}, {"誠", "ﾏｺﾄ", "makoto"},    {"浩二", "ｺｳｼﾞ", "koji"}, {"隆", "ﾀｶｼ", "takashi"},
};
inline const Reading kFemaleNames[] = {
    {"花子", "ﾊﾅｺ", "hanako"}, {"美咲", "ﾐｻｷ", "misaki"}, {"陽子", "ﾖｳｺ", "yoko"},   {"由美", "ﾕﾐ", "yumi"},
    {"恵子", "ｹｲｺ", "keiko"},  {"愛", "ｱｲ", "ai"},        {"さくら", "ｻｸﾗ", "sakura"}, {"直美", "ﾅｵﾐ", "naomi"},
};

struct Area {
    const char* prefecture;
    const char* city;
    const char* zip3;
    const char* tel;  // area code
};
inline const Area kAreas[] = {
    {"東京都", "千代田区", "100", "03"},       {"東京都", "新宿区", "160", "03"},
    {"東京都", "世田谷区", "154", "03"},       {"神奈川県", "横浜市中区", "231", "045"},
    {"大阪府", "大阪市北区", "530", "06"},     {"愛知県", "名古屋市中区", "460", "052"},
    {"福岡県", "福岡市博多区", "812", "092"},  {"北海道", "札幌市中央区", "060", "011"},
    {"京都府", "京都市左京区", "606", "075"},  {"宮城県", "仙台市青葉区", "980", "022"},
};
inline const char* const kTowns[] = {"丸の内", "本町", "中央", "栄", "東町", "緑が丘", "桜台", "旭町", "港町", "若葉"};
inline const char* const kBuildings[] = {"", "", "", "", "第一ビル3F", "グリーンハイツ201", "サンシャインマンション805",
                                         "中央ビル1F"};
inline const Reading kCompanyStems[] = {
    {"みどり", "ﾐﾄﾞﾘ", "midori"}, {"さくら", "ｻｸﾗ", "sakura"}, {"東邦", "ﾄｳﾎｳ", "toho"},
    {"日本", "ﾆｯﾎﾟﾝ", "nippon"},  {"大和", "ﾔﾏﾄ", "yamato"},   {"富士", "ﾌｼﾞ", "fuji"},
};
inline const Reading kCompanyKinds[] = {
    {"商事", "ｼｮｳｼﾞ", "shoji"}, {"物産", "ﾌﾞｯｻﾝ", "bussan"}, {"工業", "ｺｳｷﾞｮｳ", "kogyo"},
    {"電機", "ﾃﾞﾝｷ", "denki"},  {"食品", "ｼｮｸﾋﾝ", "foods"},  {"印刷", "ｲﾝｻﾂ", "insatsu"},
};
inline const char* const kSections[] = {"営業部", "総務部", "経理部", "企画部", "購買課"};
inline const char* const kPosts[] = {"部長", "課長", "主任", "代表取締役", ""};
inline const char* const kBanks[] = {"みずほ銀行 本店", "三井住友銀行 新宿支店", "りそな銀行 梅田支店",
                                     "ゆうちょ銀行", "横浜銀行 関内支店", ""};
inline const char* const kCompTypes[] = {"小売業", "製造業", "サービス業", "飲食業", "建設業"};
inline const char* const kPayMethods[] = {"現金", "銀行振込", "クレジットカード", "代金引換"};
inline const char* const kStaff[] = {"佐々木", "田中", "鈴木", "高橋", "伊藤"};
inline const char* const kNotes[] = {"年賀状送付済み", "駐車場あり", "午前中の連絡を希望", "紹介：山田様",
                                     "カタログ送付希望", "", "", ""};
inline const char* const kRanks[] = {"A", "B", "C", ""};
inline const char* const kImportance[] = {"高", "中", "低", ""};

struct Dealing {
    const char* title;
    int weight;
    bool priced;
};
inline const Dealing kDealings[] = {
    {"購入", 40, true}, {"問合せ", 20, false}, {"DM", 15, false},    {"見積", 10, true},
    {"クレーム", 5, false}, {"メール", 5, false}, {"訪問", 5, false},
};
inline const char* const kProducts[] = {"ボールペン 10本", "コピー用紙 A4 5箱", "トナーカートリッジ", "名刺 100枚",
                                        "事務机", "ファイル 20冊", "封筒 長3 500枚", "プリンター"};
inline const char* const kKeywords[] = {"文具", "事務用品", "印刷", "家具", "機器"};

class Generator {
public:
    explicit Generator(uint64_t seed = 20041) : m_rng(seed) {}

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Uniform(0, int(N) - 1)];
    }
    bool Chance(int percent) { return Uniform(0, 99) < percent; }

    CDateTime Day(int y0, int y1) {
        double d0 = CDateTime::FromParts(y0, 1, 1).Days(), d1 = CDateTime::FromParts(y1, 12, 31).Days();
        return CDateTime(std::floor(std::uniform_real_distribution<double>(d0, d1)(m_rng)));
    }
    CDateTime DayTime(int y0, int y1) {
        return CDateTime(Day(y0, y1).Days() + Uniform(9 * 60, 19 * 60) / 1440.0);
    }

    std::string Phone(const char* area) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s-%04d-%04d", area, Uniform(1000, 9999), Uniform(0, 9999));
        return buf;
    }

    CKokyaku Customer(int n) {
        CKokyaku k;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%06d", n);
        k.CustomerID = buf;
        const Reading& sur = Pick(kSurnames);
        k.Sex = Chance(50) ? 0 : 1;
        const Reading& giv = k.Sex == 0 ? Pick(kMaleNames) : Pick(kFemaleNames);
        k.EntryType = Chance(30) ? 0 : 1;
        k.CustomerType = Chance(15) ? 1 : 0;
        k.Name = std::string(sur.kanji) + giv.kanji;
        k.Yomi = std::string(sur.kana) + giv.kana;
        k.Suffix = k.EntryType == 0 ? "御中" : "様";
        k.StartDate = DayTime(2010, 2025);
        k.LastUpDate = DayTime(2024, 2026);
        k.RirekiUpDate = k.LastUpDate;
        k.TantouName = Pick(kStaff);
        if (Chance(70)) k.BirthDay = Day(1940, 2005);
        const Area& home = Pick(kAreas);
        std::snprintf(buf, sizeof buf, "%s-%04d", home.zip3, Uniform(0, 9999));
        k.Zip_Home = buf;
        k.Add1_Home = home.prefecture;
        k.Add2_Home = home.city;
        std::snprintf(buf, sizeof buf, "%d丁目%d番%d号", Uniform(1, 5), Uniform(1, 30), Uniform(1, 20));
        k.Add3_Home = std::string(Pick(kTowns)) + buf + Pick(kBuildings);
        k.TEL_Home = Phone(home.tel);
        if (Chance(30)) k.FAX_Home = Phone(home.tel);
        if (Chance(60)) k.CellPhone1 = Phone("090");
        std::snprintf(buf, sizeof buf, "%s.%s%d@example.jp", giv.romaji, sur.romaji, n);
        k.EMail1 = buf;
        if (k.EntryType == 0 || Chance(20)) {
            const Reading& stem = Pick(kCompanyStems);
            const Reading& kind = Pick(kCompanyKinds);
            k.CompName = std::string("株式会社") + stem.kanji + kind.kanji;
            k.CompYomi = std::string("ｶﾌﾞｼｷｶﾞｲｼｬ") + stem.kana + kind.kana;
            k.Section = Pick(kSections);
            k.Post = Pick(kPosts);
            k.Represent = std::string(Pick(kSurnames).kanji) + Pick(kMaleNames).kanji;
            k.CompType = Pick(kCompTypes);
            const Area& office = Pick(kAreas);
            std::snprintf(buf, sizeof buf, "%s-%04d", office.zip3, Uniform(0, 9999));
            k.Zip_Office = buf;
            k.Add1_Office = office.prefecture;
            k.Add2_Office = office.city;
            std::snprintf(buf, sizeof buf, "%d-%d-%d", Uniform(1, 5), Uniform(1, 30), Uniform(1, 20));
            k.Add3_Office = std::string(Pick(kTowns)) + buf + " " + stem.kanji + "ビル";
            k.TEL_Office = Phone(office.tel);
            k.FAX_Office = Phone(office.tel);
            std::snprintf(buf, sizeof buf, "info%d@%s-%s.co.jp", n, stem.romaji, kind.romaji);
            k.EMail4 = buf;
            std::snprintf(buf, sizeof buf, "https://www.%s-%s.co.jp/", stem.romaji, kind.romaji);
            k.URL2 = buf;
            k.ClosingDate = Uniform(1, 12);
            k.ClosingDay = Chance(50) ? 99 : Uniform(1, 31);
            k.TaxMethod = Uniform(0, 4);
            k.PayMethod = Pick(kPayMethods);
            k.Bank1 = Pick(kBanks);
            k.MainMerchant1 = std::string("株式会社") + Pick(kCompanyStems).kanji + Pick(kCompanyKinds).kanji;
            if (Chance(40)) k.MainMerchant2 = std::string(Pick(kCompanyStems).kanji) + Pick(kCompanyKinds).kanji;
        }
        k.ImportantRanking = Pick(kImportance);
        k.Ranking1 = Pick(kRanks);
        k.Ranking2 = Pick(kRanks);
        k.Note1 = Pick(kNotes);
        if (Chance(20)) k.Note2 = Pick(kNotes);
        k.CommonMail = 1;
        if (Chance(10)) k.ColorMark = 0x0000FF;
        UpdatePhoneNumbers(k);
        return k;
    }

    CRirekiData Rireki() {
        int total = 0;
        for (const Dealing& d : kDealings) total += d.weight;
        int r = Uniform(0, total - 1);
        const Dealing* deal = &kDealings[0];
        for (const Dealing& d : kDealings) {
            if (r < d.weight) {
                deal = &d;
                break;
            }
            r -= d.weight;
        }
        CRirekiData h;
        h.ActionTitle = deal->title;
        h.Date = DayTime(2015, 2026);
        h.TantouName = Pick(kStaff);
        if (deal->priced) {
            h.Action = std::string(Pick(kProducts)) + " ご注文ありがとうございました。";
            h.Money = Uniform(10, 10000) * 10;
            h.Keyword = Pick(kKeywords);
        } else {
            h.Action = std::string(deal->title) + "の対応。担当者より折り返し連絡済み。";
        }
        return h;
    }

    std::mt19937_64& Rng() { return m_rng; }

private:
    std::mt19937_64 m_rng;
};

inline CKokyakuList MakeCustomers(Generator& gen, int count) {
    CKokyakuList list;
    list.reserve(size_t(count));
    for (int i = 1; i <= count; ++i) list.push_back(std::make_unique<CKokyaku>(gen.Customer(i)));
    return list;
}

// ------------------------------------------------------------------ scratch folder

class ScratchFolder {
public:
    ScratchFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "milvane-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = tmpl;
    }
    ~ScratchFolder() {
        if (std::getenv("MILVANE_BENCH_KEEP")) {  // for looking at the data afterwards
            std::fprintf(stderr, "data kept in %s\n", m_path.c_str());
            return;
        }
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& Path() const { return m_path; }
    std::string Sub(const std::string& name) const {
        std::string p = m_path + "/" + name;
        std::filesystem::create_directories(p);
        return p;
    }

private:
    std::string m_path;
};

// An empty database in folder, opened by db.
inline void OpenNewDatabase(CMilvaneData& db, const std::string& folder) {
    std::string error;
    if (!CreateEmptyMilvaneDatabase(folder + "/" + kDatabaseFileName, &error)) {
        std::fprintf(stderr, "cannot create the database: %s\n", error.c_str());
        std::exit(1);
    }
    if (db.InitDB(folder) != 1) {
        std::fprintf(stderr, "cannot open the database: %s\n", db.LastError().c_str());
        std::exit(1);
    }
}

// A second connection to the same file for the hand-written side.
inline sqlite3* OpenRaw(const std::string& file, bool readOnly) {
    sqlite3* db = nullptr;
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s: %s\n", file.c_str(), sqlite3_errmsg(db));
        std::exit(1);
    }
    // The settings the customer database uses for its own connection.
    sqlite3_exec(db, "PRAGMA cache_size=-65536; PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
    if (!readOnly) sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);  // rollback journal, as created
    return db;
}

inline void Check(bool ok, const char* what, sqlite3* db = nullptr) {
    if (ok) return;
    std::fprintf(stderr, "%s failed%s%s\n", what, db ? ": " : "", db ? sqlite3_errmsg(db) : "");
    std::exit(1);
}

// ------------------------------------------------------------------ filling

// A new database in folder holding `count` generated customers; returns their keys.
inline CKeyArray OpenFilledDatabase(CMilvaneData& db, const std::string& folder, Generator& gen, int count) {
    OpenNewDatabase(db, folder);
    CKokyakuList list = MakeCustomers(gen, count);
    CKeyArray refused, keys;
    Check(db.AddNewKokyaku(list, refused) == 1, "adding the customers");
    for (auto& k : list) keys.push_back(uint32_t(k->ID));
    return keys;
}

// A scratch data folder holding a new database of `customers` generated customers.
struct FilledData {
    explicit FilledData(int customers) { keys = OpenFilledDatabase(db, folder, gen, customers); }

    ScratchFolder scratch;
    std::string folder = scratch.Sub("data");
    Generator gen;
    CMilvaneData db;
    CKeyArray keys;  // of the customers
};

// `count` history entries in batches: one entry for each of up to 5,000
// distinct random customers out of `keys`, which end up reordered.
inline void AddHistory(CMilvaneData& db, Generator& gen, CKeyArray& keys, int count) {
    const int batch = std::min(5000, int(keys.size()));
    const CDateTime now = CDateTime::Now();
    for (int added = 0; added < count; added += batch) {
        CRirekiData r = gen.Rireki();
        const size_t take = size_t(std::min(batch, count - added));
        for (size_t i = 0; i < take; ++i)  // the first `take` keys become a random choice
            std::swap(keys[i], keys[i + size_t(gen.Uniform(0, int(keys.size() - i) - 1))]);
        CKeyArray some(keys.begin(), keys.begin() + long(take));
        Check(db.AddNewRireki(some, r, now) == 1, "adding history");
    }
}

// `count` generated history entries written straight through db, inside the
// caller's transaction; place(i) gives entry i's customer key and date.
inline void InsertHistory(sqlite3* db, Generator& gen, int count,
                          const std::function<std::pair<int, double>(int, const CRirekiData&)>& place) {
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db,
                             "INSERT INTO Rireki (CustomerID, Date, ActionTitle, Action, Money, Keyword, "
                             "TantouName) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                             -1, &st, nullptr) == SQLITE_OK,
          "prepare insert", db);
    for (int i = 0; i < count; ++i) {
        const CRirekiData r = gen.Rireki();
        const auto [customer, date] = place(i, r);
        sqlite3_bind_int(st, 1, customer);
        sqlite3_bind_double(st, 2, date);
        sqlite3_bind_text(st, 3, r.ActionTitle.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, r.Action.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 5, r.Money);
        sqlite3_bind_text(st, 6, r.Keyword.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 7, r.TantouName.c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(st) == SQLITE_DONE, "insert", db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// Points the install folder's datadir.dat at the data folder.
inline void WriteDataDir(const std::string& install, const std::string& folder) {
    std::filesystem::create_directories(install + "/Data/MyData");
    if (std::FILE* f = std::fopen((install + "/Data/MyData/datadir.dat").c_str(), "wb")) {
        const std::string dir = Utf8ToSjis(folder);
        std::fwrite(dir.data(), 1, dir.size(), f);
        std::fclose(f);
    }
}

// ------------------------------------------------------------------ statements

// A text column of the current row.
inline std::string ColumnText(sqlite3_stmt* st, int col) {
    const unsigned char* p = sqlite3_column_text(st, col);
    return p ? std::string(reinterpret_cast<const char*>(p), size_t(sqlite3_column_bytes(st, col))) : std::string();
}

// The first result column called name (any case), or -1.
inline int ColumnIndex(sqlite3_stmt* st, const char* name) {
    for (int i = 0, n = sqlite3_column_count(st); i < n; ++i)
        if (sqlite3_stricmp(sqlite3_column_name(st, i), name) == 0) return i;
    return -1;
}

// One row of the extraction dialog: field, value, operator by its display text.
inline ExRowInput ExRow(const CExQueryBuilder& b, const char* ref, const char* value, const char* op, int connector) {
    ExRowInput in;
    in.field = b.IndexOf(ref);
    in.value = value;
    in.connector = connector;
    const auto ops = ExOperatorsFor(ref);
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (std::string(ops[i].display) == op) in.op = int(i);
    return in;
}

// ------------------------------------------------------------------ timing

inline double Seconds(const std::function<void()>& work) {
    auto t0 = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Runs both sides alternately and keeps the best time of each.
inline void Compare(const char* name, int rounds, const std::function<void()>& ours, const std::function<void()>& raw) {
    double bestOurs = 1e30, bestRaw = 1e30;
    for (int r = 0; r < rounds; ++r) {
        bestOurs = std::min(bestOurs, Seconds(ours));
        bestRaw = std::min(bestRaw, Seconds(raw));
    }
    std::printf("BENCH %s ours=%.4f raw=%.4f ratio=%.2f\n", name, bestOurs, bestRaw, bestOurs / bestRaw);
    std::fflush(stdout);
}

// A three-row customer extraction as the extraction dialog builds it, (name
// prefix AND sex) OR closing day, run by ExtractKokyaku against the same
// translated statement stepped directly on SQLite.
inline void CompareThreeRowExtraction(const char* name, CMilvaneData& db, int rounds) {
    CMLVColSet set("");
    set.columns = MasterColumns();
    CExQueryBuilder builder(ExFieldList(set));
    std::array<ExRowInput, 3> rows = {ExRow(builder, "[Customer].[Name]", "山田", "で始まる", kConnAnd),
                                      ExRow(builder, "[Customer].[Sex]", "女", "と等しい", kConnOr),
                                      ExRow(builder, "[Customer].[ClosingDay]", "99", "と等しい", kConnEnd)};
    CExCondition condition;
    Check(builder.BuildStatement(rows, 0, condition), "building the statement");
    std::string error;
    const std::optional<std::string> translated = TranslateJetSql(condition.QueryText, &error);
    Check(translated.has_value(), "translating the statement");

    sqlite3* raw = OpenRaw(db.GetMLVFName(), true);
    Check(RegisterJetFunctions(raw), "registering the functions", raw);
    CKeyArray oursKeys, rawKeys;
    Compare(
        name, rounds,
        [&] {
            oursKeys.clear();
            Check(db.ExtractKokyaku(condition.QueryText, oursKeys) == 1, "ExtractKokyaku");
        },
        [&] {
            rawKeys.clear();
            sqlite3_stmt* st = nullptr;
            Check(sqlite3_prepare_v2(raw, translated->c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            const int id = std::max(0, ColumnIndex(st, "ID"));
            while (sqlite3_step(st) == SQLITE_ROW) rawKeys.push_back(uint32_t(sqlite3_column_int(st, id)));
            sqlite3_finalize(st);
        });
    std::sort(oursKeys.begin(), oursKeys.end());
    std::sort(rawKeys.begin(), rawKeys.end());
    Check(!rawKeys.empty() && oursKeys == rawKeys, "the same customers");
    sqlite3_close(raw);
}

// The history screen's work on the bare engine: every entry's key and date
// newest first, then the first page of rows by key with their customers'
// texts (appended to `shown`).
struct HistoryKey {
    int id;
    double date;
};
inline std::vector<HistoryKey> ReadHistoryScreenRaw(sqlite3* raw, std::string& shown) {
    std::vector<HistoryKey> rows;
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(raw, "SELECT ID, Date FROM Rireki ORDER BY Date DESC, ID DESC", -1, &st, nullptr) ==
              SQLITE_OK,
          "prepare", raw);
    while (sqlite3_step(st) == SQLITE_ROW)
        rows.push_back({sqlite3_column_int(st, 0),
                        sqlite3_column_type(st, 1) == SQLITE_NULL ? -1e300 : sqlite3_column_double(st, 1)});
    sqlite3_finalize(st);
    Check(sqlite3_prepare_v2(raw,
                             "SELECT r.Date, r.ActionTitle, r.Action, r.Money, r.Keyword, r.TantouName, c.CustomerID, "
                             "c.Name, c.CompName FROM Rireki r LEFT JOIN Customer c ON c.ID = r.CustomerID WHERE r.ID = ?1",
                             -1, &st, nullptr) == SQLITE_OK,
          "prepare", raw);
    for (std::size_t i = 0; i < rows.size() && i < 128; ++i) {
        sqlite3_bind_int(st, 1, rows[i].id);
        if (sqlite3_step(st) == SQLITE_ROW)
            for (int c : {1, 2, 4, 5, 6, 7, 8}) shown += ColumnText(st, c);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    return rows;
}
// The keys sorted by date ascending, equal dates in their order.
inline void SortHistoryKeysRaw(std::vector<HistoryKey>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const HistoryKey& a, const HistoryKey& b) { return a.date < b.date; });
}

inline int EnvInt(const char* name, int def) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : def;
}

}  // namespace bench
