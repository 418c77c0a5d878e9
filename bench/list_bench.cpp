// The customer screen with 100,000 customers, offscreen: switching to it,
// sorting by name, scrolling and selecting all, each until the rows are
// painted. Needs the widgets (milvane_ui); built without them it only says so.
#if __has_include(<QApplication>)
#include <QApplication>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "BenchData.h"
#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "root/Wiring.h"
#include "customers/Kokyaku.h"
#include "customers/MLVColSet.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "customers/ui/KokyakuView.h"

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void Report(const char* name, double seconds, double limit) {
    std::printf("BENCH %s ours=%.4f limit=%.4f %s\n", name, seconds, limit, seconds <= limit ? "ok" : "SLOW");
    std::fflush(stdout);
}

const char* kSurnames[] = {"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤",
                           "吉田", "山田", "佐々木", "山口", "松本", "井上", "木村", "林", "斎藤", "清水"};
const char* kGiven[] = {"太郎", "花子", "一郎", "美咲", "健太", "陽子", "大輔", "由美", "翔太", "恵子", "誠", "愛"};
// With the syllables the names are nearly all distinct, as in a real register.
const char* kSyllables[] = {"あ", "い", "う", "え", "お", "か", "き", "く", "け", "こ", "さ", "し", "す", "せ", "そ",
                            "た", "ち", "つ", "て", "と", "な", "に", "ぬ", "ね", "の", "は", "ひ", "ふ", "へ", "ほ"};
const char* kKana[] = {"ｻﾄｳ ﾀﾛｳ", "ｽｽﾞｷ ﾊﾅｺ", "ﾀｶﾊｼ ｲﾁﾛｳ", "ﾀﾅｶ ﾐｻｷ", "Yamada Ken", "ito aya"};
const char* kCities[] = {"東京都千代田区", "大阪府大阪市北区", "北海道札幌市中央区", "福岡県福岡市博多区",
                         "愛知県名古屋市中区", "神奈川県横浜市西区"};

void FillCustomers(CMilvaneDoc& doc, int n) {
    std::mt19937 rng(12345);
    auto pick = [&](auto& array) { return array[rng() % std::size(array)]; };
    for (int i = 0; i < n; ++i) {
        auto k = std::make_unique<CKokyaku>();
        k->ID = i + 1;
        k->CustomerID = "K" + std::to_string(100000 + i);
        k->Name = std::string(pick(kSurnames)) + pick(kGiven) + pick(kSyllables) + pick(kSyllables) + pick(kSyllables);
        k->Yomi = pick(kKana);
        k->Add2_Home = pick(kCities);
        k->Add3_Home = std::to_string(rng() % 9 + 1) + "丁目" + std::to_string(rng() % 30 + 1) + "番地";
        k->TEL_Home = "03-" + std::to_string(1000 + rng() % 9000) + "-" + std::to_string(1000 + rng() % 9000);
        k->RirekiUpDate = CDateTime(40000.0 + rng() % 8000);
        doc.KokyakuList.Append(std::move(k));
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);

    bench::ScratchFolder scratch;
    const std::filesystem::path install = scratch.Path();
    bench::WriteDataDir(install.string(), scratch.Sub("data"));
    CMLVColSet set(install.string());
    set.columns = {{"CustomerID", "お客様コード"}, {"Name", "氏名"},      {"Yomi", "ﾌﾘｶﾞﾅ"},
                   {"Add_Home_X", "住所"},        {"TEL_Home", "電話"}, {"RirekiUpDate", "履歴更新日"}};
    set.Save();
    CMLVDispKokyakuCol disp(install.string());
    for (const auto& c : set.columns) disp.names.push_back(c.fieldName);
    disp.Save();

    {
        CMilvaneDoc doc(install.string());
        doc.DataDir = (install / "data").string();
        FillCustomers(doc, n);

        CMainFrame frame(doc, BuiltScreens());
        frame.SetCloseHandler([] {});
        if (!frame.CreateFirstScreen()) {
            std::fprintf(stderr, "menu screen not created\n");
            return 1;
        }
        frame.resize(1280, 900);
        frame.show();
        app.processEvents();

        // Switching from the menu screen until the first rows are painted.
        auto t0 = Clock::now();
        frame.SwitchView(SCREEN_KOKYAKU_LIST);
        frame.grab();
        Report("list-show-100k", Since(t0), 1.0);

        auto* view = dynamic_cast<CKokyakuView*>(frame.ActiveView());
        if (!view || view->ListCtrl()->model()->rowCount() != n) {
            std::fprintf(stderr, "customer screen not shown\n");
            return 1;
        }
        CKokyakuListCtrl* list = view->ListCtrl();
        t0 = Clock::now();
        list->List().SortByColumn(1);  // 氏名
        frame.grab();
        Report("list-sort-name-100k", Since(t0), 0.5);

        // Scrolling: jumps over the whole list, each repainted.
        QScrollBar* bar = list->verticalScrollBar();
        const int steps = 50;
        t0 = Clock::now();
        for (int i = 1; i <= steps; ++i) {
            bar->setValue(bar->maximum() * i / steps);
            list->viewport()->grab();
        }
        Report("list-scroll-frame-100k", Since(t0) / steps, 1.0 / 30);

        t0 = Clock::now();
        view->OnCommand(ID_KOKYAKU_SELECT_ALL);
        frame.grab();
        Report("list-select-all-100k", Since(t0), 0.5);

        t0 = Clock::now();
        frame.SwitchView(SCREEN_MENU);
        Report("list-leave-100k", Since(t0), 0.5);
    }
    return 0;
}

#else
#include <cstdio>

int main() {
    std::puts("list_bench: built without the widgets; link it with milvane_ui");
    return 0;
}
#endif
