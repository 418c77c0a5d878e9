// Every screen of the main window: the keyboard reaches only named controls,
// and at the window's first size each list shows all of its default columns.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTreeView>
#include <QTreeWidget>

#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "customers/MasterColSet.h"
#include "dm/ui/DMListView.h"
#include "history/ui/RirekiListCtrl.h"
#include "history/ui/RirekiView.h"
#include "root/Wiring.h"
#include "support/TestInstall.h"
#include "support/TestPorts.h"
#include "support/ui/UnnamedFocusables.h"

namespace {

class ScreenAccessTest : public ::testing::Test {
protected:
    ScreenAccessTest() {
        MakeInstallation(install);
        SaveColumns(install, MasterColumns(), {"CustomerID", "Name"});
        doc = OpenDocument(install, true);
        frame = std::make_unique<CMainFrame>(*doc, BuiltScreens());
        EXPECT_TRUE(frame->CreateFirstScreen());
        frame->show();
    }
    ~ScreenAccessTest() override {
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QWidget* Open(int screen) {
        frame->SwitchView(screen);
        QCoreApplication::processEvents();
        return frame->ActiveView();
    }

    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

// The right edge of the last column inside the list's own viewport.
template <class List>  // a tree view or the history list's table view
int LastColumnOverhang(const List* list) {
    const QHeaderView* header = list->header();
    const int last = header->logicalIndex(header->count() - 1);
    return header->sectionViewportPosition(last) + header->sectionSize(last) - list->viewport()->width();
}

}  // namespace

TEST_F(ScreenAccessTest, EveryFocusableControlOfEveryScreenIsNamed) {
    for (int screen : {SCREEN_KOKYAKU_LIST, SCREEN_KOKYAKU_RIREKI, SCREEN_KOKYAKU_DETAIL, SCREEN_RIREKI_LIST, SCREEN_DM,
                       SCREEN_MENU}) {
        QWidget* view = Open(screen);
        ASSERT_NE(view, nullptr) << screen;
        const QStringList unnamed = UnnamedFocusables(frame.get());
        EXPECT_TRUE(unnamed.isEmpty()) << "screen " << screen << ": " << unnamed.join(", ").toStdString();
    }
}

TEST_F(ScreenAccessTest, ListsShowTheirDefaultColumnsAtTheFirstWindowSize) {
    auto* history = dynamic_cast<CRirekiView*>(Open(SCREEN_RIREKI_LIST));
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->ListCtrl()->header()->model()->headerData(8, Qt::Horizontal).toString(), QString("金額"));
    EXPECT_LE(LastColumnOverhang(history->ListCtrl()), 0);
    auto* dm = dynamic_cast<CDMListView*>(Open(SCREEN_DM));
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->TargetList()->headerItem()->text(2), QString("会社名"));
    EXPECT_LE(LastColumnOverhang(dm->TargetList()), 0);
}
