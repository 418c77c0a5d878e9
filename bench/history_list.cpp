// The history screen over a million entries, offscreen: "すべて表示する"
// (reading every entry's key and date and switching to the screen until its rows are
// painted) and sorting by date until repainted. The raw side reads the keys
// and dates in the list order and a page of rows by key, and sorts the keys
// by date.
// Needs the widgets (milvane_ui); built without them it only says so.
#if __has_include(<QApplication>)
#include <QApplication>

#include "BenchData.h"
#include "ShownFrame.h"
#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "root/Wiring.h"
#include "customers/MLVColSet.h"
#include "history/ui/RirekiListCtrl.h"
#include "history/ui/RirekiView.h"

namespace {

void Report(const char* name, double ours, double raw, double limit) {
    std::printf("BENCH %s ours=%.4f raw=%.4f ratio=%.2f limit=%.4f %s\n", name, ours, raw, ours / raw, limit,
                ours <= limit ? "ok" : "SLOW");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    const int history = bench::EnvInt("MILVANE_BENCH_HISTORY", 1000000);

    bench::ScratchFolder scratch;
    const std::string install = scratch.Sub("install");
    const std::string folder = scratch.Sub("data");
    bench::WriteDataDir(install, folder);
    CMLVColSet set(install);
    set.columns = {{"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"CompName", "会社名"}};
    set.Save();

    {
        bench::Generator gen;
        CMilvaneData db;
        CKeyArray keys = bench::OpenFilledDatabase(db, folder, gen, customers);
        bench::AddHistory(db, gen, keys, history);
        db.SaveMLV(true);
    }

    CMilvaneDoc doc(install);
    doc.DataDir = folder;
    bench::Check(doc.Database().InitDB(folder) == 1, "opening the database");
    bench::Check(doc.ReadCustomers() == 1, "reading the customers");
    sqlite3* raw = bench::OpenRaw(doc.Database().GetMLVFName(), true);

    CMainFrame frame(doc, BuiltScreens());
    bench::ShowFrame(frame, app);

    double showRaw = 1e30, showOurs = 1e30, sortRaw = 1e30, sortOurs = 1e30;
    for (int round = 0; round < 2; ++round) {
        std::vector<bench::HistoryKey> rawRows;
        std::string shown;
        showRaw = std::min(showRaw, bench::Seconds([&] { rawRows = bench::ReadHistoryScreenRaw(raw, shown); }));
        bench::Check(int(rawRows.size()) == history, "the raw rows");
        sortRaw = std::min(sortRaw, bench::Seconds([&] { bench::SortHistoryKeysRaw(rawRows); }));

        // As the menu screen's "すべて表示する" does it.
        if (std::getenv("MILVANE_BENCH_DETAIL")) {
            doc.RirekiList.clear();
            std::fprintf(stderr, "GetRirekiKeys alone: %.4f s\n", bench::Seconds([&] {
                doc.Database().GetRirekiKeys(doc.RirekiList);
            }));
        }
        showOurs = std::min(showOurs, bench::Seconds([&] {
            doc.RirekiList.clear();
            bench::Check(doc.Database().GetRirekiKeys(doc.RirekiList) == 1, "GetRirekiKeys");
            frame.SwitchView(SCREEN_RIREKI_LIST);
            frame.grab();
        }));
        auto* view = qobject_cast<CRirekiView*>(frame.ActiveView());
        bench::Check(view && view->ListCtrl()->model()->rowCount() == history, "the history screen");
        sortOurs = std::min(sortOurs, bench::Seconds([&] {
            view->ListCtrl()->List().SortByColumn(0);
            frame.grab();
        }));
        frame.SwitchView(SCREEN_MENU);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Report("history-show-1m", showOurs, showRaw, 2.0);
    Report("history-sort-date-1m", sortOurs, sortRaw, 1.0);
    sqlite3_close(raw);
    return 0;
}

#else
#include <cstdio>

int main() {
    std::puts("history_list: built without the widgets; link it with milvane_ui");
    return 0;
}
#endif
