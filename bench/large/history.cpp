// The history screen over the large data, offscreen: "すべて表示する"
// (reading every entry's key and date and switching to the screen until its rows are
// painted) and sorting by date until repainted. The raw side reads the keys
// and dates in the list order and a page of rows by key, and sorts the keys
// by date.
#include <QApplication>

#include "LargeData.h"
#include "ShownFrame.h"
#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "root/Wiring.h"
#include "customers/MLVColSet.h"
#include "history/ui/RirekiListCtrl.h"
#include "history/ui/RirekiView.h"

int main(int argc, char** argv) {
    const std::string folder = bench::LargeDataFolder();
    const std::string size = bench::SizeName(bench::LargeHistory());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::ScratchFolder scratch;
    const std::string install = scratch.Path();
    bench::PrepareInstall(install, folder, {{"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"CompName", "会社名"}});

    CMilvaneDoc doc(install);
    doc.DataDir = folder;
    bench::Check(doc.Database().InitDB(folder) == 1, "opening the database");
    sqlite3* raw = bench::OpenRaw(doc.Database().GetMLVFName(), true);

    // The raw read: every entry's key and date in the list order, then the
    // first screen of rows by key with their customers; then the rows sorted
    // by date, stably.
    double showRaw = 0, sortRaw = 0;
    {
        std::vector<bench::HistoryKey> rows;
        std::string shown;
        showRaw = bench::Seconds([&] { rows = bench::ReadHistoryScreenRaw(raw, shown); });
        sortRaw = bench::Seconds([&] { bench::SortHistoryKeysRaw(rows); });
    }
    sqlite3_close(raw);

    CMainFrame frame(doc, BuiltScreens());
    bench::ShowFrame(frame, app);

    // As the menu screen's "すべて表示する" does it.
    // MILVANE_BENCH_DETAIL: the time of each step on stderr.
    const bool detail = std::getenv("MILVANE_BENCH_DETAIL") != nullptr;
    auto step = [detail](const char* what, auto run) {
        const double s = bench::Seconds(run);
        if (detail) std::fprintf(stderr, "  %s: %.4f s\n", what, s);
    };
    const double show = bench::Seconds([&] {
        step("keys", [&] { bench::Check(doc.Database().GetRirekiKeys(doc.RirekiList) == 1, "GetRirekiKeys"); });
        step("screen", [&] { frame.SwitchView(SCREEN_RIREKI_LIST); });
        step("paint", [&] { frame.grab(); });
    });
    bench::Report("history-show-" + size, show, showRaw);
    std::printf("MEM history-show-%s peak_mb=%ld\n", size.c_str(), bench::PeakMb());
    auto* view = qobject_cast<CRirekiView*>(frame.ActiveView());
    bench::Check(view && view->ListCtrl()->model()->rowCount() == bench::LargeHistory(), "the history screen");
    const double sort = bench::Seconds([&] {
        step("sort", [&] { view->ListCtrl()->List().SortByColumn(0); });
        step("paint", [&] { frame.grab(); });
    });
    bench::Report("history-sort-date-" + size, sort, sortRaw);
    frame.SwitchView(SCREEN_MENU);
    doc.Database().SaveMLV(true);
    return 0;
}
