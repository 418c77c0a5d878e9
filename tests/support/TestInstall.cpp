#include "support/TestInstall.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/SjisText.h"

std::string MakeInstallation(const TempDir& install) {
    const std::string data = install.File("data");
    std::filesystem::create_directories(install.File("Data/MyData"));
    std::filesystem::create_directories(data);
    WriteBytes(install.File("Data/MyData/datadir.dat"), Utf8ToSjis(data));
    return data;
}

void SaveColumns(const TempDir& install, const std::vector<CMLVCol>& columns, const std::vector<std::string>& shown) {
    CMLVColSet set(install.Path());
    set.columns = columns;
    EXPECT_EQ(set.Save(), 1);
    if (shown.empty()) return;
    CMLVDispKokyakuCol disp(install.Path());
    disp.names = shown;
    EXPECT_EQ(disp.Save(), 1);
}

std::unique_ptr<CMilvaneDoc> OpenDocument(const TempDir& install, bool database) {
    const std::string data = install.File("data");
    if (database) {
        EXPECT_TRUE(CreateEmptyMilvaneDatabase(data + "/QSMLV.mlv"));
    }
    auto doc = std::make_unique<CMilvaneDoc>(install.Path());
    doc->DataDir = data;
    if (database) {
        EXPECT_EQ(doc->Database().InitDB(data), 1);
    }
    return doc;
}
