#include "db/MilvaneData.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "db/JetSql.h"
#include "db/MilvaneDataSchema.h"
#include "common/Ports.h"
#include "common/SjisText.h"

namespace {

// ------------------------------------------------------------------ statements

// A statement owned by this object (finalized at destruction).
class Stmt {
public:
    Stmt() = default;
    explicit Stmt(sqlite3_stmt* s) : m_s(s) {}
    ~Stmt() { sqlite3_finalize(m_s); }
    Stmt(Stmt&& o) noexcept : m_s(std::exchange(o.m_s, nullptr)) {}
    Stmt& operator=(Stmt&& o) noexcept {
        std::swap(m_s, o.m_s);
        return *this;
    }
    sqlite3_stmt* get() const { return m_s; }
    explicit operator bool() const { return m_s != nullptr; }

private:
    sqlite3_stmt* m_s = nullptr;
};

// Use of a cached statement: reset and unbound when the scope ends.
class Use {
public:
    explicit Use(sqlite3_stmt* s) : m_s(s) {}
    ~Use() {
        if (m_s) {
            sqlite3_reset(m_s);
            sqlite3_clear_bindings(m_s);
        }
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    sqlite3_stmt* get() const { return m_s; }
    explicit operator bool() const { return m_s != nullptr; }

private:
    sqlite3_stmt* m_s;
};

// The text must live until the statement is reset (every use steps at once).
void BindText(sqlite3_stmt* s, int i, const std::string& t) {
    sqlite3_bind_text(s, i, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
}

void BindDate(sqlite3_stmt* s, int i, const CDateTime& d) {
    if (d.IsValid())
        sqlite3_bind_double(s, i, d.Days());
    else
        sqlite3_bind_null(s, i);
}

void BindValue(sqlite3_stmt* s, int i, int32_t v) { sqlite3_bind_int(s, i, v); }
void BindValue(sqlite3_stmt* s, int i, const std::string& v) { BindText(s, i, v); }
void BindValue(sqlite3_stmt* s, int i, const CDateTime& v) { BindDate(s, i, v); }

// Binds the values to parameters ?1..?n in order.
template <class... T>
void BindAll(sqlite3_stmt* s, const T&... values) {
    int i = 0;
    (BindValue(s, ++i, values), ...);
}

void ColumnText(sqlite3_stmt* s, int i, std::string& out) {
    const unsigned char* p = sqlite3_column_text(s, i);
    if (p)
        out.assign(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
    else
        out.clear();
}

CDateTime ColumnDate(sqlite3_stmt* s, int i) {
    if (sqlite3_column_type(s, i) == SQLITE_NULL) return CDateTime();
    return CDateTime(sqlite3_column_double(s, i));
}

// ------------------------------------------------------------------ customer columns

const std::string& CustomerColumnList() {
    static const std::string list = [] {
        std::string s;
        for (const KokyakuField& f : KokyakuFields()) {
            if (!s.empty()) s += ',';
            s += f.name;
        }
        return s;
    }();
    return list;
}

const std::string& CustomerSelectSql() {
    static const std::string sql = "SELECT " + CustomerColumnList() + " FROM Customer";
    return sql;
}

// Every field but ID, bound as ?1..?N in field order.
const std::string& CustomerInsertSql() {
    static const std::string sql = [] {
        std::string cols, vals;
        int n = 0;
        for (const KokyakuField& f : KokyakuFields()) {
            if (f.flags & kFieldKey) continue;
            if (n++) {
                cols += ',';
                vals += ',';
            }
            cols += f.name;
            vals += '?' + std::to_string(n);
        }
        return "INSERT INTO Customer (" + cols + ") VALUES (" + vals + ")";
    }();
    return sql;
}

// SET of every field but ID as ?1..?N, the key as ?N+1.
const std::string& CustomerUpdateSql() {
    static const std::string sql = [] {
        std::string set;
        int n = 0;
        for (const KokyakuField& f : KokyakuFields()) {
            if (f.flags & kFieldKey) continue;
            if (n++) set += ',';
            set += f.name;
            set += "=?" + std::to_string(n);
        }
        return "UPDATE Customer SET " + set + " WHERE ID=?" + std::to_string(n + 1);
    }();
    return sql;
}

void BindField(sqlite3_stmt* s, int i, const KokyakuField& f, const CKokyaku& k) {
    switch (f.kind) {
    case KokyakuFieldKind::Text: BindText(s, i, f.Text(k)); break;
    case KokyakuFieldKind::Integer:
    case KokyakuFieldKind::Coded:
    case KokyakuFieldKind::Colour: sqlite3_bind_int(s, i, f.Int(k)); break;
    case KokyakuFieldKind::Date: BindDate(s, i, f.Date(k)); break;
    case KokyakuFieldKind::Number: sqlite3_bind_double(s, i, f.Number(k)); break;
    }
}

// Binds every field but ID as ?1..?N; returns N. The numeric phone columns
// are the component's: they are bound from the phone texts.
int BindCustomer(sqlite3_stmt* s, const CKokyaku& k) {
    int n = 0;
    for (const KokyakuField& f : KokyakuFields()) {
        if (f.flags & kFieldKey) continue;
        ++n;
        if (f.flags & kFieldPhoneNum)
            sqlite3_bind_double(s, n, StrTelToINT(std::string_view(f.name) == "TEL_Home_X" ? k.TEL_Home : k.TEL_Office));
        else
            BindField(s, n, f, k);
    }
    return n;
}

void ReadCustomerField(sqlite3_stmt* s, int i, const KokyakuField& f, CKokyaku& k) {
    std::visit(
        [&](auto member) {
            using M = decltype(member);
            if constexpr (std::is_same_v<M, KokyakuField::TextMember>)
                ColumnText(s, i, k.*member);
            else if constexpr (std::is_same_v<M, KokyakuField::IntMember>)
                k.*member = sqlite3_column_int(s, i);
            else if constexpr (std::is_same_v<M, KokyakuField::DateMember>)
                k.*member = ColumnDate(s, i);
            else
                k.*member = sqlite3_column_double(s, i);
        },
        f.member);
}

// Decodes a row of CustomerSelectSql.
void ReadCustomer(sqlite3_stmt* s, CKokyaku& k) {
    int i = 0;
    for (const KokyakuField& f : KokyakuFields()) ReadCustomerField(s, i++, f, k);
}

// "SELECT ID, <fields> FROM Customer" for some fields (indexes into KokyakuFields()).
std::string CustomerFieldsSql(const std::vector<int>& fields) {
    std::string sql = "SELECT ID";
    for (int index : fields) {
        sql += ',';
        sql += KokyakuFields()[static_cast<std::size_t>(index)].name;
    }
    return sql + " FROM Customer";
}

// Decodes a row of CustomerFieldsSql into the key and those fields of k.
void ReadCustomerFields(sqlite3_stmt* s, const std::vector<int>& fields, CKokyaku& k) {
    k.ID = sqlite3_column_int(s, 0);
    int i = 1;
    for (int index : fields) ReadCustomerField(s, i++, KokyakuFields()[static_cast<std::size_t>(index)], k);
}

// ------------------------------------------------------------------ history columns

constexpr const char* kRirekiColumns = "ID,CustomerID,Date,ActionTitle,Action,Money,Keyword,TantouName,Picture";

void ReadRireki(sqlite3_stmt* s, CRirekiData& r) {
    r.ID = sqlite3_column_int(s, 0);
    r.CustomerID = sqlite3_column_int(s, 1);
    r.Date = ColumnDate(s, 2);
    ColumnText(s, 3, r.ActionTitle);
    ColumnText(s, 4, r.Action);
    r.Money = sqlite3_column_double(s, 5);
    ColumnText(s, 6, r.Keyword);
    ColumnText(s, 7, r.TantouName);
    ColumnText(s, 8, r.Picture);
}

// A history list row: the key, and the date (kNoRirekiDate when NULL or absent).
CRirekiKey ReadRirekiKey(sqlite3_stmt* st, int idColumn, int dateColumn) {
    const bool dated = dateColumn >= 0 && sqlite3_column_type(st, dateColumn) != SQLITE_NULL;
    return {sqlite3_column_int(st, idColumn), dated ? sqlite3_column_double(st, dateColumn) : kNoRirekiDate};
}

// Binds Date, ActionTitle, Action, Money, Keyword, TantouName, Picture as ?first..
void BindRirekiValues(sqlite3_stmt* s, int first, const CRirekiData& r) {
    BindDate(s, first, r.Date);
    BindText(s, first + 1, r.ActionTitle);
    BindText(s, first + 2, r.Action);
    sqlite3_bind_double(s, first + 3, r.Money);
    BindText(s, first + 4, r.Keyword);
    BindText(s, first + 5, r.TantouName);
    BindText(s, first + 6, r.Picture);
}

constexpr const char* kDMColumns = "ID,Date,Title,Content,Manager,SendMethod,SendState,HistoryRegistered";

void ReadDM(sqlite3_stmt* s, CDMListData& d) {
    d.ID = sqlite3_column_int(s, 0);
    d.Date = ColumnDate(s, 1);
    ColumnText(s, 2, d.Title);
    ColumnText(s, 3, d.Content);
    ColumnText(s, 4, d.Manager);
    d.SendMethod = sqlite3_column_int(s, 5);
    d.SendState = sqlite3_column_int(s, 6);
    d.HistoryRegistered = sqlite3_column_int(s, 7);
}

// ------------------------------------------------------------------ read-only guard

// Lets a statement of the caller read tables and call functions, nothing else.
int ReadOnlyAuthorizer(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

// Only blanks, semicolons and comments may follow the statement.
bool TailIsEmpty(const char* tail) {
    std::string_view t = tail ? tail : "";
    std::size_t i = 0;
    while (i < t.size()) {
        char c = t[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';') {
            ++i;
        } else if (t.substr(i, 2) == "--") {
            std::size_t e = t.find('\n', i);
            i = e == std::string_view::npos ? t.size() : e + 1;
        } else if (t.substr(i, 2) == "/*") {
            std::size_t e = t.find("*/", i + 2);
            i = e == std::string_view::npos ? t.size() : e + 2;
        } else {
            return false;
        }
    }
    return true;
}

std::string Hostname() {
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) return {};
    return buf;
}

std::string UserName() {
    if (const passwd* pw = getpwuid(geteuid())) return pw->pw_name;
    const char* u = getenv("USER");
    return u ? u : "";
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool FsyncPath(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

std::string FolderOf(const std::string& path) {
    std::size_t p = path.find_last_of('/');
    if (p == std::string::npos) return ".";
    return p == 0 ? "/" : path.substr(0, p);
}

// "file:" URI of a path with its special characters escaped.
std::string FileUri(const std::string& path, const char* query) {
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            uri += buf;
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?" + query;
}

// Whether the file's header marks it as being in write-ahead-log mode (files
// of older versions, and their copies).
bool IsWalModeFile(const std::string& path) {
    unsigned char header[20] = {};
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool read = ::read(fd, header, sizeof header) == static_cast<ssize_t>(sizeof header);
    close(fd);
    return read && header[18] == 2 && header[19] == 2;
}

long long FileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// A rollback journal left by a change that was interrupted is rolled back by
// the first connection that may write: a reader opens the file for writing
// just for that, so that even read-only opens never meet a half-done change.
// Nothing happens when the journal belongs to a change still running.
void RollBackLeftJournal(const std::string& path) {
    if (FileSize(path + "-journal") <= 0) return;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(FileUri(path, "mode=rw").c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK) {
        sqlite3_busy_timeout(db, 3000);
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

bool IsBinaryFlag(int32_t v) { return v == 0 || v == 1; }

}  // namespace

// ====================================================================== Impl

struct CMilvaneData::Impl {
    sqlite3* db = nullptr;
    std::string dbPath;
    std::string workPath;  // "" when no work file is ours
    bool readOnly = false;
    std::string lastError;
    std::unordered_map<std::string, sqlite3_stmt*> cache;

    ~Impl() { Close(); }

    void Close() {
        for (auto& [sql, st] : cache) sqlite3_finalize(st);
        cache.clear();
        if (db) sqlite3_close_v2(db);
        db = nullptr;
        dbPath.clear();
        readOnly = false;
    }

    void Fail(std::string text) { lastError = std::move(text); }
    void FailDb(const char* what) {
        lastError = db ? std::string(what) + ": " + sqlite3_errmsg(db) : std::string(what);
    }

    // A cached statement of the component's own SQL; null (error recorded) on failure.
    sqlite3_stmt* Get(const std::string& sql) {
        if (!db) {
            Fail("データベースが開かれていません。");
            return nullptr;
        }
        auto it = cache.find(sql);
        if (it != cache.end()) return it->second;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
            FailDb("prepare");
            sqlite3_finalize(st);
            return nullptr;
        }
        cache.emplace(sql, st);
        return st;
    }

    // Runs a statement that returns no row. false (error recorded) on failure.
    bool Step(sqlite3_stmt* st) {
        int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE || rc == SQLITE_ROW) return true;
        FailDb("step");
        return false;
    }

    bool Exec(const char* sql) {
        char* msg = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) == SQLITE_OK) return true;
        lastError = msg ? msg : sqlite3_errmsg(db);
        sqlite3_free(msg);
        return false;
    }

    // Begins a write transaction; false when none can be started.
    bool Begin() {
        if (!db) {
            Fail("データベースが開かれていません。");
            return false;
        }
        if (readOnly) {
            Fail("データベースは読取専用です。");
            return false;
        }
        return Exec("BEGIN IMMEDIATE");
    }
    bool Commit() {
        if (Exec("COMMIT")) return true;
        Rollback();
        return false;
    }
    void Rollback() {
        if (db && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }

    // The write transaction of one operation: rolled back unless committed.
    class Txn {
    public:
        explicit Txn(Impl& impl) : m_impl(impl), m_active(impl.Begin()) {}
        ~Txn() {
            if (m_active) m_impl.Rollback();
        }
        Txn(const Txn&) = delete;
        Txn& operator=(const Txn&) = delete;
        explicit operator bool() const { return m_active; }
        bool Commit() {
            m_active = false;
            return m_impl.Commit();
        }

    private:
        Impl& m_impl;
        bool m_active;
    };

    // Prepares a statement of the caller: translated from the desktop dialect,
    // a single SELECT that only reads. `statement` receives the text prepared.
    Stmt PrepareUserSelect(const std::string& jet, std::string* statement = nullptr) {
        if (!db) {
            Fail("データベースが開かれていません。");
            return {};
        }
        std::string why;
        std::optional<std::string> sql = TranslateJetSql(jet, &why);
        if (!sql) {
            Fail("SQL: " + why);
            return {};
        }
        sqlite3_set_authorizer(db, ReadOnlyAuthorizer, nullptr);
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db, sql->c_str(), static_cast<int>(sql->size()), &st, &tail);
        sqlite3_set_authorizer(db, nullptr, nullptr);
        Stmt stmt(st);
        if (rc != SQLITE_OK) {
            FailDb("SQL");
            return {};
        }
        if (!st || !TailIsEmpty(tail) || !sqlite3_stmt_readonly(st)) {
            Fail("SQL: 一つのSELECT文のみ実行できます。");
            return {};
        }
        if (statement) statement->assign(sql->c_str(), static_cast<std::size_t>(tail - sql->c_str()));
        return stmt;
    }

    // The caller's statement (already checked) reduced to one of its result
    // columns, so that the engine does not read the others; empty when it
    // cannot be prepared that way.
    Stmt PrepareOneColumnOf(std::string statement, const char* column) {
        while (!statement.empty() && (statement.back() == ';' || std::isspace(static_cast<unsigned char>(statement.back()))))
            statement.pop_back();
        if (std::string_view(column).find('"') != std::string_view::npos) return {};
        std::string text = std::string("SELECT \"") + column + "\" FROM (" + statement + "\n)";
        sqlite3_set_authorizer(db, ReadOnlyAuthorizer, nullptr);
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db, text.c_str(), static_cast<int>(text.size()), &st, &tail);
        sqlite3_set_authorizer(db, nullptr, nullptr);
        Stmt stmt(st);
        if (rc != SQLITE_OK || !st || !TailIsEmpty(tail) || !sqlite3_stmt_readonly(st)) return {};
        return stmt;
    }

    bool CustomerExists(int32_t key) {
        Use u(Get("SELECT 1 FROM Customer WHERE ID=?1"));
        if (!u) return false;
        sqlite3_bind_int(u.get(), 1, key);
        return sqlite3_step(u.get()) == SQLITE_ROW;
    }

    // Sets RirekiUpDate of one customer; 1 done, 0 no such customer, -1 failed.
    int TouchCustomer(int32_t key, const CDateTime& now) {
        Use u(Get("UPDATE Customer SET RirekiUpDate=?1 WHERE ID=?2"));
        if (!u) return -1;
        BindAll(u.get(), now, key);
        if (!Step(u.get())) return -1;
        return sqlite3_changes(db) > 0 ? 1 : 0;
    }

    bool InsertRireki(int32_t customerKey, const CRirekiData& r, int32_t& newKey) {
        Use u(Get("INSERT INTO Rireki (CustomerID,Date,ActionTitle,Action,Money,Keyword,TantouName,Picture) "
                  "VALUES (?1,?2,?3,?4,?5,?6,?7,?8)"));
        if (!u) return false;
        sqlite3_bind_int(u.get(), 1, customerKey);
        BindRirekiValues(u.get(), 2, r);
        if (!Step(u.get())) return false;
        newKey = static_cast<int32_t>(sqlite3_last_insert_rowid(db));
        return true;
    }

    // A record of the current row: read(st) makes it, or read(st, record) fills a new one.
    template <class T, class Read>
    static std::unique_ptr<T> Make(sqlite3_stmt* st, Read& read) {
        if constexpr (std::is_invocable_v<Read&, sqlite3_stmt*>) {
            return read(st);
        } else {
            auto r = std::make_unique<T>();
            read(st, *r);
            return r;
        }
    }

    // Reads every row with read(st, record) and appends the records to list,
    // all of them or, when stepping fails, none.
    template <class T, class Read>
    bool ReadAll(sqlite3_stmt* st, std::vector<std::unique_ptr<T>>& list, Read read, const char* what = "read") {
        std::vector<std::unique_ptr<T>> rows;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) rows.push_back(Make<T>(st, read));
        if (rc != SQLITE_DONE) {
            FailDb(what);
            return false;
        }
        list.reserve(list.size() + rows.size());
        for (auto& r : rows) list.push_back(std::move(r));
        return true;
    }

    // Appends the rows of `rows`, a table scan with the key in column 0, to
    // list in the order of the keys `keys` gives: the engine reads the table
    // in storage order instead of seeking one row per index entry. 1 read;
    // 0 the two do not give the same keys (nothing appended); -1 failed.
    template <class T, class Read>
    int ReadInKeyOrder(sqlite3_stmt* keys, sqlite3_stmt* rows, std::vector<std::unique_ptr<T>>& list, Read read) {
        // Both read one snapshot.
        struct Snapshot {
            Impl& impl;
            sqlite3_stmt* keys;
            sqlite3_stmt* rows;
            bool own;
            ~Snapshot() {
                sqlite3_reset(keys);
                sqlite3_reset(rows);
                if (own) sqlite3_exec(impl.db, "COMMIT", nullptr, nullptr, nullptr);
            }
        } snapshot{*this, keys, rows, sqlite3_get_autocommit(db) != 0 && Exec("BEGIN")};
        std::vector<int64_t> order;
        int rc;
        while ((rc = sqlite3_step(keys)) == SQLITE_ROW) order.push_back(sqlite3_column_int64(keys, 0));
        if (rc != SQLITE_DONE) {
            FailDb("read");
            return -1;
        }
        int64_t maxKey = -1;
        for (int64_t k : order) {
            if (k < 0) return 0;
            maxKey = std::max(maxKey, k);
        }
        // Keys far sparser than the rows are left to the engine's own order.
        if (maxKey >= static_cast<int64_t>(16 * order.size() + (1 << 20))) return 0;
        std::vector<uint32_t> slot(static_cast<std::size_t>(maxKey + 1), UINT32_MAX);
        for (std::size_t i = 0; i < order.size(); ++i) {
            uint32_t& s = slot[static_cast<std::size_t>(order[i])];
            if (s != UINT32_MAX) return 0;
            s = static_cast<uint32_t>(i);
        }
        std::vector<std::unique_ptr<T>> sorted(order.size());
        std::size_t filled = 0;
        while ((rc = sqlite3_step(rows)) == SQLITE_ROW) {
            const int64_t k = sqlite3_column_int64(rows, 0);
            if (k < 0 || k > maxKey || slot[static_cast<std::size_t>(k)] == UINT32_MAX) return 0;
            auto& r = sorted[slot[static_cast<std::size_t>(k)]];
            if (r) return 0;
            r = Make<T>(rows, read);
            ++filled;
        }
        if (rc != SQLITE_DONE) {
            FailDb("read");
            return -1;
        }
        if (filled != order.size()) return 0;
        list.reserve(list.size() + sorted.size());
        for (auto& r : sorted) list.push_back(std::move(r));
        return 1;
    }

    // The rows of select (a SELECT over Customer with the key first) in the
    // order of orderBy ("" key order, else an ORDER BY clause of the caller),
    // appended to list. 1 read, 0 failed.
    template <class T, class Read>
    int ReadCustomers(const std::string& select, const std::string& orderBy, std::vector<std::unique_ptr<T>>& list,
                      Read read) {
        if (!db) {
            Fail("データベースが開かれていません。");
            return 0;
        }
        Stmt stmt;
        sqlite3_stmt* st = nullptr;
        std::unique_ptr<Use> use;
        if (orderBy.empty()) {
            use = std::make_unique<Use>(Get(select + " ORDER BY ID"));
            st = use->get();
        } else {
            // The order clause comes from the caller: it may only read.
            stmt = PrepareUserSelect(select + " " + orderBy);
            st = stmt.get();
            // An order taken from an index: the keys from the index alone, the
            // records by a table scan, as the engine's seek per row is far slower.
            Stmt keys = st ? PrepareUserSelect("SELECT [Customer].[ID] FROM Customer " + orderBy) : Stmt();
            if (keys) {
                const std::string index = OrderingIndex(st);
                if (!index.empty() && OrderingIndex(keys.get()) == index) {
                    Use rows(Get(select));
                    const int done = rows ? ReadInKeyOrder(keys.get(), rows.get(), list, read) : -1;
                    if (done != 0) return done == 1 ? 1 : 0;
                }
            }
        }
        if (!st) return 0;
        return ReadAll(st, list, read) ? 1 : 0;
    }

    // The index whose walk gives the order of the statement, or "" when the
    // engine sorts (or the plan cannot be read).
    std::string OrderingIndex(sqlite3_stmt* st) {
        Stmt plan;
        {
            sqlite3_stmt* p = nullptr;
            if (sqlite3_prepare_v2(db, (std::string("EXPLAIN QUERY PLAN ") + sqlite3_sql(st)).c_str(), -1, &p,
                                   nullptr) != SQLITE_OK) {
                sqlite3_finalize(p);
                return {};
            }
            plan = Stmt(p);
        }
        std::string index;
        int steps = 0;
        while (sqlite3_step(plan.get()) == SQLITE_ROW) {
            ++steps;
            const char* d = reinterpret_cast<const char*>(sqlite3_column_text(plan.get(), 3));
            const std::string_view detail = d ? d : "";
            if (detail.find("TEMP B-TREE") != std::string_view::npos) return {};
            const std::size_t at = detail.find(" INDEX ");
            if (detail.starts_with("SCAN ") && at != std::string_view::npos) index = detail.substr(at + 7);
        }
        return steps == 1 ? index : std::string();
    }

    // Appends the key and date of every row to list, all of them or, when
    // stepping fails, none.
    bool ReadRirekiKeys(sqlite3_stmt* st, int idColumn, int dateColumn, CRirekiKeyList& list, const char* what = "read") {
        const std::size_t before = list.size();
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) list.push_back(ReadRirekiKey(st, idColumn, dateColumn));
        if (rc == SQLITE_DONE) return true;
        list.resize(before);
        FailDb(what);
        return false;
    }

    // The record of the key (?1) with read(st, record): 1, 0 none, -1 failed.
    template <class T, class Read>
    int ReadByKey(const std::string& sql, int32_t key, T& record, Read read) {
        Use u(Get(sql));
        if (!u) return -1;
        sqlite3_bind_int(u.get(), 1, key);
        const int rc = sqlite3_step(u.get());
        if (rc == SQLITE_ROW) {
            read(u.get(), record);
            return 1;
        }
        if (rc == SQLITE_DONE) return 0;
        FailDb("read");
        return -1;
    }

    // Many reads of one snapshot: a read transaction unless one is open.
    class ReadScope {
    public:
        explicit ReadScope(Impl& impl)
            : m_impl(impl), m_own(impl.db && sqlite3_get_autocommit(impl.db) != 0 && impl.Exec("BEGIN")) {}
        ~ReadScope() {
            if (m_own) sqlite3_exec(m_impl.db, "COMMIT", nullptr, nullptr, nullptr);
        }
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        Impl& m_impl;
        bool m_own;
    };

    // Appends the rows of a history query (kRirekiColumns) to list.
    bool ReadRirekiRows(sqlite3_stmt* st, CRirekiList& list) { return ReadAll(st, list, ReadRireki); }

    // The customer of a history entry: 1 found, 0 no such entry, -1 failed.
    int RirekiOwner(int32_t key, int32_t& owner) {
        Use u(Get("SELECT CustomerID FROM Rireki WHERE ID=?1"));
        if (!u) return -1;
        sqlite3_bind_int(u.get(), 1, key);
        int rc = sqlite3_step(u.get());
        if (rc == SQLITE_DONE) return 0;
        if (rc != SQLITE_ROW) {
            FailDb("read");
            return -1;
        }
        owner = sqlite3_column_int(u.get(), 0);
        return 1;
    }

    // Makes the customers targets of the DM (those already targets stay so);
    // keys of unknown customers go to notAdded. The number of customers that
    // are targets afterwards, or -1 on failure.
    int InsertTargets(int32_t dmKey, const CKeyArray& keys, CKeyArray& notAdded) {
        sqlite3_stmt* st = Get("INSERT OR IGNORE INTO DMMng (DMID,CustomerID) SELECT ?1,ID FROM Customer WHERE ID=?2");
        if (!st) return -1;
        int ok = 0;
        for (uint32_t key : keys) {
            Use u(st);
            sqlite3_bind_int(st, 1, dmKey);
            sqlite3_bind_int(st, 2, static_cast<int32_t>(key));
            if (!Step(st)) return -1;
            if (sqlite3_changes(db) > 0 || CustomerExists(static_cast<int32_t>(key)))
                ++ok;
            else
                notAdded.push_back(key);
        }
        return ok;
    }

    bool ReadDMTitle(int32_t key, CDMListData& d) {
        Use u(Get(std::string("SELECT ") + kDMColumns + " FROM DMList WHERE ID=?1"));
        if (!u) return false;
        sqlite3_bind_int(u.get(), 1, key);
        if (sqlite3_step(u.get()) != SQLITE_ROW) return false;
        ReadDM(u.get(), d);
        return true;
    }

    bool DMExists(int32_t key) {
        CDMListData d;
        return ReadDMTitle(key, d);
    }

    // Runs apply(key) once for each distinct key and commits; apply returns 1
    // when the key changed a row, 0 when not, -1 on failure. out receives the
    // changed keys. 1 all changed, 10 some, 0 none, -1 failed.
    template <class Apply>
    int ForEachKey(Txn& txn, const CKeyArray& keys, CKeyArray& out, Apply apply) {
        CKeyArray done;
        std::unordered_set<uint32_t> seen;
        for (uint32_t key : keys) {
            if (!seen.insert(key).second) continue;
            const int r = apply(static_cast<int32_t>(key));
            if (r < 0) return -1;
            if (r > 0) done.push_back(key);
        }
        if (!txn.Commit()) return -1;
        out = std::move(done);
        if (out.empty()) return 0;
        return out.size() == seen.size() ? 1 : 10;
    }

    // Steps a bound statement: 1 when it changed a row, 0 when not, -1 failed.
    int StepChanged(sqlite3_stmt* st) {
        if (!Step(st)) return -1;
        return sqlite3_changes(db) > 0 ? 1 : 0;
    }

    // True, with the failure text, when a text of the record is over its limit.
    bool RefusedOverLimit(const CKokyaku& k) {
        const KokyakuField* f = FirstOverLimitField(k);
        if (f) Fail(std::string("「") + f->name + "」の文字数が多すぎます。");
        return f != nullptr;
    }
    bool RefusedOverLimit(const CRirekiData& r) {
        if (RirekiFitsLimits(r)) return false;
        Fail("履歴の文字数が多すぎます。");
        return true;
    }

    // Runs a bound UPDATE of one DM title, brings its sending history in line
    // and commits; 1 done, 0 no such title, -1 failed.
    int UpdateDMTitle(sqlite3_stmt* update, Txn& txn, int32_t dmKey, const CDateTime& now) {
        if (!Step(update)) return -1;
        if (sqlite3_changes(db) == 0) return 0;
        return SyncDMHistory(dmKey, now) && txn.Commit() ? 1 : -1;
    }

    // Brings the sending history of a DM title in line with its state and
    // targets: while it is sent with history registered every target has one
    // entry carrying the title's values, otherwise there is none. Customers
    // whose entry is written, changed or removed get RirekiUpDate = now.
    bool SyncDMHistory(int32_t dmKey, const CDateTime& now) {
        CDMListData d;
        if (!ReadDMTitle(dmKey, d)) {
            // No title (deleted): no history may remain.
            d.ID = dmKey;
            d.SendState = 0;
        }
        const bool wanted = d.SendState == 1 && d.HistoryRegistered == 1;
        if (!wanted) {
            if (!RunDM("UPDATE Customer SET RirekiUpDate=?1 WHERE ID IN "
                       "(SELECT CustomerID FROM Rireki WHERE DMID=?2)",
                       dmKey, now))
                return false;
            return RunDM("DELETE FROM Rireki WHERE DMID=?2", dmKey, now);
        }
        // Entries of customers that are no longer targets.
        if (!RunDM("UPDATE Customer SET RirekiUpDate=?1 WHERE ID IN (SELECT r.CustomerID FROM Rireki r WHERE "
                   "r.DMID=?2 AND NOT EXISTS (SELECT 1 FROM DMMng m WHERE m.DMID=?2 AND m.CustomerID=r.CustomerID))",
                   dmKey, now) ||
            !RunDM("DELETE FROM Rireki WHERE DMID=?2 AND CustomerID NOT IN "
                   "(SELECT CustomerID FROM DMMng WHERE DMID=?2)",
                   dmKey, now))
            return false;
        const std::string title = d.SendMethod == 1 ? kDMHistoryTitleMail : kDMHistoryTitlePrint;
        // Entries whose values differ from the title's.
        const char* differs =
            "(Date IS NOT ?3 OR ActionTitle IS NOT ?4 COLLATE BINARY OR Action IS NOT ?5 COLLATE BINARY "
            "OR Keyword IS NOT ?6 COLLATE BINARY OR TantouName IS NOT ?7 COLLATE BINARY)";
        if (!RunDM(std::string("UPDATE Customer SET RirekiUpDate=?1 WHERE ID IN "
                               "(SELECT CustomerID FROM Rireki WHERE DMID=?2 AND ") +
                       differs + ")",
                   dmKey, now, &d, &title) ||
            !RunDM(std::string("UPDATE Rireki SET Date=?3,ActionTitle=?4,Action=?5,Keyword=?6,TantouName=?7 "
                               "WHERE DMID=?2 AND ") +
                       differs,
                   dmKey, now, &d, &title))
            return false;
        // Targets without an entry.
        return RunDM("UPDATE Customer SET RirekiUpDate=?1 WHERE ID IN (SELECT m.CustomerID FROM DMMng m WHERE "
                     "m.DMID=?2 AND NOT EXISTS (SELECT 1 FROM Rireki r WHERE r.DMID=?2 AND r.CustomerID=m.CustomerID))",
                     dmKey, now) &&
               RunDM("INSERT INTO Rireki (CustomerID,Date,ActionTitle,Action,Money,Keyword,TantouName,Picture,DMID) "
                     "SELECT m.CustomerID,?3,?4,?5,0,?6,?7,'',?2 FROM DMMng m WHERE m.DMID=?2 AND NOT EXISTS "
                     "(SELECT 1 FROM Rireki r WHERE r.DMID=?2 AND r.CustomerID=m.CustomerID) "
                     "ORDER BY m.rowid",
                     dmKey, now, &d, &title);
    }

    // Runs one statement of the sending-history upkeep: ?1 now, ?2 the DM key,
    // ?3..?7 date, summary, details, keyword, staff of the entries.
    bool RunDM(const std::string& sql, int32_t dmKey, const CDateTime& now, const CDMListData* d = nullptr,
               const std::string* title = nullptr) {
        Use u(Get(sql));
        if (!u) return false;
        sqlite3_stmt* s = u.get();
        // Every statement numbers its parameters up to at least ?2.
        BindDate(s, 1, now);
        sqlite3_bind_int(s, 2, dmKey);
        if (d && title) {
            BindDate(s, 3, d->Date);
            BindText(s, 4, *title);
            BindText(s, 5, d->Title);
            BindText(s, 6, d->Content);
            BindText(s, 7, d->Manager);
        }
        return Step(s);
    }

    bool ValidDMTexts(const std::string& title, const std::string& content, const std::string& manager,
                      int32_t sendMethod) {
        if (title.empty()) {
            Fail("DMタイトルが空です。");
            return false;
        }
        if (SjisLength(title) > kDMTitleLimit || SjisLength(content) > kDMContentLimit ||
            SjisLength(manager) > kDMManagerLimit) {
            Fail("DMタイトルの文字数が多すぎます。");
            return false;
        }
        if (!IsBinaryFlag(sendMethod)) {
            Fail("送付方法が正しくありません。");
            return false;
        }
        return true;
    }

    bool OpenConnection(const std::string& path, bool ro);
};

bool CMilvaneData::Impl::OpenConnection(const std::string& path, bool ro) {
    Close();
    if (!FileExists(path)) {
        Fail("データベースファイルがありません: " + path);
        return false;
    }
    // The file always runs with a rollback journal, so a closed file is whole
    // on its own and a reader writes nothing beside it. A reader first rolls
    // back what an interrupted change left. A file of an older version in
    // write-ahead-log mode is converted once when opened for writing and read
    // as immutable when it has no log (a reader would make the log files);
    // one whose log cannot be read here is read as immutable too.
    if (ro) RollBackLeftJournal(path);
    const bool wal = IsWalModeFile(path);
    const bool walWithoutLog = wal && FileSize(path + "-wal") <= 0;
    const char* modes[] = {ro ? (walWithoutLog ? "mode=ro&immutable=1" : "mode=ro") : "mode=rw",
                           ro && !walWithoutLog ? "mode=ro&immutable=1" : nullptr};
    for (const char* mode : modes) {
        if (!mode) break;
        Close();
        std::string uri = FileUri(path, mode);
        int rc = sqlite3_open_v2(uri.c_str(), &db, (ro ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_URI |
                                                     SQLITE_OPEN_NOMUTEX,
                                 nullptr);
        if (rc != SQLITE_OK) {
            FailDb("open");
            continue;
        }
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, 3000);
        std::string error;
        int check = CheckMilvaneSchema(db, &error);
        if (check != 1) {
            Fail(error);
            if (check == 0) break;  // not ours: no second try
            continue;
        }
        if (!ro) {
            if ((wal && !Exec("PRAGMA journal_mode=DELETE")) || !Exec("PRAGMA synchronous=FULL")) continue;
            // Without the newer indexes the statements are only slower.
            UpgradeMilvaneSchema(db, nullptr);
        }
        // Room for every customer page of a large register (64 MB).
        Exec("PRAGMA cache_size=-65536");
        Exec("PRAGMA temp_store=MEMORY");
        if (!RegisterJetFunctions(db)) {
            Fail("SQL関数を登録できません。");
            continue;
        }
        dbPath = path;
        readOnly = ro;
        return true;
    }
    Close();
    return false;
}

bool VerifyMilvaneDatabaseFile(const std::string& path, std::string* error) {
    std::string why;
    sqlite3* db = nullptr;
    bool ok = FileExists(path) &&
              sqlite3_open_v2(FileUri(path, "mode=ro&immutable=1").c_str(), &db,
                              SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK;
    if (!ok) why = "データベースファイルを開けません: " + path;
    if (ok) ok = CheckMilvaneSchema(db, &why) == 1 && CheckMilvaneTables(db, &why) == 1;
    if (ok) {
        sqlite3_stmt* st = nullptr;
        ok = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr) == SQLITE_OK &&
             sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0) &&
             std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok";
        if (!ok) why = "データベースが壊れています: " + std::string(sqlite3_errmsg(db));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    if (error) *error = why;
    return ok;
}

// ====================================================================== CMilvaneData

CMilvaneData::CMilvaneData() : m(std::make_unique<Impl>()) {}

CMilvaneData::~CMilvaneData() {
    if (m->db && SaveMLV(true) != 1) ForceClose();
}

// Closes without the final save; every completed operation is on disk anyway.
void CMilvaneData::ForceClose() {
    m->Close();
    if (!m->workPath.empty()) {
        unlink(m->workPath.c_str());
        m->workPath.clear();
    }
}

bool CMilvaneData::IsOpen() const { return m->db != nullptr; }
bool CMilvaneData::IsReadOnly() const { return m->readOnly; }
std::string CMilvaneData::GetMLVFName() const { return m->dbPath; }
const std::string& CMilvaneData::LastError() const { return m->lastError; }
void CMilvaneData::SetLastError(const std::string& text) { m->lastError = text; }

int CMilvaneData::DispOleDBErrDlg() { return ShowDriverError(m->lastError); }

int CMilvaneData::ShowDriverError(const std::string& detail) {
    std::string text = "データベースでエラーが発生しました。";
    if (!detail.empty()) text += "\n" + detail;
    Ports::Prompt().Message(text, MsgIcon::Stop);
    return 1;
}

int CMilvaneData::InitDB(const std::string& dataDir) {
    if (m->db && SaveMLV(true) != 1) ForceClose();
    if (dataDir.empty()) {
        m->Fail("データフォルダが指定されていません。");
        return -1;
    }
    std::string folder = dataDir;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const std::string work = folder + "/" + kWorkFileName;
    const std::string path = folder + "/" + kDatabaseFileName;
    if (FileExists(work)) {
        m->Fail("作業ファイルが残っています: " + work);
        return 0;
    }
    if (!FileExists(path)) {
        m->Fail("データベースファイルがありません: " + path);
        return -1;
    }
    int fd = open(work.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) return 0;
        m->Fail("作業ファイルを作成できません: " + work);
        return -1;
    }
    char when[32] = {};
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    std::strftime(when, sizeof when, "%Y/%m/%d %H:%M:%S", &tm);
    std::string info = "pid=" + std::to_string(getpid()) + "\nhost=" + Hostname() + "\nuser=" + UserName() +
                       "\ntime=" + when + "\n";
    bool written = write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size()) && fsync(fd) == 0;
    close(fd);
    if (!written || !m->OpenConnection(path, false)) {
        std::string why = m->lastError;
        unlink(work.c_str());
        m->Fail(why.empty() ? "作業ファイルを書き込めません: " + work : why);
        return -1;
    }
    FsyncPath(folder);
    m->workPath = work;
    return 1;
}

int CMilvaneData::InitDBFromPath(const std::string& dbPath, bool readOnly) {
    if (m->db && SaveMLV(true) != 1) ForceClose();
    return m->OpenConnection(dbPath, readOnly) ? 1 : -1;
}

int CMilvaneData::SaveMLV(bool closeDb) {
    if (!m->db) {
        if (closeDb) return 1;
        m->Fail("データベースが開かれていません。");
        return -1;
    }
    // Every operation committed through the rollback journal: the file is whole; make sure it is on disk.
    if (!m->readOnly && !FsyncPath(m->dbPath)) {
        m->Fail("データベースファイルを書き込めません: " + m->dbPath);
        return -1;
    }
    if (!closeDb) return 1;
    // Leave a self-contained file behind (no log needed to read it).
    for (auto& [sql, st] : m->cache) sqlite3_finalize(st);
    m->cache.clear();
    if (sqlite3_close(m->db) != SQLITE_OK) {
        m->FailDb("close");
        return -1;
    }
    m->db = nullptr;
    std::string folder = FolderOf(m->dbPath);
    m->Close();
    if (!m->workPath.empty()) {
        unlink(m->workPath.c_str());
        m->workPath.clear();
        FsyncPath(folder);
    }
    return 1;
}

int CMilvaneData::CompactDB(const std::string& backupPath) {
    if (!m->db || m->readOnly) {
        m->Fail(m->db ? "データベースは読取専用です。" : "データベースが開かれていません。");
        return -1;
    }
    if (backupPath.empty() || backupPath == m->dbPath) {
        m->Fail("バックアップファイル名が正しくありません。");
        return -1;
    }
    // The copy is written beside the target and replaces it only when complete.
    const std::string temp = backupPath + ".tmp";
    unlink(temp.c_str());
    {
        sqlite3_stmt* st = nullptr;
        bool ok = sqlite3_prepare_v2(m->db, "VACUUM INTO ?1", -1, &st, nullptr) == SQLITE_OK;
        if (ok) {
            BindText(st, 1, temp);
            ok = sqlite3_step(st) == SQLITE_DONE;
        }
        if (!ok) m->FailDb("backup");
        sqlite3_finalize(st);
        if (ok && !FsyncPath(temp)) {
            m->Fail("バックアップファイルを書き込めません: " + temp);
            ok = false;
        }
        if (ok && rename(temp.c_str(), backupPath.c_str()) != 0) {
            m->Fail("バックアップファイルを作成できません: " + backupPath);
            ok = false;
        }
        if (!ok) {
            unlink(temp.c_str());
            return -1;
        }
        FsyncPath(FolderOf(backupPath));
    }
    // VACUUM needs no statement of ours in progress.
    for (auto& [sql, st] : m->cache) sqlite3_reset(st);
    if (!m->Exec("VACUUM")) return -1;
    return SaveMLV(false);
}

// ---------------------------------------------------------------------- customers

int CMilvaneData::GetAllKokyaku(CKokyakuList& list, const std::string& orderBy) {
    return m->ReadCustomers(CustomerSelectSql(), orderBy, list, ReadCustomer);
}

int CMilvaneData::GetKokyakuRows(CKokyakuRows& rows, const std::string& orderBy) {
    rows.clear();
    const std::vector<int>& fields = rows.Fields();
    CKokyaku scratch;
    CKokyakuRows::Storage read;
    const int result = m->ReadCustomers(CustomerFieldsSql(fields), orderBy, read, [&](sqlite3_stmt* st) {
        ReadCustomerFields(st, fields, scratch);
        return rows.MakeRow(scratch);
    });
    if (result == 1) rows.Adopt(std::move(read));
    return result;
}

namespace {

class CStatementCursor final : public IKokyakuCursor {
public:
    CStatementCursor(Stmt stmt, std::function<void()> failed) : m_stmt(std::move(stmt)), m_failed(std::move(failed)) {}
    const CKokyaku* Next() override {
        if (m_done) return nullptr;
        const int rc = sqlite3_step(m_stmt.get());
        if (rc == SQLITE_ROW) {
            ReadCustomer(m_stmt.get(), m_record);
            return &m_record;
        }
        m_done = true;
        if (rc != SQLITE_DONE) {
            m_error = true;
            m_failed();
        }
        return nullptr;
    }
    bool Failed() const override { return m_error; }

private:
    Stmt m_stmt;
    std::function<void()> m_failed;
    CKokyaku m_record;
    bool m_done = false, m_error = false;
};

}  // namespace

std::unique_ptr<IKokyakuCursor> CMilvaneData::OpenKokyakuCursor(const std::string& orderBy) {
    if (!m->db) {
        m->Fail("データベースが開かれていません。");
        return nullptr;
    }
    Stmt st = m->PrepareUserSelect(CustomerSelectSql() + " " + (orderBy.empty() ? std::string("ORDER BY ID") : orderBy));
    if (!st) return nullptr;
    return std::make_unique<CStatementCursor>(std::move(st), [impl = m.get()] { impl->FailDb("read"); });
}

int CMilvaneData::GetKokyakuByKeys(const CKeyArray& keys, CKokyakuList& list) {
    if (!m->db) {
        m->Fail("データベースが開かれていません。");
        return 0;
    }
    CKokyakuList read;
    read.reserve(keys.size());
    Impl::ReadScope snapshot(*m);
    for (uint32_t key : keys) {
        auto k = std::make_unique<CKokyaku>();
        const int found = GetKokyaku(static_cast<int32_t>(key), *k);
        if (found < 0) return 0;
        if (found == 1) read.push_back(std::move(k));
    }
    list.reserve(list.size() + read.size());
    for (auto& k : read) list.push_back(std::move(k));
    return 1;
}

bool CMilvaneData::ReadKokyaku(int32_t key, CKokyaku& k) { return m->db && GetKokyaku(key, k) == 1; }

bool CMilvaneData::ReadKokyakuFields(const std::vector<int>& fields, const std::function<void(const CKokyaku&)>& each) {
    if (!m->db) {
        m->Fail("データベースが開かれていません。");
        return false;
    }
    Use u(m->Get(CustomerFieldsSql(fields)));
    if (!u) return false;
    CKokyaku scratch;
    int rc;
    while ((rc = sqlite3_step(u.get())) == SQLITE_ROW) {
        ReadCustomerFields(u.get(), fields, scratch);
        each(scratch);
    }
    if (rc != SQLITE_DONE) {
        m->FailDb("read");
        return false;
    }
    return true;
}

int32_t CMilvaneData::AddNewKokyaku(CKokyaku& k) {
    if (m->RefusedOverLimit(k)) return -1;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    Use u(m->Get(CustomerInsertSql()));
    if (!u) return -1;
    BindCustomer(u.get(), k);
    if (!m->Step(u.get())) return -1;
    int64_t id = sqlite3_last_insert_rowid(m->db);
    if (id > INT32_MAX) {
        m->Fail("顧客番号が上限に達しました。");
        return -1;
    }
    if (!txn.Commit()) return -1;
    k.ID = static_cast<int32_t>(id);
    UpdatePhoneNumbers(k);
    return k.ID;
}

int CMilvaneData::AddNewKokyaku(CKokyakuList& list, CKeyArray& refused) {
    refused.clear();
    if (list.empty()) return 0;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    sqlite3_stmt* st = m->Get(CustomerInsertSql());
    if (!st) return -1;
    CKeyArray refusedHere;
    std::vector<std::pair<std::size_t, int32_t>> added;
    added.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const CKokyaku* k = list[i].get();
        if (!k || FirstOverLimitField(*k)) {
            refusedHere.push_back(static_cast<uint32_t>(i));
            continue;
        }
        Use u(st);
        BindCustomer(st, *k);
        if (!m->Step(st)) return -1;
        int64_t id = sqlite3_last_insert_rowid(m->db);
        if (id > INT32_MAX) {
            m->Fail("顧客番号が上限に達しました。");
            return -1;
        }
        added.emplace_back(i, static_cast<int32_t>(id));
    }
    if (!txn.Commit()) return -1;
    for (auto [i, id] : added) {
        list[i]->ID = id;
        UpdatePhoneNumbers(*list[i]);
    }
    refused = std::move(refusedHere);
    return refused.empty() ? 1 : 10;
}

int CMilvaneData::ModifyKokyaku(int32_t key, CKokyaku& k) {
    if (m->RefusedOverLimit(k)) return -1;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    Use u(m->Get(CustomerUpdateSql()));
    if (!u) return -1;
    int n = BindCustomer(u.get(), k);
    sqlite3_bind_int(u.get(), n + 1, key);
    if (!m->Step(u.get())) return -1;
    if (sqlite3_changes(m->db) == 0) return 0;
    if (!txn.Commit()) return -1;
    k.ID = key;
    UpdatePhoneNumbers(k);
    return 1;
}

int CMilvaneData::ModifyKokyaku(const CKeyArray& keys, CKeyArray& changed, const std::string& fieldName,
                                const CDateTime& now, const std::string& value, int32_t colour) {
    changed.clear();
    const KokyakuField* f = FindKokyakuField(fieldName);
    if (!f || !f->IsUserField() || fieldName == "LastUpDate") {
        m->Fail("一括変更できない項目です: " + fieldName);
        return -1;
    }
    CKokyaku scratch;
    if (f->kind == KokyakuFieldKind::Colour) {
        f->SetInt(scratch, colour);
    } else if (!f->SetValueText(scratch, value)) {
        m->Fail(std::string("「") + f->name + "」に設定できない値です。");
        return -1;
    }
    if (keys.empty()) return 0;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    std::string sql = std::string("UPDATE Customer SET ") + f->name + "=?1,LastUpDate=?2";
    if (fieldName == "TEL_Home") sql += ",TEL_Home_X=?4";
    if (fieldName == "TEL_Office") sql += ",TEL_Office_X=?4";
    sql += " WHERE ID=?3";
    sqlite3_stmt* st = m->Get(sql);
    if (!st) return -1;
    return m->ForEachKey(txn, keys, changed, [&](int32_t key) {
        Use u(st);
        BindField(st, 1, *f, scratch);
        BindDate(st, 2, now);
        sqlite3_bind_int(st, 3, key);
        if (sqlite3_bind_parameter_count(st) >= 4) sqlite3_bind_double(st, 4, StrTelToINT(f->Text(scratch)));
        return m->StepChanged(st);
    });
}

int CMilvaneData::DeleteKokyaku(const CKeyArray& keys, CKeyArray& deleted) {
    deleted.clear();
    if (keys.empty()) return 0;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    sqlite3_stmt* delRireki = m->Get("DELETE FROM Rireki WHERE CustomerID=?1");
    sqlite3_stmt* delTargets = m->Get("DELETE FROM DMMng WHERE CustomerID=?1");
    sqlite3_stmt* delCustomer = m->Get("DELETE FROM Customer WHERE ID=?1");
    if (!delRireki || !delTargets || !delCustomer) return -1;
    return m->ForEachKey(txn, keys, deleted, [&](int32_t key) {
        int changed = 0;  // that of the customer row, deleted last
        for (sqlite3_stmt* st : {delRireki, delTargets, delCustomer}) {
            Use u(st);
            sqlite3_bind_int(st, 1, key);
            if ((changed = m->StepChanged(st)) < 0) return -1;
        }
        return changed;
    });
}

int CMilvaneData::GetKokyaku(int32_t key, CKokyaku& k) {
    return m->ReadByKey(CustomerSelectSql() + " WHERE ID=?1", key, k, ReadCustomer);
}

int CMilvaneData::ExtractKokyaku(const std::string& sql, CKeyArray& keys) {
    std::string statement;
    Stmt stmt = m->PrepareUserSelect(sql, &statement);
    if (!stmt) return -1;
    sqlite3_stmt* st = stmt.get();
    int idColumn = 0;
    for (int i = 0, n = sqlite3_column_count(st); i < n; ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(st, i), "ID") == 0) {
            idColumn = i;
            // Only the keys are kept: a statement of whole rows ("Customer.*")
            // is read through its key column alone.
            if (n > 1) {
                if (Stmt keysOnly = m->PrepareOneColumnOf(statement, sqlite3_column_name(st, i))) {
                    stmt = std::move(keysOnly);
                    st = stmt.get();
                    idColumn = 0;
                }
            }
            break;
        }
    }
    CKeyArray found;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) found.push_back(static_cast<uint32_t>(sqlite3_column_int(st, idColumn)));
    if (rc != SQLITE_DONE) {
        m->FailDb("SQL");
        return -1;
    }
    keys.insert(keys.end(), found.begin(), found.end());
    return 1;
}

// ---------------------------------------------------------------------- history

int CMilvaneData::GetAllRireki(CRirekiList& list) {
    // The order from the date index alone, the entries by a table scan.
    Use keys(m->Get("SELECT ID FROM Rireki ORDER BY Date DESC, ID DESC"));
    Use rows(m->Get(std::string("SELECT ") + kRirekiColumns + " FROM Rireki"));
    if (!keys || !rows) return 0;
    const int read = m->ReadInKeyOrder(keys.get(), rows.get(), list, ReadRireki);
    if (read != 0) return read == 1 ? 1 : 0;
    Use u(m->Get(std::string("SELECT ") + kRirekiColumns + " FROM Rireki ORDER BY Date DESC, ID DESC"));
    return u && m->ReadRirekiRows(u.get(), list) ? 1 : 0;
}

int CMilvaneData::GetRirekiForKokyaku(int32_t customerKey, CRirekiList& list) {
    Use u(m->Get(std::string("SELECT ") + kRirekiColumns +
                 " FROM Rireki WHERE CustomerID=?1 ORDER BY Date DESC, ID DESC"));
    if (!u) return 0;
    sqlite3_bind_int(u.get(), 1, customerKey);
    return m->ReadRirekiRows(u.get(), list) ? 1 : 0;
}

namespace {
// The columns of a caller's SELECT over Rireki, found by name (the statement
// selects Rireki.*): -1 where absent.
enum { kId, kCustomer, kDate, kTitle, kAction, kMoney, kKeyword, kTantou, kPicture, kCount };
using RirekiResultColumns = std::array<int, kCount>;
RirekiResultColumns FindRirekiColumns(sqlite3_stmt* st) {
    static const char* const names[kCount] = {"ID",    "CustomerID", "Date",       "ActionTitle", "Action",
                                              "Money", "Keyword",    "TantouName", "Picture"};
    RirekiResultColumns col;
    col.fill(-1);
    for (int i = 0, n = sqlite3_column_count(st); i < n; ++i)
        for (int j = 0; j < kCount; ++j)
            if (col[std::size_t(j)] < 0 && sqlite3_stricmp(sqlite3_column_name(st, i), names[j]) == 0)
                col[std::size_t(j)] = i;
    return col;
}
}  // namespace

int CMilvaneData::ExtractRireki(const std::string& sql, CRirekiList& list) {
    Stmt stmt = m->PrepareUserSelect(sql);
    if (!stmt) return -1;
    sqlite3_stmt* st = stmt.get();
    const RirekiResultColumns col = FindRirekiColumns(st);
    if (col[kId] < 0) {
        m->Fail("SQL: 履歴の列がありません。");
        return -1;
    }
    const auto read = [&col](sqlite3_stmt* st, CRirekiData& r) {
        r.ID = sqlite3_column_int(st, col[kId]);
        if (col[kCustomer] >= 0) r.CustomerID = sqlite3_column_int(st, col[kCustomer]);
        if (col[kDate] >= 0) r.Date = ColumnDate(st, col[kDate]);
        if (col[kTitle] >= 0) ColumnText(st, col[kTitle], r.ActionTitle);
        if (col[kAction] >= 0) ColumnText(st, col[kAction], r.Action);
        if (col[kMoney] >= 0) r.Money = sqlite3_column_double(st, col[kMoney]);
        if (col[kKeyword] >= 0) ColumnText(st, col[kKeyword], r.Keyword);
        if (col[kTantou] >= 0) ColumnText(st, col[kTantou], r.TantouName);
        if (col[kPicture] >= 0) ColumnText(st, col[kPicture], r.Picture);
    };
    return m->ReadAll(st, list, read, "SQL") ? 1 : -1;
}

int CMilvaneData::ExtractRirekiKeys(const std::string& sql, CRirekiKeyList& list) {
    Stmt stmt = m->PrepareUserSelect(sql);
    if (!stmt) return -1;
    const RirekiResultColumns col = FindRirekiColumns(stmt.get());
    if (col[kId] < 0) {
        m->Fail("SQL: 履歴の列がありません。");
        return -1;
    }
    return m->ReadRirekiKeys(stmt.get(), col[kId], col[kDate], list, "SQL") ? 1 : -1;
}

int CMilvaneData::GetRirekiKeys(CRirekiKeyList& list) {
    // The date index holds both and is read fastest forwards: its order
    // reversed is newest first.
    Use count(m->Get("SELECT count(*) FROM Rireki"));
    Use u(m->Get("SELECT ID,Date FROM Rireki ORDER BY Date,ID"));
    if (!count || !u) return 0;
    Impl::ReadScope scope(*m);
    CRirekiKeyList keys;
    if (sqlite3_step(count.get()) == SQLITE_ROW) keys.reserve(static_cast<std::size_t>(sqlite3_column_int64(count.get(), 0)));
    if (!m->ReadRirekiKeys(u.get(), 0, 1, keys)) return 0;
    std::reverse(keys.begin(), keys.end());
    if (list.empty()) list = std::move(keys);
    else list.insert(list.end(), keys.begin(), keys.end());
    return 1;
}

int CMilvaneData::GetRireki(int32_t key, CRirekiData& r) {
    return m->ReadByKey(std::string("SELECT ") + kRirekiColumns + " FROM Rireki WHERE ID=?1", key, r, ReadRireki);
}

int CMilvaneData::GetRirekiShown(const std::vector<int32_t>& keys, std::vector<CRirekiShown>& rows) {
    static const std::string sql = [] {
        std::string columns = std::string("r.") + kRirekiColumns;
        for (std::size_t at = columns.find(','); at != std::string::npos; at = columns.find(',', at + 1))
            columns.insert(at + 1, "r.");
        return "SELECT " + columns +
               ",c.ID,c.CustomerID,c.Name,c.CompName FROM Rireki r LEFT JOIN Customer c ON c.ID=r.CustomerID "
               "WHERE r.ID=?1";
    }();
    Use u(m->Get(sql));
    if (!u) return -1;
    Impl::ReadScope scope(*m);
    std::vector<CRirekiShown> read;
    read.reserve(keys.size());
    for (int32_t key : keys) {
        sqlite3_reset(u.get());
        sqlite3_bind_int(u.get(), 1, key);
        const int rc = sqlite3_step(u.get());
        if (rc == SQLITE_DONE) continue;
        if (rc != SQLITE_ROW) {
            m->FailDb("read");
            return -1;
        }
        CRirekiShown& shown = read.emplace_back();
        ReadRireki(u.get(), shown.entry);
        constexpr int kCustomerAt = 9;
        shown.hasCustomer = sqlite3_column_type(u.get(), kCustomerAt) != SQLITE_NULL;
        ColumnText(u.get(), kCustomerAt + 1, shown.customer.code);
        ColumnText(u.get(), kCustomerAt + 2, shown.customer.name);
        ColumnText(u.get(), kCustomerAt + 3, shown.customer.company);
    }
    rows.insert(rows.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
    return 1;
}

int CMilvaneData::ForEachRirekiText(std::string_view field, bool ofCustomer,
                                    const std::function<void(int32_t, std::string_view)>& each) {
    static constexpr std::string_view entryFields[] = {"ActionTitle", "Action", "Keyword", "TantouName"};
    static constexpr std::string_view customerFields[] = {"CustomerID", "Name", "CompName"};
    const auto known = [field](const auto& names) { return std::find(std::begin(names), std::end(names), field) != std::end(names); };
    if (!(ofCustomer ? known(customerFields) : known(entryFields))) {
        m->Fail("履歴の項目がありません。");
        return -1;
    }
    const auto textOf = [](sqlite3_stmt* st) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(st, 1))) : std::string_view();
    };
    const std::string f(field);
    Use u(m->Get(ofCustomer ? "SELECT ID,CustomerID FROM Rireki" : "SELECT ID," + f + " FROM Rireki"));
    Use c(ofCustomer ? m->Get("SELECT ID," + f + " FROM Customer") : nullptr);
    if (!u || (ofCustomer && !c)) return -1;
    Impl::ReadScope scope(*m);
    // A customer's text is read once, not sought for each of its entries.
    std::unordered_map<int32_t, std::string> customers;
    int rc = SQLITE_DONE;
    while (ofCustomer && (rc = sqlite3_step(c.get())) == SQLITE_ROW)
        customers.emplace(sqlite3_column_int(c.get(), 0), textOf(c.get()));
    if (rc == SQLITE_DONE) {
        while ((rc = sqlite3_step(u.get())) == SQLITE_ROW) {
            if (!ofCustomer) {
                each(sqlite3_column_int(u.get(), 0), textOf(u.get()));
                continue;
            }
            auto it = customers.find(sqlite3_column_int(u.get(), 1));
            each(sqlite3_column_int(u.get(), 0), it != customers.end() ? std::string_view(it->second) : std::string_view());
        }
    }
    if (rc == SQLITE_DONE) return 1;
    m->FailDb("read");
    return -1;
}

int CMilvaneData::ForEachRirekiMoney(const std::function<void(int32_t, double)>& each) {
    Use u(m->Get("SELECT ID,Money FROM Rireki"));
    if (!u) return -1;
    int rc;
    while ((rc = sqlite3_step(u.get())) == SQLITE_ROW) each(sqlite3_column_int(u.get(), 0), sqlite3_column_double(u.get(), 1));
    if (rc == SQLITE_DONE) return 1;
    m->FailDb("read");
    return -1;
}

int CMilvaneData::ForEachRirekiShown(const std::function<void(const CRirekiShown&)>& each) {
    Use customers(m->Get("SELECT ID,CustomerID,Name,CompName FROM Customer"));
    Use entries(m->Get(std::string("SELECT ") + kRirekiColumns + " FROM Rireki"));
    if (!customers || !entries) return -1;
    Impl::ReadScope scope(*m);
    // The customers' texts first: a seek into the customer table for each
    // entry would cost far more than the scan.
    std::unordered_map<int32_t, CRirekiCustomerTexts> texts;
    int rc;
    while ((rc = sqlite3_step(customers.get())) == SQLITE_ROW) {
        CRirekiCustomerTexts& t = texts[sqlite3_column_int(customers.get(), 0)];
        ColumnText(customers.get(), 1, t.code);
        ColumnText(customers.get(), 2, t.name);
        ColumnText(customers.get(), 3, t.company);
    }
    if (rc != SQLITE_DONE) {
        m->FailDb("read");
        return -1;
    }
    CRirekiShown shown;
    while ((rc = sqlite3_step(entries.get())) == SQLITE_ROW) {
        ReadRireki(entries.get(), shown.entry);
        auto it = texts.find(shown.entry.CustomerID);
        shown.hasCustomer = it != texts.end();
        if (shown.hasCustomer) shown.customer = it->second;
        each(shown);
    }
    if (rc == SQLITE_DONE) return 1;
    m->FailDb("read");
    return -1;
}

int32_t CMilvaneData::AddNewRireki(int32_t customerKey, CRirekiData& r, const CDateTime& now) {
    if (m->RefusedOverLimit(r)) return -1;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    int touched = m->TouchCustomer(customerKey, now);
    if (touched == 0) m->Fail("顧客が見つかりません。");
    if (touched <= 0) return touched;
    int32_t key = -1;
    if (!m->InsertRireki(customerKey, r, key) || !txn.Commit()) return -1;
    r.ID = key;
    r.CustomerID = customerKey;
    return key;
}

int CMilvaneData::AddNewRireki(const CKeyArray& customerKeys, const CRirekiData& r, const CDateTime& now) {
    if (m->RefusedOverLimit(r)) return -1;
    if (customerKeys.empty()) return 0;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    std::size_t added = 0, missing = 0;
    std::unordered_set<uint32_t> seen;
    for (uint32_t key : customerKeys) {
        if (!seen.insert(key).second) continue;  // one entry per customer
        int touched = m->TouchCustomer(static_cast<int32_t>(key), now);
        int32_t newKey = -1;
        if (touched < 0 || (touched > 0 && !m->InsertRireki(static_cast<int32_t>(key), r, newKey))) return -1;
        (touched > 0 ? added : missing) += 1;
    }
    if (added == 0) {
        m->Fail("顧客が見つかりません。");
        return -1;
    }
    if (!txn.Commit()) return -1;
    return missing ? 10 : 1;
}

int CMilvaneData::ModifyRireki(int32_t key, CRirekiData& r, const CDateTime& now) {
    if (m->RefusedOverLimit(r)) return -1;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    int32_t owner = -1;
    int found = m->RirekiOwner(key, owner);
    if (found <= 0) return found;
    Use u(m->Get("UPDATE Rireki SET Date=?2,ActionTitle=?3,Action=?4,Money=?5,Keyword=?6,TantouName=?7,Picture=?8 "
                 "WHERE ID=?1"));
    if (!u) return -1;
    sqlite3_bind_int(u.get(), 1, key);
    BindRirekiValues(u.get(), 2, r);
    if (!m->Step(u.get()) || m->TouchCustomer(owner, now) < 0 || !txn.Commit()) return -1;
    r.ID = key;
    r.CustomerID = owner;
    return 1;
}

int CMilvaneData::DeleteRireki(const CKeyArray& keys, CKeyArray& deleted) {
    deleted.clear();
    if (keys.empty()) return 0;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    sqlite3_stmt* st = m->Get("DELETE FROM Rireki WHERE ID=?1");
    if (!st) return -1;
    return m->ForEachKey(txn, keys, deleted, [&](int32_t key) {
        Use u(st);
        sqlite3_bind_int(st, 1, key);
        return m->StepChanged(st);
    });
}

int CMilvaneData::DeleteRireki(int32_t key, const CDateTime& now) {
    Impl::Txn txn(*m);
    if (!txn) return -1;
    int32_t owner = -1;
    int found = m->RirekiOwner(key, owner);
    if (found <= 0) return found;
    Use u(m->Get("DELETE FROM Rireki WHERE ID=?1"));
    if (!u) return -1;
    sqlite3_bind_int(u.get(), 1, key);
    if (!m->Step(u.get()) || m->TouchCustomer(owner, now) < 0) return -1;
    return txn.Commit() ? 1 : -1;
}

int CMilvaneData::DeleteRirekiForDate(const CDateTime& date) {
    if (!date.IsValid()) {
        m->Fail("日付が正しくありません。");
        return -1;
    }
    Impl::Txn txn(*m);
    if (!txn) return -1;
    // A day D holds [D, D+1) from day 0 on and (D-1, D] before it, as the
    // fraction counts forward from a negative day number.
    const double day = date.DateOnly().Days();
    Use u(m->Get(day >= 0 ? "DELETE FROM Rireki WHERE Date < ?1 + 1" : "DELETE FROM Rireki WHERE Date <= ?1"));
    if (!u) return -1;
    sqlite3_bind_double(u.get(), 1, day);
    if (!m->Step(u.get())) return -1;
    return txn.Commit() ? 1 : -1;
}

int CMilvaneData::DeleteRirekiForKokyaku(int32_t customerKey) {
    Impl::Txn txn(*m);
    if (!txn) return -1;
    Use u(m->Get("DELETE FROM Rireki WHERE CustomerID=?1"));
    if (!u) return -1;
    sqlite3_bind_int(u.get(), 1, customerKey);
    if (!m->Step(u.get())) return -1;
    int n = sqlite3_changes(m->db);
    if (!txn.Commit()) return -1;
    return n > 0 ? 1 : 0;
}

// ---------------------------------------------------------------------- DM titles and targets

int CMilvaneData::IntegrityCheck(std::vector<std::string>& problems) {
    if (!m->db) return -1;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m->db, "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK) return -1;
    bool sound = true;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        std::string line = text ? reinterpret_cast<const char*>(text) : "";
        if (line == "ok") continue;
        sound = false;
        problems.push_back(line);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) return -1;
    return sound ? 1 : 0;
}

int CMilvaneData::CountRecords(RecordCounts& counts) {
    if (!m->db) return -1;
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "SELECT (SELECT count(*) FROM Customer), (SELECT count(*) FROM Rireki), (SELECT count(*) FROM DMList), "
        "(SELECT count(*) FROM DMMng)";
    if (sqlite3_prepare_v2(m->db, sql, -1, &st, nullptr) != SQLITE_OK) return -1;
    const bool ok = sqlite3_step(st) == SQLITE_ROW;
    if (ok) {
        counts.customers = sqlite3_column_int64(st, 0);
        counts.history = sqlite3_column_int64(st, 1);
        counts.dmTitles = sqlite3_column_int64(st, 2);
        counts.dmTargets = sqlite3_column_int64(st, 3);
    }
    sqlite3_finalize(st);
    return ok ? 1 : -1;
}

int CMilvaneData::GetAllDMTitle(CDMList& list) {
    Use u(m->Get(std::string("SELECT ") + kDMColumns + " FROM DMList ORDER BY Date DESC, ID DESC"));
    if (!u) return 0;
    return m->ReadAll(u.get(), list, ReadDM) ? 1 : 0;
}

std::unique_ptr<CDMListData> CMilvaneData::AddNewDMTitle(const CDateTime& date, const std::string& title,
                                                         const std::string& content, const std::string& manager,
                                                         int32_t sendMethod, const CKeyArray& customerKeys,
                                                         CKeyArray& failed) {
    failed.clear();
    if (!m->ValidDMTexts(title, content, manager, sendMethod)) return nullptr;
    Impl::Txn txn(*m);
    if (!txn) return nullptr;
    auto d = std::make_unique<CDMListData>();
    d->Date = date;
    d->Title = title;
    d->Content = content;
    d->Manager = manager;
    d->SendMethod = sendMethod;
    {
        Use u(m->Get("INSERT INTO DMList (Date,Title,Content,Manager,SendMethod,SendState,HistoryRegistered) "
                     "VALUES (?1,?2,?3,?4,?5,0,0)"));
        if (!u) return nullptr;
        BindAll(u.get(), date, title, content, manager, sendMethod);
        if (!m->Step(u.get())) return nullptr;
        d->ID = static_cast<int32_t>(sqlite3_last_insert_rowid(m->db));
    }
    CKeyArray notAdded;
    if (m->InsertTargets(d->ID, customerKeys, notAdded) < 0 || !txn.Commit()) return nullptr;
    failed = std::move(notAdded);
    return d;
}

int CMilvaneData::ModifyDMTitle(int32_t key, const CDateTime& date, const std::string& title,
                                const std::string& content, const std::string& manager, int32_t sendMethod,
                                const CDateTime& now) {
    if (!m->ValidDMTexts(title, content, manager, sendMethod)) return -1;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    Use u(m->Get("UPDATE DMList SET Date=?2,Title=?3,Content=?4,Manager=?5,SendMethod=?6 WHERE ID=?1"));
    if (!u) return -1;
    BindAll(u.get(), key, date, title, content, manager, sendMethod);
    return m->UpdateDMTitle(u.get(), txn, key, now);
}

int CMilvaneData::DeleteDMTitle(const CKeyArray& keys, CKeyArray& deleted) {
    deleted.clear();
    if (keys.empty()) return 0;
    Impl::Txn txn(*m);
    if (!txn) return -1;
    const CDateTime now = CDateTime::Now();
    bool historyKept = false, notFound = false, titleFailed = false;
    CKeyArray done;
    std::unordered_set<uint32_t> seen;
    for (uint32_t key : keys) {
        if (!seen.insert(key).second) continue;
        const int32_t id = static_cast<int32_t>(key);
        if (!m->DMExists(id)) {
            notFound = true;
            continue;
        }
        // Each title in its own savepoint: a title whose sending history cannot
        // be removed is still deleted (its entries stay as ordinary history); a
        // title that cannot be deleted stays whole.
        if (!m->Exec("SAVEPOINT dm_title") || !m->Exec("SAVEPOINT dm_history")) return -1;
        if (m->RunDM("UPDATE Customer SET RirekiUpDate=?1 WHERE ID IN "
                     "(SELECT CustomerID FROM Rireki WHERE DMID=?2)",
                     id, now) &&
            m->RunDM("DELETE FROM Rireki WHERE DMID=?2", id, now)) {
            m->Exec("RELEASE dm_history");
        } else {
            m->Exec("ROLLBACK TO dm_history");
            m->Exec("RELEASE dm_history");
            m->RunDM("UPDATE Rireki SET DMID=NULL WHERE DMID=?2", id, now);
            historyKept = true;
        }
        if (m->RunDM("DELETE FROM DMMng WHERE DMID=?2", id, now) && m->RunDM("DELETE FROM DMList WHERE ID=?2", id, now)) {
            m->Exec("RELEASE dm_title");
            done.push_back(key);
        } else {
            m->Exec("ROLLBACK TO dm_title");
            m->Exec("RELEASE dm_title");
            titleFailed = true;
        }
    }
    if (!txn.Commit()) return -1;
    deleted = std::move(done);
    if (deleted.empty()) return titleFailed ? -1 : 0;
    if (historyKept) return 20;
    return notFound || titleFailed ? 10 : 1;
}

int CMilvaneData::SetStatusDMTitle(int32_t key, int32_t sendState, int32_t historyRegistered, int32_t sendMethod,
                                   const CDateTime& now) {
    if (!IsBinaryFlag(sendState) || !IsBinaryFlag(historyRegistered) || !IsBinaryFlag(sendMethod)) {
        m->Fail("DMの状態が正しくありません。");
        return -1;
    }
    if (sendState == 0) historyRegistered = 0;  // an unsent title has no sending history
    Impl::Txn txn(*m);
    if (!txn) return -1;
    Use u(m->Get("UPDATE DMList SET SendState=?2,HistoryRegistered=?3,SendMethod=?4 WHERE ID=?1"));
    if (!u) return -1;
    BindAll(u.get(), key, sendState, historyRegistered, sendMethod);
    return m->UpdateDMTitle(u.get(), txn, key, now);
}

int CMilvaneData::GetDMUserInfo(int32_t dmKey, CDMMngList& targets) {
    if (!m->DMExists(dmKey)) {
        m->Fail("DMが見つかりません。");
        return 0;
    }
    Use u(m->Get("SELECT m.DMID,m.CustomerID,c.CustomerID,c.Name,c.CompName FROM DMMng m "
                 "JOIN Customer c ON c.ID=m.CustomerID WHERE m.DMID=?1 ORDER BY m.rowid"));
    if (!u) return 0;
    sqlite3_bind_int(u.get(), 1, dmKey);
    const auto read = [](sqlite3_stmt* st, CDMMngData& t) {
        t.DMID = sqlite3_column_int(st, 0);
        t.CustomerID = sqlite3_column_int(st, 1);
        ColumnText(st, 2, t.CustomerCode);
        ColumnText(st, 3, t.Name);
        ColumnText(st, 4, t.CompName);
    };
    return m->ReadAll(u.get(), targets, read) ? 1 : 0;
}

int CMilvaneData::AddDMTarget(int32_t dmKey, const CKeyArray& customerKeys, CKeyArray& failed, const CDMList*,
                              const CDateTime& now) {
    failed.clear();
    Impl::Txn txn(*m);
    if (!txn) return -1;
    if (!m->DMExists(dmKey)) {
        m->Fail("DMが見つかりません。");
        return 0;
    }
    if (customerKeys.empty()) return 0;
    CKeyArray notAdded;
    int ok = m->InsertTargets(dmKey, customerKeys, notAdded);
    if (ok < 0) return -1;
    if (ok == 0) {
        m->Fail("顧客が見つかりません。");
        failed = std::move(notAdded);
        return -1;
    }
    if (!m->SyncDMHistory(dmKey, now) || !txn.Commit()) return -1;
    failed = std::move(notAdded);
    return failed.empty() ? 1 : 10;
}

int CMilvaneData::DeleteDMTarget(int32_t dmKey, const CKeyArray& customerKeys, const CDateTime& now) {
    Impl::Txn txn(*m);
    if (!txn) return -1;
    if (!m->DMExists(dmKey)) {
        m->Fail("DMが見つかりません。");
        return 0;
    }
    sqlite3_stmt* st = m->Get("DELETE FROM DMMng WHERE DMID=?1 AND CustomerID=?2");
    if (!st) return -1;
    std::unordered_set<uint32_t> seen;
    std::size_t removed = 0;
    for (uint32_t key : customerKeys) {
        if (!seen.insert(key).second) continue;
        Use u(st);
        sqlite3_bind_int(st, 1, dmKey);
        sqlite3_bind_int(st, 2, static_cast<int32_t>(key));
        if (!m->Step(st)) return -1;
        removed += static_cast<std::size_t>(sqlite3_changes(m->db));
    }
    if (removed == 0) return 0;
    if (!m->SyncDMHistory(dmKey, now) || !txn.Commit()) return -1;
    return removed == seen.size() ? 1 : 10;
}

// ---------------------------------------------------------------------- analyses

int CMilvaneData::QuerySoruna(int kind, const std::string& sql, CSorunaHitList& hits, int maxHits) {
    if (kind != 1 && kind != 2 && kind != 3 && kind != 6) {
        m->Fail("分析の種類が正しくありません。");
        return -1;
    }
    Stmt stmt = m->PrepareUserSelect(sql);
    if (!stmt) return -1;
    sqlite3_stmt* st = stmt.get();
    if (sqlite3_column_count(st) < 2) {
        m->Fail("SQL: 顧客番号と集計値の列が必要です。");
        return -1;
    }
    CSorunaHitList rows;
    int rc = SQLITE_DONE;
    while ((maxHits <= 0 || static_cast<int>(rows.size()) < maxHits) && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        auto h = std::make_unique<CMLVSorunaHit>();
        h->Kind = kind;
        h->CustomerID = sqlite3_column_int(st, 0);
        switch (kind) {
        case 1: h->Count = sqlite3_column_int(st, 1); break;
        case 2: h->Date = ColumnDate(st, 1); break;
        case 3: h->Count = static_cast<int32_t>(std::llround(sqlite3_column_double(st, 1))); break;
        case 6: h->Money = sqlite3_column_double(st, 1); break;
        }
        rows.push_back(std::move(h));
    }
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        m->FailDb("SQL");
        return -1;
    }
    for (auto& h : rows) hits.push_back(std::move(h));
    return 1;
}
