// The data backup of a data folder with 100,000 customers, 300,000 history
// entries and 1,000 pictures of 30 KB: the .mlvdbu and .mlvpbu files written
// and fsynced, against tar of the same folder followed by a sync of the archive.
#include <fstream>

#include "BenchData.h"
#include "app/MilvaneDoc.h"
#include "maintenance/DataBackup.h"

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    const int history = bench::EnvInt("MILVANE_BENCH_HISTORY", 300000);
    const int pictures = bench::EnvInt("MILVANE_BENCH_PICTURES", 1000);
    bench::ScratchFolder scratch;
    const std::string folder = scratch.Sub("data");
    bench::Generator gen;
    CMilvaneDoc doc(scratch.Path());
    doc.DataDir = folder;
    CMilvaneData& db = doc.Database();
    CKeyArray keys = bench::OpenFilledDatabase(db, folder, gen, customers);
    bench::AddHistory(db, gen, keys, history);
    bench::Check(db.SaveMLV(false) == 1, "saving the database");
    for (const char* name : {"MLVColSet.sys", "MLVDispCol.sys", "Tantou.dat", "KRank1.dat", "MLVExtract.sys"}) {
        std::ofstream(folder + "/" + name, std::ios::binary) << std::string(2000, 'x');
    }
    std::filesystem::create_directories(folder + "/Picture");
    std::string bytes(30 * 1024, '\0');
    for (int i = 0; i < pictures; ++i) {
        for (char& c : bytes) c = char(gen.Uniform(0, 255));
        std::ofstream(folder + "/Picture/写真" + std::to_string(i) + ".jpg", std::ios::binary) << bytes;
    }

    const std::string ours = scratch.Path() + "/ours", raw = scratch.Path() + "/raw";
    const std::string tar = "tar -cf '" + raw + "/b.tar' -C '" + folder + "' . && sync '" + raw + "/b.tar'";
    bench::Compare(
        "backup-100k", 3,
        [&] {
            std::filesystem::remove_all(ours);
            std::filesystem::create_directories(ours);
            bench::Check(CDataBackup(&doc).WriteBackup(ours, "b"), "the backup");
        },
        [&] {
            std::filesystem::remove_all(raw);
            std::filesystem::create_directories(raw);
            bench::Check(std::system(tar.c_str()) == 0, "tar");
        });
    return 0;
}
