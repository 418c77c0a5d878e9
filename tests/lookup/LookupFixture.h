// The postal dictionaries built from the fixture records of tests/lookup/postal,
// in a temporary folder: <root>/Yubin/yubin.dic and <root>/Hojin/hojin.dic.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "lookup/PostalDict.h"
#include "support/TestPorts.h"

// The fixture file: below $MILVANE_TEST_SOURCE when set, else beside this
// header (its compile-time path, which may be relative to the build folder
// the tests run in), else below the current folder.
inline std::string LookupFixtureSource(const std::string& name) {
    std::vector<std::string> folders;
    if (const char* src = std::getenv("MILVANE_TEST_SOURCE")) folders.push_back(std::string(src) + "/tests/lookup");
    folders.push_back(std::filesystem::path(__FILE__).parent_path().string());
    folders.push_back("tests/lookup");
    for (const std::string& f : folders)
        if (std::filesystem::exists(f + "/postal/" + name)) return f + "/postal/" + name;
    ADD_FAILURE() << "fixture not found: " << name;
    return name;
}

inline std::vector<PostalSourceEntry> FixtureRecords() {
    std::vector<PostalSourceEntry> out;
    for (const char* name : {"100.json", "mixed.json"}) {
        const std::string text = ReadBytes(LookupFixtureSource(name));
        EXPECT_TRUE(ParsePostalSourceFile(text, out)) << name;
    }
    return out;
}

struct PostalFixture {
    TempDir root;
    std::string yubin = root.File("Yubin");
    std::string hojin = root.File("Hojin");

    PostalFixture() {
        const auto records = FixtureRecords();
        std::filesystem::create_directories(yubin);
        std::filesystem::create_directories(hojin);
        WriteBytes(yubin + "/" + kYubinFileName, BuildPostalDictFile(records, false));
        WriteBytes(hojin + "/" + kHojinFileName, BuildPostalDictFile(records, true));
    }
};
