// The choice drop-down, the chooser, the list editor and its entry dialog,
// driven as a person would: typing, leaving fields, clicking buttons. The list
// rules themselves are tested on the core classes.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "SettingsUiFixture.h"
#include "common/Folders.h"
#include "common/SjisText.h"
#include "customers/ComboData.h"
#include "customers/ui/ChoiceComboBox.h"
#include "customers/ui/ChoiceEditDlg.h"

namespace {

Strings FileEntries(const std::string& install, int listNo) {
    CMLVComboData d(install);
    EXPECT_EQ(1, d.Load(listNo));
    Strings out;
    for (const auto& e : d.entries) out.push_back(e.text);
    return out;
}

const Strings kImportant = {"VIP", "特A", "A", "B", "C", "ブラックリスト"};

// A window holding the drop-down and a second field to move the focus to.
struct FocusWindow {
    explicit FocusWindow(const std::string& install, int listNo) {
        box->Fill(install, listNo);
        box->setAccessibleName(QStringLiteral("重要度"));
        other->setAccessibleName(QStringLiteral("備考"));
        window.show();
        QApplication::setActiveWindow(&window);
        Focus(box);
    }
    static void Focus(QWidget* w) {
        w->setFocus();
        QApplication::processEvents();
    }
    QDialog window;
    CChoiceComboBox* box = new CChoiceComboBox(&window);
    QLineEdit* other = new QLineEdit(&window);
};

}  // namespace

// ---------------------------------------------------------------- drop-down

using ChoiceComboBoxTest = SettingsUiTest;

TEST_F(ChoiceComboBoxTest, LeavingTheFieldRegistersANewTextOnce) {
    FocusWindow w(install, kListImportant);
    ASSERT_TRUE(w.box->hasFocus());
    w.box->lineEdit()->insert(QStringLiteral("得意先"));
    w.Focus(w.other);
    auto expected = kImportant;
    expected.push_back("得意先");
    EXPECT_EQ(expected, Items(w.box));
    EXPECT_EQ(expected, FileEntries(install, kListImportant));
    EXPECT_EQ("得意先", w.box->Text());

    // Leaving again with the same text, a held one or one differing only in
    // case adds nothing more than the last.
    for (const char* text : {"得意先", "VIP", "vip"}) {
        w.box->SetText(text);
        w.Focus(w.box);
        w.Focus(w.other);
    }
    // Closing the window with the focus in the field registers too.
    w.Focus(w.box);
    w.box->lineEdit()->setText(QStringLiteral("上得意"));
    w.window.accept();
    QApplication::processEvents();
    for (const char* added : {"vip", "上得意"}) expected.push_back(added);
    EXPECT_EQ(expected, FileEntries(install, kListImportant));
    EXPECT_EQ(9, w.box->count());
    EXPECT_TRUE(ports.prompt.Texts().empty());

    CChoiceComboBox manual;  // without automatic registration nothing is added
    manual.Fill(install, kListImportant, false);
    manual.SetText("新規");
    EXPECT_FALSE(manual.RegisterCurrentText());
    EXPECT_EQ(9u, FileEntries(install, kListImportant).size());
}

TEST_F(ChoiceComboBoxTest, TextIsCutAtTheByteLimitOfTheList) {
    CChoiceComboBox staff;
    staff.Fill(install, kListTantou);
    QLineEdit* edit = staff.lineEdit();
    auto typed = [edit](const QString& start, int cursor, const QString& insert) {
        edit->clear();
        edit->insert(start);
        if (cursor >= 0) edit->setCursorPosition(cursor);
        edit->insert(insert);
    };
    typed("", -1, QString(31, 'a'));
    EXPECT_EQ(std::string(30, 'a'), staff.Text());
    typed("", -1, QString(16, QChar(0x3042)));  // 16 x "あ" = 32 bytes
    EXPECT_EQ(30u, SjisLength(staff.Text()));
    EXPECT_EQ(15, edit->text().size());
    typed(QString(29, 'b'), -1, QStringLiteral("あ"));  // never overruns by a first byte
    EXPECT_EQ(std::string(29, 'b'), staff.Text());
    typed(QString(28, 'a') + "zz", 1, "XY");  // typing in the middle keeps the tail
    EXPECT_EQ(std::string(28, 'a') + "zz", staff.Text());

    staff.Fill(install, kListRirekiWord);  // refilled with another list: its limit
    typed("", -1, QString(300, 'k'));
    EXPECT_EQ(255u, staff.Text().size());
}

TEST_F(ChoiceComboBoxTest, DamagedListRefusedStaysEmptyAndAcceptedIsReset) {
    WriteBytes(data + "/KPayMeth.dat", Hex("05 00 FF FF 07"));
    ports.prompt.QueueAnswer(Answer::No);
    CChoiceComboBox box;
    box.Fill(install, kListPayMeth);
    EXPECT_EQ(2u, ports.prompt.Log().size());  // the read error, then the reset offer
    EXPECT_EQ(0, box.count());
    box.SetText("掛け");
    EXPECT_FALSE(box.RegisterCurrentText());
    EXPECT_EQ(Hex("05 00 FF FF 07"), ReadBytes(data + "/KPayMeth.dat"));

    ports.prompt.QueueAnswer(Answer::Yes);
    CChoiceComboBox reset;
    reset.Fill(install, kListPayMeth);
    EXPECT_EQ((Strings{"現金", "小切手", "振込み", "手形"}), Items(&reset));
    EXPECT_TRUE(reset.AutoRegisterEnabled());
    EXPECT_EQ("", reset.Text());
}

// ---------------------------------------------------------------- entry dialog, chooser, editor

TEST(ChoiceEntryDlg, LimitCountsShiftJisBytesAndControlsAreNamed) {
    CChoiceEntryDlg limited("", 4, nullptr);
    limited.Edit()->insert(QStringLiteral("あいう"));
    EXPECT_EQ("あい", limited.Text());
    ExpectAccessible(&limited);
}

using ChoiceChooserDlgTest = SettingsUiTest;

TEST_F(ChoiceChooserDlgTest, OkOpensTheEditorOfTheChosenListAndCancelNothing) {
    WhenModal<CChoiceChooserDlg>([](CChoiceChooserDlg* d) { d->reject(); });
    EXPECT_FALSE(RunChoiceListChooser(nullptr, install));
    EXPECT_FALSE(FileExists(data + "/RirekiType.dat"));

    auto cols = MasterColumns();
    cols[7].label = "会員区分";
    WriteSet(data + "/MLVColSet.sys", cols);
    std::string editorTitle;
    WhenModal<CChoiceChooserDlg>([&](CChoiceChooserDlg* d) {
        EXPECT_EQ(0, d->ChosenList());
        EXPECT_EQ("顧客：会員区分", d->Radio(kListRank1)->text().toStdString());
        d->Radio(kListRank1)->click();
        WhenModal<CChoiceListEditDlg>([&](CChoiceListEditDlg* e) {
            editorTitle = e->windowTitle().toStdString();
            e->Button("OK")->click();
        });
        d->OkButton()->click();
    });
    EXPECT_TRUE(RunChoiceListChooser(nullptr, install));
    EXPECT_EQ("顧客情報の会員区分 の設定", editorTitle);
}

class ChoiceListEditDlgTest : public SettingsUiTest {
protected:
    std::unique_ptr<CChoiceListEditDlg> OpenEditor(int listNo) {
        auto dlg = std::make_unique<CChoiceListEditDlg>(install, listNo);
        EXPECT_TRUE(dlg->Open());
        dlg->show();
        return dlg;
    }
    void Click(CChoiceListEditDlg& dlg, const char* button, int row = -2) {
        if (row != -2) dlg.List()->setCurrentRow(row);
        dlg.Button(QString::fromUtf8(button))->click();
    }
    // Clicks the button, types into the entry dialog that opens and presses OK
    // there; the texts that follow are tried in turn while it stays open.
    std::string EnterTexts(CChoiceListEditDlg& dlg, const char* button, std::vector<QString> texts) {
        std::string initial = "?";
        WhenModal<CChoiceEntryDlg>([texts, &initial](CChoiceEntryDlg* e) {
            initial = e->Text();
            for (const QString& t : texts) {
                if (!e->isVisible()) break;
                e->Edit()->setText(t);
                e->OkButton()->click();
            }
        });
        Click(dlg, button);
        return initial;
    }
};

TEST_F(ChoiceListEditDlgTest, AddAndChangeGoThroughTheEntryDialog) {
    auto dlg = OpenEditor(kListImportant);
    EXPECT_EQ("顧客情報の重要度ランク の設定", dlg->windowTitle().toStdString());
    EXPECT_EQ(kImportant, Rows(dlg->List()));
    ExpectAccessible(dlg.get());
    EXPECT_EQ((Strings{"現在登録されている顧客情報の重要度ランク", "追加...", "変更...", "削除", "上へ", "下へ", "OK",
                       "キャンセル"}),
              TabChain(dlg->List()));

    EXPECT_EQ("", EnterTexts(*dlg, "追加...", {"", "VIP", "特B"}));
    const std::string duplicate = "入力された内容はすでに登録されています。\n重複する内容を登録することはできません。";
    EXPECT_EQ((Strings{"内容を入力してください", duplicate}), ports.prompt.Texts());
    EXPECT_EQ(6, dlg->List()->currentRow());
    ports.prompt.Clear();

    Click(*dlg, "変更...", 0);  // "VIP" is held
    dlg->List()->setCurrentRow(1);
    EXPECT_EQ("特A", EnterTexts(*dlg, "変更...", {"特A", "特Ａ"}));
    EXPECT_EQ((Strings{"この項目は編集できません", duplicate}), ports.prompt.Texts());
    EXPECT_EQ((Strings{"VIP", "特Ａ", "A", "B", "C", "ブラックリスト", "特B"}), Rows(dlg->List()));
    EXPECT_EQ(1, dlg->List()->currentRow());
    EXPECT_EQ(kImportant, FileEntries(install, kListImportant));  // saved only by OK
}

TEST_F(ChoiceListEditDlgTest, DeleteAndMoveActOnTheSelectedRow) {
    auto dlg = OpenEditor(kListImportant);
    Click(*dlg, "削除");
    Click(*dlg, "削除", 5);  // "ブラックリスト" is held
    ports.prompt.QueueAnswer(Answer::No);
    Click(*dlg, "削除", 2);
    EXPECT_EQ(kImportant, Rows(dlg->List()));
    ports.prompt.QueueAnswer(Answer::Yes);
    Click(*dlg, "削除");
    EXPECT_EQ((Strings{"削除する内容を選択してください", "この項目は削除できません", "項目<A>を削除します。\nよろしいですか？",
                       "項目<A>を削除します。\nよろしいですか？"}),
              ports.prompt.Texts());

    Click(*dlg, "上へ", 0);  // at the top: nothing
    EXPECT_EQ(0, dlg->List()->currentRow());
    Click(*dlg, "下へ");
    Click(*dlg, "下へ");
    EXPECT_EQ((Strings{"特A", "B", "VIP", "C", "ブラックリスト"}), Rows(dlg->List()));
    EXPECT_EQ(2, dlg->List()->currentRow());
    Click(*dlg, "下へ", 4);
    EXPECT_EQ(4, dlg->List()->currentRow());
    EXPECT_EQ(4u, ports.prompt.Texts().size());
}

TEST_F(ChoiceListEditDlgTest, OkSavesCancelDiscardsFailuresKeepTheFile) {
    for (const char* button : {"キャンセル", "OK"}) {
        EXPECT_EQ(kImportant, FileEntries(install, kListImportant));
        auto dlg = OpenEditor(kListImportant);
        Click(*dlg, "下へ", 1);
        Click(*dlg, button);
        EXPECT_FALSE(dlg->isVisible());
    }
    EXPECT_EQ((Strings{"VIP", "A", "特A", "B", "C", "ブラックリスト"}), FileEntries(install, kListImportant));

    auto dlg = OpenEditor(kListTantou);
    BlockFile("Tantou.dat");
    Click(*dlg, "OK");
    EXPECT_TRUE(dlg->isVisible());  // a failed save stays open
    EXPECT_EQ((Strings{"設定を保存できませんでした"}), ports.prompt.Texts());

    WriteBytes(data + "/KCompType.dat", Hex("03 00 FF FF"));  // unreadable, reset refused: no editor
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(RunChoiceListEditor(nullptr, install, kListCompType));
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
    EXPECT_EQ(Hex("03 00 FF FF"), ReadBytes(data + "/KCompType.dat"));
}
