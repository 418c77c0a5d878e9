// The find box on its own: direction preset, no request without text.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/ui/FindDlg.h"

TEST(FindDlg, RequestsCarryTextAndDirection) {
    CFindDlg dlg;
    EXPECT_TRUE(dlg.DownButton()->isChecked());
    EXPECT_FALSE(dlg.FindNextButton()->isEnabled());

    std::vector<CFindRequest> requests;
    QObject::connect(&dlg, &CFindDlg::findNext, [&](const CFindRequest& r) { requests.push_back(r); });
    dlg.FindNextButton()->click();  // disabled without text
    EXPECT_TRUE(requests.empty());

    dlg.TextEdit()->setText("山田");
    EXPECT_TRUE(dlg.FindNextButton()->isEnabled());
    dlg.FindNextButton()->click();
    dlg.UpButton()->click();
    dlg.FindNextButton()->click();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].text, QString("山田"));
    EXPECT_TRUE(requests[0].down);
    EXPECT_FALSE(requests[1].down);
    EXPECT_EQ(dlg.FindNextButton()->accessibleName(), QString("次を検索"));
}
