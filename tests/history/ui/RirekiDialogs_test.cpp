#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "history/RirekiNavigator.h"
#include "history/ui/RirekiEntryDlg.h"
#include "history/ui/RirekiViewDlg.h"
#include "support/TestPorts.h"

namespace {

struct Walk : IRirekiNavigator {
    std::vector<CRirekiData> rows;
    int current = 0;
    const CRirekiData* Step(int d, bool& more) {
        const int to = current + d;
        if (to < 0 || to >= int(rows.size())) return nullptr;
        current = to;
        more = to + d >= 0 && to + d < int(rows.size());
        return &rows[current];
    }
    const CRirekiData* PreviousEntry(bool& more) override { return Step(-1, more); }
    const CRirekiData* NextEntry(bool& more) override { return Step(+1, more); }
    const CRirekiData* LocateEntry(int32_t, bool&, bool&) override { return nullptr; }
};

CRirekiData Entry(const char* title, int day) {
    CRirekiData r;
    r.ActionTitle = title;
    r.Date = CDateTime::FromParts(2024, 1, day, 0, 5);
    r.Money = 12.5;
    return r;
}

QComboBox* Combo(CRirekiEntryDlg& d, int id) { return qobject_cast<QComboBox*>(d.Control(id)); }

}  // namespace

TEST(RirekiEntryDlg, DayListFollowsTheMonth) {
    TestPorts ports;
    CRirekiEntryDlg dlg(HistoryDialogMode::BulkAdd, nullptr, -1, nullptr, false, false, "", "");
    QComboBox* month = Combo(dlg, RirekiCtl::Month);
    QComboBox* day = Combo(dlg, RirekiCtl::Day);
    month->setCurrentIndex(0);
    dlg.RefillDays(false);
    ASSERT_EQ(day->count(), 31);
    // Day 31, then April: the reopened list lacks it and storing reports the date.
    day->setCurrentIndex(30);
    month->setCurrentIndex(3);
    EXPECT_EQ(dlg.Fields().day, 30);
    EXPECT_EQ(dlg.Logic().OnOk(), kRirekiStay);
    EXPECT_EQ(ports.prompt.Texts().back(), kRirekiBadDate);
    EXPECT_EQ(ports.prompt.Log().size(), 1u);
    dlg.RefillDays(false);
    EXPECT_EQ(day->count(), 30);
    EXPECT_EQ(day->currentIndex(), -1);
    EXPECT_EQ(Combo(dlg, RirekiCtl::Hour)->itemText(16), QStringLiteral("0"));
    EXPECT_EQ(dlg.Button(RirekiCtl::Close)->text(), QString::fromUtf8("ｷｬﾝｾﾙ"));
    EXPECT_FALSE(dlg.Button(RirekiCtl::Previous)->isVisibleTo(&dlg));
}

TEST(RirekiEntryDlg, ViewModeChangesNothing) {
    TestPorts ports;
    Walk walk;
    walk.rows = {Entry("a", 1), Entry("b", 2)};
    CRirekiEntryDlg dlg(HistoryDialogMode::View, nullptr, -1, &walk.rows[0], false, true, "", "");
    dlg.Logic().SetNavigator(&walk);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("履歴の参照(修正することはできません)"));
    EXPECT_FALSE(dlg.Button(RirekiCtl::Ok)->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.Button(RirekiCtl::Ok)->isEnabled());
    EXPECT_FALSE(dlg.Button(RirekiCtl::PictureAdd)->isEnabled());
    EXPECT_FALSE(dlg.Button(RirekiCtl::PictureRemove)->isVisibleTo(&dlg));
    for (int id : {RirekiCtl::Month, RirekiCtl::Day, RirekiCtl::Hour, RirekiCtl::Minute, RirekiCtl::Tantou,
                   RirekiCtl::Title, RirekiCtl::Keyword})
        EXPECT_FALSE(dlg.Control(id)->isEnabled()) << id;
    EXPECT_TRUE(qobject_cast<QPlainTextEdit*>(dlg.Control(RirekiCtl::Action))->isReadOnly());
    EXPECT_TRUE(qobject_cast<QLineEdit*>(dlg.Control(RirekiCtl::Money))->isReadOnly());
    EXPECT_FALSE(dlg.Button(RirekiCtl::Previous)->isEnabled());
    EXPECT_EQ(Combo(dlg, RirekiCtl::Hour)->currentText(), QStringLiteral("0"));

    dlg.OnCommand(RirekiCtl::Next);
    EXPECT_EQ(Combo(dlg, RirekiCtl::Title)->currentText(), QStringLiteral("b"));
    EXPECT_TRUE(dlg.Button(RirekiCtl::Previous)->isEnabled());
    EXPECT_FALSE(dlg.Button(RirekiCtl::Next)->isEnabled());
    EXPECT_EQ(dlg.Logic().OnOk(), kRirekiStay);
    EXPECT_EQ(dlg.Logic().OnClose(), kRirekiEndCancel);
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST(RirekiViewDlg, ShowsAndWalksTheOpenersEntries) {
    Walk walk;
    walk.rows = {Entry("a", 1), Entry("b", 2), Entry("c", 3)};
    walk.current = 1;
    CRirekiViewDlg dlg(&walk, &walk.rows[1], true, true, "");
    EXPECT_EQ(dlg.Field(1052)->text(), QStringLiteral("12.5"));
    EXPECT_EQ(dlg.Field(1060)->text(), QStringLiteral("2"));
    EXPECT_EQ(dlg.Field(1061)->text(), QStringLiteral("0"));
    EXPECT_EQ(dlg.Field(1395)->text(), QStringLiteral("b"));
    EXPECT_TRUE(dlg.Field(1395)->isReadOnly());
    dlg.OnPrevious();
    EXPECT_EQ(dlg.Field(1395)->text(), QStringLiteral("a"));
    EXPECT_FALSE(dlg.Button(RirekiCtl::Previous)->isEnabled());
    EXPECT_TRUE(dlg.Button(RirekiCtl::Next)->isEnabled());

    CRirekiViewDlg empty(nullptr, nullptr, false, false, "");
    EXPECT_EQ(empty.Field(1053)->text(), QString());
    EXPECT_EQ(empty.Field(1052)->text(), QString());
    EXPECT_FALSE(empty.Button(RirekiCtl::Next)->isEnabled());
}
