// An installation folder whose datadir.dat names a separate data folder, for
// the tests of the settings files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/SjisText.h"
#include "customers/MLVColSet.h"
#include "support/TestPorts.h"

struct TestInstall {
    TempDir root;
    std::string install = root.File("inst");
    std::string data = root.File("data");

    TestInstall() {
        std::filesystem::create_directories(install + "/Data/MyData");
        std::filesystem::create_directories(install + "/Data/Org");
        std::filesystem::create_directories(data);
        WriteBytes(install + "/Data/MyData/datadir.dat", data + "\r\n");
    }
    std::string DataFile(const std::string& name) const { return data + "/" + name; }
    std::string MasterFile() const { return install + "/Data/Org/MLVColSet.sys"; }

    // Writes a column set file.
    static void WriteSet(const std::string& path, const std::vector<CMLVCol>& cols) {
        CMLVColSet set("");
        set.columns = cols;
        CArchiveWriter ar;
        set.WriteTo(ar);
        WriteBytes(path, ar.Bytes());
    }
};

// A small catalogue in master order.
inline std::vector<CMLVCol> SampleColumns() {
    return {
        {"ID", "ID", 0},
        {"CustomerID", "お客様コード", 0},
        {"Name", "氏名", 0},
        {"Yomi", "ﾌﾘｶﾞﾅ", 0},
        {"TEL_Home", "自宅電話", 0},
        {"TEL_Home_X", "自宅電話(数値)", 0},
        {"Picture1", "画像１", 0},
        {"Ranking1", "ﾗﾝｷﾝｸﾞ１", 1},
        {"Note1", "備考１", 1},
        {"RirekiUpDate", "履歴更新日", 0},
    };
}

// A text as the archive writes it: one length byte, then Shift-JIS.
inline std::string Text(const std::string& utf8) {
    std::string sjis = Utf8ToSjis(utf8);
    return std::string(1, static_cast<char>(sjis.size())) + sjis;
}

class SettingsTest : public ::testing::Test {
protected:
    TestPorts ports;
    TestInstall inst;
};
