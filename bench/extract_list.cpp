// The customer screen showing a 100,000-customer extraction with its own
// display columns, offscreen, from the switch until the rows are painted.
// Needs the widgets (milvane_ui); built without them it only says so.
#if __has_include(<QApplication>)
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "BenchData.h"
#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "root/Wiring.h"
#include "customers/Kokyaku.h"
#include "customers/MLVColSet.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "customers/ui/KokyakuView.h"
#include "extract/ExCondition.h"

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);

    bench::ScratchFolder scratch;
    const std::filesystem::path install = scratch.Path();
    bench::WriteDataDir(install.string(), scratch.Sub("data"));
    CMLVColSet set(install.string());
    set.columns = {{"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"Add_Home_X", "住所"}, {"TEL_Home", "電話"},
                   {"Sex", "性別"},               {"BirthDay", "生年月日"}};
    set.Save();
    int status = 0;
    {
        CMilvaneDoc doc(install.string());
        doc.DataDir = (install / "data").string();
        for (int i = 0; i < n; ++i) {
            auto k = std::make_unique<CKokyaku>();
            k->ID = i + 1;
            k->CustomerID = "K" + std::to_string(100000 + i);
            k->Name = "顧客" + std::to_string(i);
            k->Add1_Home = "東京都";
            k->Add2_Home = "千代田区";
            k->TEL_Home = "03-1234-" + std::to_string(1000 + i % 9000);
            k->Sex = i % 2;
            k->BirthDay = CDateTime(20000.0 + i % 10000);
            doc.KokyakuList.Append(std::move(k));
            doc.ExtractKeys.push_back(uint32_t(n - i));  // the statement's order, not the cache's
        }
        doc.Extraction = std::make_shared<CExCondition>();
        doc.Extraction->DisplayColumns = {"Name", "Sex", "BirthDay", "Add_Home_X", "TEL_Home"};
        doc.ExtractActive = 1;
        doc.ExtractSaved = 1;

        CMainFrame frame(doc, BuiltScreens());
        frame.SetCloseHandler([] {});
        if (!frame.CreateFirstScreen()) return 1;
        frame.resize(1280, 900);
        frame.show();
        app.processEvents();

        const auto t0 = Clock::now();
        frame.SwitchView(SCREEN_KOKYAKU_LIST);
        frame.grab();
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        std::printf("BENCH extract-list-show-100k ours=%.4f limit=1.0000 %s\n", s, s <= 1.0 ? "ok" : "SLOW");
        auto* view = dynamic_cast<CKokyakuView*>(frame.ActiveView());
        if (!view || view->ListCtrl()->model()->rowCount() != n || view->ListCtrl()->model()->columnCount() != 5) {
            std::fprintf(stderr, "the extraction is not shown\n");
            status = 1;
        }
        frame.SwitchView(SCREEN_MENU);
    }
    return status;
}

#else
#include <cstdio>

int main() {
    std::puts("extract_list: built without the widgets; link it with milvane_ui");
    return 0;
}
#endif
