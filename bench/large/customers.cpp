// The customer screen over the large data, offscreen: start-up (opening the
// database, reading the customers in the default order, the customer screen
// until its rows are painted) with the peak memory, sorting by name until
// repainted, and a three-row extraction against the same translated
// statement stepped directly on SQLite.
#include <QApplication>

#include "LargeData.h"
#include "app/CommandIds.h"
#include "app/JetSql.h"
#include "app/MilvaneApp.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ScreenRegistry.h"
#include "customers/MLVColSet.h"
#include "customers/MasterColSet.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "customers/ui/KokyakuView.h"
#include "extract/ExCondition.h"

int main(int argc, char** argv) {
    const std::string folder = bench::LargeDataFolder();
    const std::string size = bench::SizeName(bench::LargeCustomers());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::ScratchFolder scratch;
    const std::string install = scratch.Path();
    bench::WriteDataDir(install, folder);
    CMLVColSet set(install);
    set.columns = {{"CustomerID", "お客様コード"}, {"Name", "氏名"},      {"Yomi", "ﾌﾘｶﾞﾅ"},
                   {"Add_Home_X", "住所"},        {"TEL_Home", "電話"}, {"RirekiUpDate", "履歴更新日"}};
    set.Save();
    CMLVDispKokyakuCol disp(install);
    for (const auto& c : set.columns) disp.names.push_back(c.fieldName);
    disp.Save();

    CMilvaneDoc doc(install);
    doc.DataDir = folder;
    CMainFrame frame(doc);
    frame.SetCloseHandler([] {});
    RegisterBuiltScreens();
    CKokyakuView::Register();
    bench::Check(frame.CreateFirstScreen(), "the menu screen");
    frame.resize(1280, 900);
    frame.show();
    app.processEvents();

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
    double sort = 1e30;
    for (int round = 0; round < 2; ++round)  // ascending, then descending
        sort = std::min(sort, bench::Seconds([&] {
                            list->List().SortByColumn(1);  // 氏名
                            frame.grab();
                        }));
    bench::Report("list-sort-name-" + size, sort);

    CMilvaneData& db = doc.Database();
    CMLVColSet master("");
    master.columns = MasterColumns();
    CExQueryBuilder builder(ExFieldList(master));
    std::array<ExRowInput, 3> rows = {bench::ExRow(builder, "[Customer].[Name]", "山田", "で始まる", kConnAnd),
                                      bench::ExRow(builder, "[Customer].[Sex]", "女", "と等しい", kConnOr),
                                      bench::ExRow(builder, "[Customer].[ClosingDay]", "99", "と等しい", kConnEnd)};
    CExCondition condition;
    bench::Check(builder.BuildStatement(rows, 0, condition), "building the statement");
    const std::optional<std::string> translated = TranslateJetSql(condition.QueryText);
    bench::Check(translated.has_value(), "translating the statement");
    sqlite3* raw = bench::OpenRaw(db.GetMLVFName(), true);
    bench::Check(RegisterJetFunctions(raw), "registering the functions", raw);
    CKeyArray oursKeys, rawKeys;
    bench::Compare(
        ("extract-3rows-" + size).c_str(), 3,
        [&] {
            oursKeys.clear();
            bench::Check(db.ExtractKokyaku(condition.QueryText, oursKeys) == 1, "ExtractKokyaku");
        },
        [&] {
            rawKeys.clear();
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw, translated->c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            const int id = std::max(0, bench::ColumnIndex(st, "ID"));
            while (sqlite3_step(st) == SQLITE_ROW) rawKeys.push_back(uint32_t(sqlite3_column_int(st, id)));
            sqlite3_finalize(st);
        });
    bench::Check(!rawKeys.empty() && oursKeys.size() == rawKeys.size(), "the same customers");
    sqlite3_close(raw);
    frame.SwitchView(SCREEN_MENU);
    db.SaveMLV(true);
    return 0;
}
