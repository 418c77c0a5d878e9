// Pictures of the dialogs for a person to look at; written only when
// MILVANE_SHOT_DIR names a folder.
#include <gtest/gtest.h>

#include <QPixmap>

#include "customers/ui/BulkChangeDlg.h"
#include "customers/ui/KokyakuEntryDlg.h"
#include "customers/ui/KokyakuSubDlg.h"

namespace {

TEST(KokyakuEntryDlgShots, ThreeLayouts) {
    const QString dir = qEnvironmentVariable("MILVANE_SHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "MILVANE_SHOT_DIR not set";
    CEntryRecord r = CEntryRecord::Blank();
    r.id = 1;
    r.SetText("Name", "山田 太郎");
    r.SetText("Yomi", "ﾔﾏﾀﾞ ﾀﾛｳ");
    r.SetText("Suffix", "様");
    r.SetText("CompName", "山田商事株式会社");
    r.SetText("Add1_Home", "東京都");
    r.SetInt("ColorMark", 0x0099FF);
    r.SetInt("ClosingDay", 99);
    r.SetInt("CommonMail", 1);
    const char* names[] = {"normal", "individual", "corporate"};
    for (int i = 0; i < 3; ++i) {
        CKokyakuEntryDlg d(static_cast<EntryLayout>(i), EntryMode::Change, &r, true, true, nullptr,
                           [](const std::string&) { return std::string(); });
        d.adjustSize();
        EXPECT_TRUE(d.grab().save(dir + "/entry-" + names[i] + ".png"));
    }
    CKokyakuSubDlg home(SubDialogKind::HomeInfo, r, false, nullptr);
    home.adjustSize();
    EXPECT_TRUE(home.grab().save(dir + "/sub-home.png"));
    CBulkChangeDlg bulk(nullptr);
    bulk.adjustSize();
    EXPECT_TRUE(bulk.grab().save(dir + "/bulk.png"));
}

}  // namespace
