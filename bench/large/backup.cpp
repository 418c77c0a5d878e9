// The data backup of the large data folder (the .mlvdbu file written and
// fsynced) against tar of the same folder followed by a sync of the archive;
// each side starts with the folder read into the page cache and nothing left
// to write back, so that neither pays for what was written before it.
#include "LargeData.h"
#include "app/MilvaneDoc.h"
#include "maintenance/DataBackup.h"

int main() {
    const bench::LargeData data;
    const std::string& folder = data.folder;
    CMilvaneDoc doc(data.install);
    doc.DataDir = folder;
    bench::Check(doc.Database().InitDB(folder) == 1, "opening the database");
    bench::Check(doc.Database().SaveMLV(false) == 1, "saving the database");

    const std::string ours = data.scratch.Sub("ours"), raw = data.scratch.Sub("raw");
    const std::string warm = "cat '" + folder + "'/* > /dev/null && sync";
    const std::string tar = "tar -cf '" + raw + "/b.tar' -C '" + folder + "' . && sync '" + raw + "/b.tar'";
    bench::Check(std::system(warm.c_str()) == 0, "reading the folder");
    const double oursSeconds = bench::Seconds([&] { bench::Check(CDataBackup(&doc).WriteBackup(ours, "b"), "the backup"); });
    std::filesystem::remove_all(ours);
    bench::Check(std::system(warm.c_str()) == 0, "reading the folder");
    const double rawSeconds = bench::Seconds([&] { bench::Check(std::system(tar.c_str()) == 0, "tar"); });
    bench::Report("backup-" + data.size, oursSeconds, rawSeconds);
    std::printf("MEM backup-%s peak_mb=%ld\n", data.size.c_str(), bench::PeakMb());
    doc.Database().SaveMLV(true);
    return 0;
}
