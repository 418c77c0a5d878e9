// Shared set-up of the maintenance tests: an installation with a data folder
// holding an open database with customers, a few settings files and pictures,
// and a file-tree snapshot to compare folders byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/Kokyaku.h"
#include "maintenance/SafeFile.h"
#include "support/TestPorts.h"

// Short, printable stand-in for a file's bytes: the bytes themselves when
// short and readable, else their size and hash.
inline std::string Digest(const std::string& bytes) {
    if (bytes.size() <= 40 && std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= ' '; })) return bytes;
    return std::to_string(bytes.size()) + " bytes #" + std::to_string(std::hash<std::string>{}(bytes));
}

// Every regular file below folder (relative path → Digest of its bytes);
// names in skip (files or sub-folders) are left out.
inline std::map<std::string, std::string> TreeOf(const std::string& folder,
                                                  std::initializer_list<std::string> skip = {}) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> out;
    if (!fs::exists(folder)) return out;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
        const std::string rel = fs::relative(it->path(), folder).string();
        if (it->is_directory() && std::find(skip.begin(), skip.end(), rel) != skip.end()) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && std::find(skip.begin(), skip.end(), rel) == skip.end())
            out[rel] = Digest(ReadBytes(it->path().string()));
    }
    return out;
}

// Fails the writes to paths containing part with err (for other errors than
// a full disk, the opening too) while alive.
struct FailingWrites {
    FailingWrites(std::string part, int err) {
        mfs::SetFailPointHook([part, err](const char* op, const std::string& path) {
            const bool kind = std::string(op) == "write" || (err != ENOSPC && std::string(op) == "open");
            return kind && path.find(part) != std::string::npos ? err : 0;
        });
    }
    ~FailingWrites() { mfs::SetFailPointHook(nullptr); }
};

inline std::string U32(uint32_t v) {
    return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}

inline std::tm Day(int y, int m, int d, int hour = 0, int min = 0, int sec = 0) {
    std::tm t{};
    t.tm_year = y - 1900, t.tm_mon = m - 1, t.tm_mday = d, t.tm_hour = hour, t.tm_min = min, t.tm_sec = sec;
    return t;
}

// A closed data folder holding a database with one customer, and files.
inline void MakeDataFolder(const std::string& folder, const std::string& customer,
                           const std::map<std::string, std::string>& files = {},
                           const std::string& dbName = "QSMLV.mlv") {
    std::filesystem::create_directories(folder + "/Picture");
    ASSERT_TRUE(CreateEmptyMilvaneDatabase(folder + "/" + dbName));
    CMilvaneData db;
    ASSERT_EQ(db.InitDBFromPath(folder + "/" + dbName, false), 1);
    CKokyaku k;
    k.Name = customer;
    ASSERT_GT(db.AddNewKokyaku(k), 0);
    ASSERT_EQ(db.SaveMLV(true), 1);
    for (auto& [name, bytes] : files) WriteBytes(folder + "/" + name, bytes);
}

struct DataFolderFixture {
    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;

    DataFolderFixture() {
        std::filesystem::create_directories(install.File("Data/MyData"));
        std::filesystem::create_directories(install.File("Data/Org"));
        std::filesystem::create_directories(install.File("exe"));
        std::filesystem::create_directories(install.File("data/Picture"));
        doc = std::make_unique<CMilvaneDoc>(install.Path());
        doc->DataDir = install.File("data");
        CreateEmptyMilvaneDatabase(DataFile("QSMLV.mlv"));
        EXPECT_EQ(doc->Database().InitDB(doc->DataDir), 1);
    }
    ~DataFolderFixture() { doc->Database().SaveMLV(true); }

    std::string DataFile(const std::string& name) const { return doc->DataDir + "/" + name; }
    int32_t AddCustomer(const std::string& name) {
        CKokyaku k;
        k.Name = name;
        return doc->Database().AddNewKokyaku(k);
    }
    std::string CustomerName(int32_t key) {
        CKokyakuList list;
        doc->Database().GetAllKokyaku(list);
        for (auto& k : list)
            if (k->ID == key) return k->Name;
        return "<none>";
    }
};
