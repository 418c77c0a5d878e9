// The bulk change dialog hands the chosen field and value to the checks and
// takes the focus back to the value they refuse.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QRadioButton>

#include "customers/ui/BulkChangeDlg.h"
#include "support/TestPorts.h"

TEST(BulkChangeDlg, RankingKeptWithin50BytesAndColourNeedsAChoice) {
    TestPorts ports;
    CBulkChangeDlg d(nullptr);
    d.show();
    d.OnOk();  // colour chosen by default, none picked
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"カラーを選択してください。"});
    d.Radio(2)->click();
    d.Value(2)->setCurrentText(QString(51, 'r'));
    EXPECT_EQ(d.Value(2)->currentText(), QString(50, 'r'));

    d.Value(2)->setCurrentText("A");
    ports.prompt.QueueAnswer(Answer::Yes);
    d.OnOk();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Choice().field, "Ranking1");
    EXPECT_EQ(d.Choice().text, "A");

    CBulkChangeDlg colour(nullptr);
    colour.Value(0)->setCurrentIndex(3);
    ports.prompt.QueueAnswer(Answer::Yes);
    colour.OnOk();
    EXPECT_EQ(ports.prompt.Texts().back(), "選択されている顧客のカラーを青に変更します。\nよろしいですか？");
    EXPECT_EQ(colour.result(), QDialog::Accepted);
    EXPECT_EQ(colour.Choice().field, "ColorMark");
    EXPECT_EQ(colour.Choice().color, 0xFF0000u);
}
