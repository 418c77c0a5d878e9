// The data set the backup targets restore into: an installation with an
// empty database and one picture, and a good backup of it ("b.mlvdbu" and
// "b_1.mlvpbu") made once per process.
#pragma once

#include "FuzzSupport.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/SjisText.h"
#include "maintenance/DataBackup.h"

namespace fuzz {

struct BackupSet {
    std::string install = Scratch() + "/backup";
    std::string data = install + "/data";
    std::string good = Scratch() + "/good";
    std::unique_ptr<CMilvaneDoc> doc;

    BackupSet() {
        std::filesystem::create_directories(data);
        WriteInput("backup/Data/MyData/datadir.dat", Utf8ToSjis(data));
        if (!CreateEmptyMilvaneDatabase(data + "/QSMLV.mlv")) std::abort();
        doc = std::make_unique<CMilvaneDoc>(install);
        doc->DataDir = data;
        if (doc->Database().InitDB(data) != 1) std::abort();
        WriteInput("backup/data/Picture/a.jpg", "picture");
        std::filesystem::create_directories(good);
        if (!CDataBackup(doc.get()).WriteBackup(good, "b")) std::abort();
    }

    std::string Good(const char* name) const {
        std::ifstream in(good + "/" + name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    // Restores b.mlvdbu of the folder as the command does after its question.
    void Restore(const std::string& folder) {
        doc->Database().SaveMLV(true);
        CDataBackup(doc.get()).RestoreFrom(folder + "/b.mlvdbu");
    }
};

}  // namespace fuzz
