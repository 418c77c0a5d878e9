// Shared set-up of the frame and menu-screen tests: scripted ports, a
// document on a temporary installation, stand-in screens for 1 to 5 that
// record what the frame does with them, and the frame itself.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QToolBar>
#include <map>
#include <memory>
#include <vector>

#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MilvaneView.h"
#include "app/ui/ScreenRegistry.h"
#include "root/Wiring.h"
#include "support/TestPorts.h"

// A list screen stand-in: shows its toolbar, handles one command, records
// find requests.
class CFakeScreen : public CScreenView {
public:
    CFakeScreen(CMilvaneDoc& doc, CMainFrame& frame, int number) : CScreenView(doc, frame), number(number) {
        ++Created()[number];
    }
    ~CFakeScreen() override { ++Destroyed()[number]; }
    void OnInitialUpdate() override {
        ++initialUpdates;
        Frame().ShowScreenToolBars(true);
    }
    bool UpdateCommand(int id, CCommandState& s) override {
        if (id != handledCommand) return false;
        s.enabled = true;
        return true;
    }
    bool OnCommand(int id) override {
        if (id != handledCommand) return false;
        ++handledCount;
        return true;
    }
    int OnFindRequest(const CFindRequest& r) override {
        Requests().push_back({number, r});
        return 1;
    }

    static std::map<int, int>& Created() { static std::map<int, int> m; return m; }
    static std::map<int, int>& Destroyed() { static std::map<int, int> m; return m; }
    static std::vector<std::pair<int, CFindRequest>>& Requests() {
        static std::vector<std::pair<int, CFindRequest>> v;
        return v;
    }

    int number;
    int initialUpdates = 0;
    int handledCommand = ID_KOKYAKU_COUNT;
    int handledCount = 0;
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        CFakeScreen::Created().clear();
        CFakeScreen::Destroyed().clear();
        CFakeScreen::Requests().clear();
        // Each test plugs in the features it needs.
        CScreenRegistry screens;
        screens.Register(SCREEN_MENU, [this](CMilvaneDoc& d, CMainFrame& f, int) -> CScreenView* {
            return new CMilvaneView(d, f, hooks);
        });
        for (int n = 1; n <= 5; ++n)
            screens.Register(n, [](CMilvaneDoc& d, CMainFrame& f, int number) -> CScreenView* {
                return new CFakeScreen(d, f, number);
            });
        doc = std::make_unique<CMilvaneDoc>(install.Path());
        frame = std::make_unique<CMainFrame>(*doc, std::move(screens));
        frame->SetCloseHandler([this] { ++closeCalls; });
        ASSERT_TRUE(frame->CreateFirstScreen());
    }
    void TearDown() override {
        frame.reset();
        FlushDeletes();
    }

    static void FlushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    CMilvaneView* Menu() const { return qobject_cast<CMilvaneView*>(frame->ActiveView()); }
    // What the menu screens of the test are given.
    CMenuScreenHooks& MenuScreenHooks() { return *hooks; }
    CFakeScreen* Fake() const { return dynamic_cast<CFakeScreen*>(frame->ActiveView()); }
    // The index of the one toolbar shown, -1 for none.
    int ShownToolBar() const {
        int shown = -1;
        for (int i = 0; i < 3; ++i)
            if (!frame->ToolBar(i)->isHidden()) shown = shown == -1 ? i : 99;
        return shown;
    }

    // Mouse events as the screen receives them.
    static void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton) {
        const Qt::MouseButton button =
            type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void Move(QWidget* w, QPoint p, bool held = false) {
        Mouse(w, QEvent::MouseMove, p, held ? Qt::LeftButton : Qt::NoButton);
    }
    static void Press(QWidget* w, QPoint p) { Mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton); }
    static void Release(QWidget* w, QPoint p) { Mouse(w, QEvent::MouseButtonRelease, p, Qt::NoButton); }
    static QPoint CenterOf(int button) { return CMilvaneView::ButtonRect(button).center(); }

    TestPorts ports;
    TempDir install;
    std::shared_ptr<CMenuScreenHooks> hooks = std::make_shared<CMenuScreenHooks>();
    std::unique_ptr<CMilvaneDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    int closeCalls = 0;
};
