// Shared set-up of the customer database tests: a data folder with an empty
// database opened by a CMilvaneData, and a second connection that reads what
// is on disk.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "db/MilvaneData.h"
#include "support/TestPorts.h"

// A separate connection to the database file: what another process would see.
class SecondConnection {
public:
    explicit SecondConnection(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(m_db, 2000);
    }
    ~SecondConnection() { sqlite3_close(m_db); }
    SecondConnection(const SecondConnection&) = delete;
    SecondConnection& operator=(const SecondConnection&) = delete;

    // First column of the first row as integer (-999 on error).
    long long Int(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        long long v = -999;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            v = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        return v;
    }
    std::string Text(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        std::string v = "<error>";
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* p = sqlite3_column_text(st, 0);
            v = p ? reinterpret_cast<const char*>(p) : "<null>";
        }
        sqlite3_finalize(st);
        return v;
    }
    bool Exec(const std::string& sql) { return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }

private:
    sqlite3* m_db = nullptr;
};

class MilvaneDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateEmptyMilvaneDatabase(DbPath()));
        ASSERT_EQ(data.InitDB(dir.Path()), 1) << data.LastError();
    }

    std::string DbPath() const { return dir.File(kDatabaseFileName); }
    std::string WorkPath() const { return dir.File(kWorkFileName); }
    // A fresh connection each time, so that it sees only what is on disk.
    long long Count(const std::string& sql) { return SecondConnection(DbPath()).Int(sql); }

    int32_t AddCustomer(const std::string& code, const std::string& name = "名前") {
        CKokyaku k;
        k.CustomerID = code;
        k.Name = name;
        k.StartDate = k.LastUpDate = k.RirekiUpDate = CDateTime::FromParts(2004, 1, 1);
        return data.AddNewKokyaku(k);
    }

    CKokyakuList All(const std::string& order = "") {
        CKokyakuList list;
        EXPECT_EQ(data.GetAllKokyaku(list, order), 1) << data.LastError();
        return list;
    }

    std::unique_ptr<CKokyaku> Get(int32_t key) {
        for (auto& k : All())
            if (k->ID == key) return std::move(k);
        return nullptr;
    }

    // Keys of a successful customer extraction, in the statement's order.
    CKeyArray Keys(const std::string& sql) {
        CKeyArray keys;
        EXPECT_EQ(data.ExtractKokyaku(sql, keys), 1) << sql << "\n" << data.LastError();
        return keys;
    }

    CRirekiList History(int32_t customer) {
        CRirekiList list;
        EXPECT_EQ(data.GetRirekiForKokyaku(customer, list), 1) << data.LastError();
        return list;
    }

    static CRirekiData Entry(const std::string& title, const CDateTime& date, double money = 0) {
        CRirekiData r;
        r.ActionTitle = title;
        r.Date = date;
        r.Money = money;
        return r;
    }

    // Adds an entry of Entry(title, date, money) stamped at stamp; its key.
    int32_t AddEntry(int32_t customer, const CDateTime& stamp, const std::string& title, const CDateTime& date,
                     double money = 0) {
        CRirekiData r = Entry(title, date, money);
        return data.AddNewRireki(customer, r, stamp);
    }

    TestPorts ports;
    TempDir dir;
    CMilvaneData data;
};
