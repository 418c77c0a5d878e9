#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "root/Wiring.h"
#include "customers/Kokyaku.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "customers/ui/KokyakuView.h"
#include "extract/ExCondition.h"
#include "support/TestPorts.h"
#include "support/TestInstall.h"

namespace {

class KokyakuViewTest : public ::testing::Test {
protected:
    KokyakuViewTest() {
        MakeInstallation(install);
        SaveColumns(install, {{"CustomerID", "お客様コード"}, {"Name", "氏名"}}, {"CustomerID", "Name"});
        doc = OpenDocument(install, false);
    }
    // Customers 1, 2, ... with the codes C1, C2, ...
    void Add(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            auto k = std::make_unique<CKokyaku>();
            k->ID = static_cast<int>(doc->KokyakuList.size()) + 1;
            k->CustomerID = "C" + std::to_string(k->ID);
            k->Name = name;
            doc->KokyakuList.Append(std::move(k));
        }
    }
    CKokyakuView* Open(int mode = SCREEN_KOKYAKU_LIST) {
        doc->CustomerScreenMode = mode;
        frame = std::make_unique<CMainFrame>(*doc);
        view = new CKokyakuView(*doc, *frame, mode, frame.get());
        view->resize(800, 500);
        view->OnInitialUpdate();
        return view;
    }
    // The count as assistive technology hears it: the screen's child named "件数".
    QString HeardCount() {
        QAccessibleInterface* screen = QAccessible::queryAccessibleInterface(view);
        for (int i = 0; screen && i < screen->childCount(); ++i) {
            QAccessibleInterface* c = screen->child(i);
            if (c && c->text(QAccessible::Name) == QString::fromUtf8("件数")) return c->text(QAccessible::Description);
        }
        return QStringLiteral("(no count)");
    }
    CCommandState State(int id) {
        CCommandState s;
        EXPECT_TRUE(view->UpdateCommand(id, s)) << id;
        return s;
    }
    ~KokyakuViewTest() override {
        delete view;
        frame.reset();
    }

    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    CKokyakuView* view = nullptr;
};

TEST_F(KokyakuViewTest, FirstDisplayWithAndWithoutAnExtractionAndLeavingDropsIt) {
    Add({"山田太郎", "佐藤花子"});
    for (bool extracted : {false, true}) {
        SCOPED_TRACE(extracted);
        delete view;
        if (extracted) {
            doc->Extraction = std::make_shared<CExCondition>();
            doc->ExtractActive = 1;
            doc->ExtractKeys = {2};
        }
        Open();
        EXPECT_EQ(frame->windowTitle(), QString::fromUtf8("Milvane－顧客一覧"));
        EXPECT_EQ(HeardCount(), QString::fromUtf8(extracted ? "1件" : "2件"));
        EXPECT_EQ(view->ListCtrl()->model()->rowCount(), extracted ? 1 : 2);
        EXPECT_EQ(view->ExtractButton(ID_EXTRACT_CLEAR)->isHidden(), !extracted);
        EXPECT_EQ(State(ID_EXTRACT_CLEAR).enabled, extracted);
        EXPECT_TRUE(State(ID_KOKYAKU_SELECT_ALL).enabled);
        EXPECT_EQ(view->ListCtrl()->SelectedCount(), 1);
    }
    delete view;
    view = nullptr;
    EXPECT_FALSE(doc->Extraction);
    EXPECT_TRUE(doc->ExtractKeys.empty());
}

TEST_F(KokyakuViewTest, EmptyListDisablesSelectAll) {
    Open();
    EXPECT_EQ(HeardCount(), QString::fromUtf8("0件"));
    EXPECT_FALSE(State(ID_KOKYAKU_SELECT_ALL).enabled);
    for (int id : {ID_KOKYAKU_MODIFY, ID_KOKYAKU_COPY, ID_KOKYAKU_DELETE, ID_KOKYAKU_DELETE_RIREKI})
        EXPECT_TRUE(view->OnCommand(id));
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"修正する顧客を選択してください", "コピーする顧客を選択してください",
                                        "削除する顧客を選択してください", "履歴を削除する顧客を選択してください"}));
}

TEST_F(KokyakuViewTest, EntryTypeRadioItems) {
    ports.profile.WriteInt("Settings", "CardType", 1);
    Open();
    EXPECT_TRUE(State(ID_CARDTYPE_PERSONAL).checked);
    EXPECT_FALSE(State(ID_CARDTYPE_NORMAL).checked);
    view->OnCommand(ID_CARDTYPE_CORPORATE);
    EXPECT_TRUE(State(ID_CARDTYPE_CORPORATE).checked);
    EXPECT_EQ(ports.profile.GetInt("Settings", "CardType", -1), 2);
}

TEST_F(KokyakuViewTest, FindRequestsSelectTheHit) {
    Add({"山田太郎", "佐藤花子", "鈴木一郎"});
    Open();
    EXPECT_EQ(view->OnFindRequest({QString::fromUtf8("鈴木"), true}), 1);
    EXPECT_EQ(view->ListCtrl()->NextSelected(-1), 2);
    EXPECT_TRUE(view->ListCtrl()->selectionModel()->isRowSelected(2, {}));
    EXPECT_EQ(view->OnFindRequest({QString::fromUtf8("鈴木"), true}), 0);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"検索が終了しました。\n"});
}

TEST_F(KokyakuViewTest, HistoryModeShowsTheCardAreaWithTheStoredWidth) {
    Add({"山田太郎", "佐藤花子"});
    ports.profile.WriteInt("Settings", "cardwid", 200);
    Open(SCREEN_KOKYAKU_RIREKI);
    ASSERT_TRUE(view->CardShown());
    EXPECT_EQ(view->CardArea()->width(), 200);
    EXPECT_EQ(view->Splitter()->geometry().left(), view->ListCtrl()->geometry().right() + 1);
    EXPECT_EQ(view->ListCtrl()->selectionMode(), QAbstractItemView::SingleSelection);
    // Select all hides the area first.
    view->OnCommand(ID_KOKYAKU_SELECT_ALL);
    EXPECT_FALSE(view->CardShown());
    EXPECT_EQ(view->ListCtrl()->SelectedCount(), 2);
}

TEST_F(KokyakuViewTest, CardWidthIsStoredWhenTheScreenCloses) {
    for (int mode : {SCREEN_KOKYAKU_LIST, SCREEN_KOKYAKU_DETAIL}) {
        Open(mode);
        EXPECT_EQ(view->CardShown(), mode == SCREEN_KOKYAKU_DETAIL);
        const int width = view->CardShown() ? view->CardArea()->width() : -1;  // the list alone stores none
        EXPECT_NE(width, 0);
        delete view;
        view = nullptr;
        EXPECT_EQ(ports.profile.GetInt("Settings", "cardwid", -1), width);
    }
}

TEST_F(KokyakuViewTest, SwitchedToFromTheFrameAndBackToTheMenuScreen) {
    Add({"山田太郎"});
    frame = std::make_unique<CMainFrame>(*doc, BuiltScreens());
    ASSERT_TRUE(frame->CreateFirstScreen());
    frame->SwitchView(SCREEN_KOKYAKU_RIREKI);
    ASSERT_EQ(frame->CurrentScreen(), SCREEN_KOKYAKU_RIREKI);
    auto* shown = dynamic_cast<CKokyakuView*>(frame->ActiveView());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(doc->CustomerScreenMode, 2);
    EXPECT_EQ(shown->ListCtrl()->model()->rowCount(), 1);
    frame->OnCommand(ID_VIEW_MENU_SCREEN);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);
    EXPECT_EQ(doc->CustomerScreenMode, 2);
}

void Mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint pos) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : button, {});
    QApplication::sendEvent(w, &e);
}

TEST(KokyakuSplitterBar, DragAppliesOnReleaseWithinLimitsAndRightClickDrops) {
    QWidget form;
    form.resize(800, 400);
    auto* bar = new CSplitterBar(&form);
    bar->setGeometry(400, 0, 3, 400);
    bar->clamp = [](int x) { return ClampSplitter(x, 800); };
    std::vector<int> moves;
    QObject::connect(bar, &CSplitterBar::moved, [&](int x) { moves.push_back(x); });
    EXPECT_EQ(bar->cursor().shape(), Qt::SplitHCursor);

    Mouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, {1, 10});
    Mouse(bar, QEvent::MouseMove, Qt::LeftButton, {-350, 10});
    Mouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, {-350, 10});  // x 50: kept at 100
    Mouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, {1, 10});
    Mouse(bar, QEvent::MouseButtonPress, Qt::RightButton, {1, 10});     // dropped
    Mouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, {100, 10});
    EXPECT_EQ(moves, std::vector<int>{100});
}

}  // namespace
