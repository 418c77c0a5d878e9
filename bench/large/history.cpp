// The history screen over the large data, offscreen: "すべて表示する"
// (reading every entry and switching to the screen until its rows are
// painted) and sorting by date until repainted. The raw side steps the same
// SELECT through every column, and sorts entry pointers by date.
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

    // The raw read: every column of every entry in the list order, with the
    // texts copied, then the dates sorted through pointers.
    double showRaw = 0, sortRaw = 0;
    {
        struct Row {
            int id, customer;
            double date, money;
            std::string texts;
        };
        std::vector<Row> rows;
        showRaw = bench::Seconds([&] {
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw,
                                            "SELECT ID, CustomerID, Date, ActionTitle, Action, Money, Keyword, "
                                            "TantouName, Picture FROM Rireki ORDER BY Date DESC, ID DESC",
                                            -1, &st, nullptr) == SQLITE_OK,
                         "prepare", raw);
            while (sqlite3_step(st) == SQLITE_ROW) {
                Row r{sqlite3_column_int(st, 0), sqlite3_column_int(st, 1), sqlite3_column_double(st, 2),
                      sqlite3_column_double(st, 5), {}};
                for (int c : {3, 4, 6, 7, 8}) r.texts += bench::ColumnText(st, c);
                rows.push_back(std::move(r));
            }
            sqlite3_finalize(st);
        });
        std::vector<const Row*> pointers;
        for (const Row& r : rows) pointers.push_back(&r);
        sortRaw = bench::Seconds([&] {
            std::stable_sort(pointers.begin(), pointers.end(), [](const Row* a, const Row* b) { return a->date < b->date; });
        });
    }
    sqlite3_close(raw);

    CMainFrame frame(doc, BuiltScreens());
    bench::ShowFrame(frame, app);

    // As the menu screen's "すべて表示する" does it.
    const double show = bench::Seconds([&] {
        bench::Check(doc.Database().GetAllRireki(doc.RirekiList) == 1, "GetAllRireki");
        frame.SwitchView(SCREEN_RIREKI_LIST);
        frame.grab();
    });
    bench::Report("history-show-" + size, show, showRaw);
    std::printf("MEM history-show-%s peak_mb=%ld\n", size.c_str(), bench::PeakMb());
    auto* view = qobject_cast<CRirekiView*>(frame.ActiveView());
    bench::Check(view && view->ListCtrl()->model()->rowCount() == bench::LargeHistory(), "the history screen");
    const double sort = bench::Seconds([&] {
        view->ListCtrl()->List().SortByColumn(0);
        frame.grab();
    });
    bench::Report("history-sort-date-" + size, sort, sortRaw);
    frame.SwitchView(SCREEN_MENU);
    doc.Database().SaveMLV(true);
    return 0;
}
