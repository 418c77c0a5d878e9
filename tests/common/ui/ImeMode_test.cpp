#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <filesystem>

#include "common/DateTime.h"
#include "common/ui/ImeMode.h"
#include "dm/ui/DMTitleDlg.h"
#include "history/RirekiEntry.h"
#include "history/ui/RirekiEntryDlg.h"
#include "printing/ui/OwnCompanyDlg.h"
#include "support/TestPorts.h"

namespace {
bool Open(const QWidget* w) { return w->testAttribute(Qt::WA_InputMethodEnabled); }
}  // namespace

TEST(SetImeMode, OpensClosesAndKeepsTheFieldsOwnHints) {
    const Qt::InputMethodHints latin = Qt::ImhPreferLatin | Qt::ImhNoPredictiveText;
    struct Case {
        Qt::InputMethodHints before;
        bool open, katakana;
        Qt::InputMethodHints after;
    } cases[] = {
        {Qt::ImhNone, false, false, latin},
        {Qt::ImhDigitsOnly, false, false, Qt::ImhDigitsOnly},
        {Qt::ImhDigitsOnly, true, false, Qt::ImhNone},
        {latin, true, true, Qt::ImhNone},
        {Qt::ImhNone, false, true, latin},  // katakana counts only when open
    };
    for (const Case& c : cases) {
        QLineEdit e;
        e.setInputMethodHints(c.before);
        SetImeMode(&e, c.open, c.katakana);
        EXPECT_EQ(Open(&e), c.open);
        EXPECT_EQ(e.inputMethodHints(), c.after);
        EXPECT_EQ(ImeKatakana(&e), c.open && c.katakana);
    }
    // An editable combo box: the box and its editor alike.
    QComboBox box;
    box.setEditable(true);
    SetImeMode(&box, false);
    EXPECT_FALSE(Open(&box));
    EXPECT_FALSE(Open(box.lineEdit()));
    SetImeMode(&box, true, true);
    EXPECT_TRUE(Open(box.lineEdit()));
    EXPECT_TRUE(ImeKatakana(box.lineEdit()));
    SetImeMode(nullptr, true);
}

TEST(SetImeMode, DialogsCloseNumbersAndOpenText) {
    TestPorts ports;
    TempDir install;
    std::filesystem::create_directories(install.File("Data/MyData"));

    CDMTitleDlg dm(install.Path(), CDMTitleForm::ForNew(DM_MODE_ADD, CDateTime::FromParts(2000, 2, 10, 9, 5)));
    EXPECT_FALSE(Open(dm.Year()));
    EXPECT_FALSE(Open(dm.Hour()));
    EXPECT_TRUE(Open(dm.Title()));

    COwnCompanyDlg own(install.Path());
    EXPECT_FALSE(Open(own.ZipEdit(0)));
    EXPECT_FALSE(Open(own.TelEdit(2)));
    EXPECT_EQ(own.ZipEdit(0)->inputMethodHints(), Qt::ImhDigitsOnly);

    CAmountDlg amount(install.Path());
    auto* rate = amount.findChild<QLineEdit*>();
    ASSERT_NE(rate, nullptr);
    EXPECT_FALSE(Open(rate));

    CRirekiEntryDlg history(HistoryDialogMode::BulkAdd, nullptr, -1, nullptr, false, false, "", "");
    EXPECT_FALSE(Open(history.Control(RirekiCtl::Money)));
    EXPECT_FALSE(Open(history.Control(RirekiCtl::Year)));
    EXPECT_TRUE(Open(history.Control(RirekiCtl::Action)));
}
