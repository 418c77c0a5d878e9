// The Qt ports: message boxes (icon, Japanese buttons, default and escape
// buttons), the QSettings profile and the wait cursor with the wait dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "common/ui/QtPorts.h"
#include "common/ui/WaitDlg.h"

namespace {

QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* b : box.buttons()) texts << b->text();
    texts.sort();
    return texts;
}

// Presses a key in the next modal dialog once it is up.
void PressInNextModal(int key) {
    QTimer::singleShot(0, [key] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    });
}

}  // namespace

TEST(QtPrompt, MessageBoxCarriesIconButtonsAndDefault) {
    using B = QMessageBox::StandardButton;
    const struct {
        MsgIcon icon;
        MsgButtons buttons;
        Answer def;
        QMessageBox::Icon shown;
        QStringList sortedTexts;
        B defaultButton, escapeButton;
    } cases[] = {
        {MsgIcon::Information, MsgButtons::Ok, Answer::Ok, QMessageBox::Information, {"OK"}, B::Ok, B::Ok},
        {MsgIcon::Exclamation, MsgButtons::YesNo, Answer::No, QMessageBox::Warning, {"いいえ(&N)", "はい(&Y)"}, B::No, B::No},
        {MsgIcon::Stop, MsgButtons::YesNoCancel, Answer::Yes, QMessageBox::Critical, {"いいえ(&N)", "はい(&Y)", "キャンセル"},
         B::Yes, B::Cancel},
        {MsgIcon::None, MsgButtons::OkCancel, Answer::Cancel, QMessageBox::NoIcon, {"OK", "キャンセル"}, B::Cancel, B::Cancel},
    };
    for (const auto& c : cases) {
        auto box = BuildMessageBox(nullptr, "更新しました", c.icon, c.buttons, c.def);
        EXPECT_EQ(box->icon(), c.shown);
        EXPECT_TRUE(box->text() == "更新しました" && box->windowTitle() == "Milvane");
        EXPECT_EQ(ButtonTexts(*box), c.sortedTexts);
        EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton)) << c.shown;
        EXPECT_EQ(box->escapeButton(), box->button(c.escapeButton)) << c.shown;
    }
    auto box = BuildMessageBox(nullptr, "x", MsgIcon::Question, MsgButtons::YesNoCancel, Answer::Yes);
    EXPECT_EQ(AnswerOf(*box), Answer::Cancel);  // closed without a button: the escape answer
    box->button(QMessageBox::No)->click();
    EXPECT_EQ(AnswerOf(*box), Answer::No);
}

TEST(QtPrompt, ReturnTakesTheDefaultButtonAndEscapeCancels) {
    CQtPrompt prompt;
    PressInNextModal(Qt::Key_Return);
    EXPECT_EQ(prompt.AskYesNo("削除しますか？", MsgIcon::Exclamation, Answer::No), Answer::No);
    PressInNextModal(Qt::Key_Return);
    EXPECT_EQ(prompt.AskYesNo("よろしいですか？", MsgIcon::Question, Answer::Yes), Answer::Yes);
    PressInNextModal(Qt::Key_Escape);
    EXPECT_EQ(prompt.AskYesNoCancel("保存しますか？", MsgIcon::Question, Answer::Yes), Answer::Cancel);
    PressInNextModal(Qt::Key_Return);
    EXPECT_EQ(prompt.AskOkCancel("続けますか？", MsgIcon::Information, Answer::Ok), Answer::Ok);
}

TEST(QtProfile, SectionsIntsAndTexts) {
    QTemporaryDir dir;
    const QString file = dir.filePath("profile.ini");
    {
        CQtProfile profile(file);
        EXPECT_EQ(profile.GetInt("Settings", "CardType", 7), 7);
        profile.WriteInt("Settings", "CardType", 2);
        profile.WriteInt("Settings-KList", "colwidth0", -15);
        profile.WriteInt("", "OrgBup", 1);
        profile.WriteString("", "LastFolder", "/データ/顧客");
    }
    // Read back from the file by a fresh profile.
    CQtProfile again(file);
    EXPECT_EQ(again.GetInt("Settings", "CardType", 0), 2);
    EXPECT_EQ(again.GetInt("Settings-KList", "colwidth0", 100), -15);
    EXPECT_EQ(again.GetInt("", "OrgBup", 0), 1);
    EXPECT_EQ(again.GetString("", "LastFolder", ""), "/データ/顧客");
    EXPECT_EQ(again.GetString("Settings", "Missing", "既定"), "既定");
    // Section "" is the top level; a section is a group.
    EXPECT_TRUE(again.Settings().childKeys().contains("OrgBup"));
    EXPECT_FALSE(again.Settings().childKeys().contains("CardType"));
    for (const char* unreadable : {"wide", "99999999999"}) {  // give the default
        again.WriteString("Settings", "cardwid", unreadable);
        EXPECT_EQ(again.GetInt("Settings", "cardwid", 300), 300) << unreadable;
    }
}

TEST(QtWait, NestedScopesKeepTheCursorAndTheDialogUntilTheLastEnds) {
    CQtWait wait;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    wait.BeginWait(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(wait.Dialog(), nullptr);

    wait.BeginWait(true);
    ASSERT_NE(wait.Dialog(), nullptr);
    EXPECT_TRUE(wait.Dialog()->isVisible());
    wait.BeginWait(true);
    wait.EndWait(true);
    EXPECT_TRUE(wait.Dialog()->isVisible());
    wait.EndWait(true);
    EXPECT_FALSE(wait.Dialog()->isVisible());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    wait.EndWait(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(wait.CursorDepth(), 0);
    wait.EndWait(false);  // unbalanced end: ignored
    EXPECT_EQ(wait.CursorDepth(), 0);

    // The installed ports serve WaitScope.
    CQtPorts ports;
    {
        WaitScope scope(true);
        EXPECT_EQ(ports.wait.CursorDepth(), 1);
        EXPECT_TRUE(ports.wait.Dialog() && ports.wait.Dialog()->isVisible());
    }
    EXPECT_EQ(ports.wait.CursorDepth(), 0);
    EXPECT_EQ(&Ports::Profile(), &ports.profile);
}

TEST(ConsolePrompt, NobodyAnswersSoDefaultsAndCancelsApply) {
    CConsolePrompt prompt;
    prompt.Message("データベースを開けませんでした。", MsgIcon::Exclamation);
    EXPECT_EQ(prompt.AskYesNo("?", MsgIcon::Question, Answer::No), Answer::No);
    EXPECT_EQ(prompt.AskYesNoCancel("?", MsgIcon::Question, Answer::Yes), Answer::Yes);
    EXPECT_EQ(prompt.AskOkCancel("?", MsgIcon::Question, Answer::Cancel), Answer::Cancel);
    EXPECT_EQ(prompt.ChooseFolder("フォルダを選択してOKを押して下さい", "/"), std::nullopt);
    EXPECT_EQ(prompt.ChooseOpenFile("t", "*.csv", ""), std::nullopt);
    EXPECT_EQ(prompt.Count(), 6);
}
