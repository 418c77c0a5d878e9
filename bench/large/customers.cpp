// The customer screen over the large data, offscreen: start-up (opening the
// database, reading the customers in the default order, the customer screen
// until its rows are painted) with the peak memory, ranking the text columns
// ahead while the list stands, sorting by name (and by every other shown
// column) until repainted after that and at once, scrolling, and a three-row
// extraction against the same translated statement stepped directly on SQLite.
#include <QApplication>
#include <QScrollBar>
#include <chrono>
#include <thread>

#include "LargeData.h"
#include "ShownFrame.h"
#include "app/CommandIds.h"
#include "app/MilvaneApp.h"
#include "app/MilvaneDoc.h"
#include "root/Wiring.h"
#include "customers/MLVColSet.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "customers/ui/KokyakuView.h"

int main(int argc, char** argv) {
    const std::string folder = bench::LargeDataFolder();
    const std::string size = bench::SizeName(bench::LargeCustomers());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::ScratchFolder scratch;
    const std::string install = scratch.Path();
    bench::PrepareInstall(install, folder,
                          {{"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"Yomi", "ﾌﾘｶﾞﾅ"},
                           {"Add_Home_X", "住所"}, {"TEL_Home", "電話"}, {"RirekiUpDate", "履歴更新日"}});

    CMilvaneDoc doc(install);
    doc.DataDir = folder;
    CMainFrame frame(doc, BuiltScreens());
    bench::ShowFrame(frame, app);

    const double start = bench::Seconds([&] {
        bench::Check(doc.Database().InitDB(folder) == 1, "opening the database");
        LoadDocumentCustomers(doc);
        frame.SwitchView(SCREEN_KOKYAKU_LIST);
        frame.grab();
    });
    bench::Report("customers-start-" + size, start);
    std::printf("MEM customers-start-%s peak_mb=%ld\n", size.c_str(), bench::PeakMb());
    auto* view = dynamic_cast<CKokyakuView*>(frame.ActiveView());
    bench::Check(view && view->ListCtrl()->model()->rowCount() == bench::LargeCustomers(), "the customer screen");

    CKokyakuListCtrl* list = view->ListCtrl();
    const std::vector<CListColumn> columns = list->List().Columns();

    // The list ranks its text columns ahead while it stands: the time until
    // done, and the longest the event loop was held on the way.
    double longest = 0;
    const double prepared = bench::Seconds([&] {
        do {
            const double step = bench::Seconds([] { QCoreApplication::processEvents(); });
            longest = std::max(longest, step);
            if (step < 0.001) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } while (list->PreparingSorts());
    });
    bench::Report("list-prepare-" + size, prepared);
    bench::Report("list-prepare-longest-step-" + size, longest);
    std::printf("MEM list-prepare-%s peak_mb=%ld\n", size.c_str(), bench::PeakMb());

    // Clicks after that: the name, then the name again (descending).
    for (const char* name : {"list-sort-name-", "list-sort-name-again-"})
        bench::Report(name + size, bench::Seconds([&] {
                          list->List().SortByColumn(1);  // 氏名
                          frame.grab();
                      }));
    // Every other shown column, ascending.
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        if (columns[static_cast<std::size_t>(c)].field == "Name") continue;
        bench::Report("list-sort-" + columns[static_cast<std::size_t>(c)].field + "-" + size, bench::Seconds([&] {
                          list->List().Sort(c, true);
                          frame.grab();
                      }));
    }

    // A click after a customer's name was changed: the changed row is placed
    // among the ranks made ahead.
    const CKokyakuRow& edited = doc.KokyakuList[doc.KokyakuList.size() / 2];
    bench::Check(doc.KokyakuList.Update(edited.ID, [](CKokyaku& k) { k.Name = "変更後の氏名"; }), "changing a name");
    list->UpdateRow(&edited);
    bench::Report("list-sort-name-after-change-" + size, bench::Seconds([&] {
                      list->List().Sort(1, true);
                      frame.grab();
                  }));

    // A click on a heading at once, before the list has ranked any column
    // ahead (the ranks made ahead are dropped): the first sort builds the
    // texts' sort keys.
    list->List().SetPrepareMinimum(SIZE_MAX);
    list->List().PrepareSorts();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c)
        bench::Report("list-sort-" + columns[static_cast<std::size_t>(c)].field + "-at-once-" + size,
                      bench::Seconds([&] {
                          list->List().Sort(c, true);
                          frame.grab();
                      }));

    // Runs the event loop until done() or for at most that long.
    const auto wait = [&](std::chrono::milliseconds most, auto done) {
        for (const auto from = std::chrono::steady_clock::now();
             !done() && std::chrono::steady_clock::now() - from < most;) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };

    // A click on the joined address one second after the rows last changed,
    // the event loop running meanwhile (the longest texts are ranked first).
    list->List().SetPrepareMinimum(CPreparedRanks::kMinimum);
    list->List().Sort(0, true);
    wait(std::chrono::seconds(1), [] { return false; });
    int address = 0;
    while (columns[static_cast<std::size_t>(address)].field != "Add_Home_X") ++address;
    bench::Report("list-sort-Add_Home_X-1s-after-" + size, bench::Seconds([&] {
                      list->List().Sort(address, true);
                      frame.grab();
                  }));

    // A click on the name while the address is still being ranked ahead (the
    // ranks made before are dropped): the name sorts at once beside the worker.
    wait(std::chrono::seconds(10), [&] { return !list->PreparingSorts(); });
    list->List().SetPrepareMinimum(SIZE_MAX);
    list->List().PrepareSorts();
    list->List().SetPrepareMinimum(CPreparedRanks::kMinimum);
    list->List().Sort(0, true);
    wait(std::chrono::seconds(5), [&] { return list->List().RankingAhead() == "Add_Home_X"; });
    if (list->List().RankingAhead() == "Add_Home_X")
        bench::Report("list-sort-name-while-ranking-" + size, bench::Seconds([&] {
                          list->List().Sort(1, true);
                          frame.grab();
                      }));
    else
        std::printf("list-sort-name-while-ranking-%s: the list is too short to be ranked ahead\n", size.c_str());

    // Scrolling: jumps over the whole list, each repainted (one frame is 1/60 s).
    QScrollBar* bar = list->verticalScrollBar();
    const int steps = 50;
    const double scrolled = bench::Seconds([&] {
        for (int i = 1; i <= steps; ++i) {
            bar->setValue(bar->maximum() * i / steps);
            list->viewport()->grab();
        }
    });
    bench::Report("list-scroll-frame-" + size, scrolled / steps);

    CMilvaneData& db = doc.Database();
    bench::CompareThreeRowExtraction(("extract-3rows-" + size).c_str(), db, 3);
    frame.SwitchView(SCREEN_MENU);
    db.SaveMLV(true);
    return 0;
}
