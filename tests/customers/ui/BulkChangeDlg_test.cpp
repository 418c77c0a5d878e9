#include <gtest/gtest.h>

#include <QComboBox>
#include <QRadioButton>

#include "customers/ui/BulkChangeDlg.h"
#include "support/TestPorts.h"

namespace {

TEST(BulkChangeDlg, RankingOf51BytesRefusedBeforeAnyQuestion) {
    TestPorts ports;
    CBulkChangeDlg d(nullptr);
    d.show();
    d.Radio(2)->click();
    d.Value(2)->setCurrentText(QString(51, 'r'));
    d.OnOk();
    EXPECT_NE(d.result(), QDialog::Accepted);
    ASSERT_EQ(ports.prompt.Log().size(), 1u);
    EXPECT_EQ(ports.prompt.Log()[0].text, "半角50文字以内にしてください。");
    EXPECT_EQ(d.focusWidget(), d.Value(2));

    d.Value(2)->setCurrentText("A");
    ports.prompt.QueueAnswer(Answer::Yes);
    d.OnOk();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Choice().field, "Ranking1");
    EXPECT_EQ(d.Choice().text, "A");
}

TEST(BulkChangeDlg, ColourChoice) {
    TestPorts ports;
    CBulkChangeDlg d(nullptr);
    d.OnOk();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"カラーを選択してください。"});
    d.Value(0)->setCurrentIndex(3);
    ports.prompt.QueueAnswer(Answer::No);
    d.OnOk();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(ports.prompt.Texts().back(), "選択されている顧客のカラーを青に変更します。\nよろしいですか？");
    ports.prompt.QueueAnswer(Answer::Yes);
    d.OnOk();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Choice().field, "ColorMark");
    EXPECT_EQ(d.Choice().color, 0xFF0000u);
}

}  // namespace
