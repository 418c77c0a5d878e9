// The choice drop-down, the chooser, the list editor and its entry dialog,
// driven as a person would: typing, leaving fields, clicking buttons.
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

std::vector<std::string> FileEntries(const std::string& install, int listNo) {
    CMLVComboData d(install);
    EXPECT_EQ(1, d.Load(listNo));
    std::vector<std::string> out;
    for (const auto& e : d.entries) out.push_back(e.text);
    return out;
}

const std::vector<std::string> kImportant = {"VIP", "特A", "A", "B", "C", "ブラックリスト"};

}  // namespace

// ---------------------------------------------------------------- drop-down

using ChoiceComboBoxTest = SettingsUiTest;

TEST_F(ChoiceComboBoxTest, FillWritesTheDefaultListOfAFreshDataFolder) {
    CChoiceComboBox box;
    box.Fill(install, kListRirekiType);
    EXPECT_EQ((std::vector<std::string>{"DM", "DMメール送信", "問い合わせ", "購入", "クレーム", "メール送信", "フォーム印刷"}),
              Items(&box));
    EXPECT_TRUE(FileExists(data + "/RirekiType.dat"));
    EXPECT_EQ("", box.Text());
}

TEST_F(ChoiceComboBoxTest, LeavingTheFieldRegistersANewTextOnce) {
    QWidget window;
    auto* box = new CChoiceComboBox(&window);
    auto* other = new QLineEdit(&window);
    box->Fill(install, kListImportant);
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(box->hasFocus());

    box->lineEdit()->insert(QStringLiteral("得意先"));
    other->setFocus();
    QApplication::processEvents();

    auto expected = kImportant;
    expected.push_back("得意先");
    EXPECT_EQ(expected, Items(box));
    EXPECT_EQ(expected, FileEntries(install, kListImportant));
    EXPECT_EQ("得意先", box->Text());

    // Leaving again with the same text, or with an existing one, adds nothing.
    box->setFocus();
    other->setFocus();
    box->SetText("VIP");
    box->setFocus();
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(expected, FileEntries(install, kListImportant));
    EXPECT_EQ(7, box->count());
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST_F(ChoiceComboBoxTest, ClosingTheWindowWithTheFocusInTheFieldRegisters) {
    QDialog window;
    auto* box = new CChoiceComboBox(&window);
    new QLineEdit(&window);
    box->Fill(install, kListCompType);
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus();
    QApplication::processEvents();
    box->lineEdit()->insert(QStringLiteral("サービス業"));
    window.accept();
    QApplication::processEvents();
    EXPECT_EQ((std::vector<std::string>{"製造業", "流通業", "サービス業"}), FileEntries(install, kListCompType));
}

TEST_F(ChoiceComboBoxTest, RegistrationIsExactAndSkipsEmptyText) {
    CChoiceComboBox box;
    box.Fill(install, kListImportant);
    EXPECT_FALSE(box.RegisterCurrentText());  // empty
    box.SetText("vip");                        // differs from "VIP" in case
    EXPECT_TRUE(box.RegisterCurrentText());
    box.SetText("VIP");
    EXPECT_FALSE(box.RegisterCurrentText());
    EXPECT_EQ(7u, FileEntries(install, kListImportant).size());

    CChoiceComboBox manual;  // without automatic registration nothing is added
    manual.Fill(install, kListImportant, false);
    manual.SetText("新規");
    EXPECT_FALSE(manual.RegisterCurrentText());
    EXPECT_EQ(7u, FileEntries(install, kListImportant).size());
}

TEST_F(ChoiceComboBoxTest, TextIsCutAtTheByteLimitOfTheList) {
    CChoiceComboBox staff;
    staff.Fill(install, kListTantou);
    EXPECT_EQ(30, staff.TextLimit());
    staff.lineEdit()->insert(QString(31, QLatin1Char('a')));
    EXPECT_EQ(std::string(30, 'a'), staff.Text());

    staff.lineEdit()->clear();
    staff.lineEdit()->insert(QString(16, QChar(0x3042)));  // 16 x "あ" = 32 bytes
    EXPECT_EQ(30u, SjisLength(staff.Text()));
    EXPECT_EQ(15, staff.lineEdit()->text().size());

    // A full-width character never overruns by its first byte.
    staff.lineEdit()->clear();
    staff.lineEdit()->insert(QString(29, QLatin1Char('b')));
    staff.lineEdit()->insert(QStringLiteral("あ"));
    EXPECT_EQ(std::string(29, 'b'), staff.Text());

    // Typing in the middle keeps the tail.
    staff.lineEdit()->clear();
    staff.lineEdit()->insert(QString(28, QLatin1Char('a')) + QStringLiteral("zz"));
    staff.lineEdit()->setCursorPosition(1);
    staff.lineEdit()->insert(QStringLiteral("XY"));
    EXPECT_EQ(std::string(28, 'a') + "zz", staff.Text());

    CChoiceComboBox keyword;
    keyword.Fill(install, kListRirekiWord);
    keyword.lineEdit()->insert(QString(300, QLatin1Char('k')));
    EXPECT_EQ(255u, keyword.Text().size());
}

TEST_F(ChoiceComboBoxTest, DamagedListRefusedStaysEmptyAndAcceptedIsReset) {
    WriteBytes(data + "/KPayMeth.dat", Hex("05 00 FF FF 07"));
    ports.prompt.QueueAnswer(Answer::No);
    CChoiceComboBox box;
    box.Fill(install, kListPayMeth);
    // The read error is told, then the reset is offered.
    ASSERT_EQ(2u, ports.prompt.Log().size());
    EXPECT_EQ(kFileErrorMessage, ports.prompt.Log()[0].text);
    EXPECT_EQ("設定ファイル<" + data + "/KPayMeth.dat>が壊れています。初期状態にしてよろしいですか？",
              ports.prompt.Log()[1].text);
    EXPECT_EQ(Shown::YesNo, ports.prompt.Log()[1].kind);
    EXPECT_EQ(0, box.count());
    EXPECT_FALSE(box.AutoRegisterEnabled());
    box.SetText("掛け");
    EXPECT_FALSE(box.RegisterCurrentText());
    EXPECT_EQ(Hex("05 00 FF FF 07"), ReadBytes(data + "/KPayMeth.dat"));

    // Accepting the offer resets the list.
    ports.prompt.QueueAnswer(Answer::Yes);
    CChoiceComboBox reset;
    reset.Fill(install, kListPayMeth);
    EXPECT_EQ((std::vector<std::string>{"現金", "小切手", "振込み", "手形"}), Items(&reset));
    EXPECT_TRUE(reset.AutoRegisterEnabled());
}

// ---------------------------------------------------------------- entry dialog

using ChoiceEntryDlgTest = SettingsUiTest;

TEST_F(ChoiceEntryDlgTest, OkAsksTheCheckAndStaysOpenOnRefusal) {
    std::vector<std::string> checked;
    bool allow = false;
    CChoiceEntryDlg dlg("初め", 10, [&](const std::string& t) { checked.push_back(t); return allow; });
    EXPECT_EQ("初め", dlg.Text());
    dlg.show();
    dlg.OkButton()->click();
    EXPECT_TRUE(dlg.isVisible());
    allow = true;
    dlg.Edit()->setText(QStringLiteral("次"));
    dlg.OkButton()->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(QDialog::Accepted, dlg.result());
    EXPECT_EQ((std::vector<std::string>{"初め", "次"}), checked);

    CChoiceEntryDlg limited("", 4, nullptr);  // the limit counts Shift-JIS bytes
    limited.Edit()->insert(QStringLiteral("あいう"));
    EXPECT_EQ("あい", limited.Text());
    ExpectAccessible(&limited);
}

// ---------------------------------------------------------------- chooser

using ChoiceChooserDlgTest = SettingsUiTest;

TEST_F(ChoiceChooserDlgTest, OffersTheEightListsWithTheRankingLabels) {
    auto cols = MasterColumns();
    cols[7].label = "会員区分";
    WriteSet(data + "/MLVColSet.sys", cols);
    CChoiceChooserDlg dlg(install);
    EXPECT_EQ("入力用選択肢の編集", dlg.windowTitle().toStdString());
    std::vector<std::string> texts;
    for (int i = 0; i < 8; ++i) texts.push_back(dlg.Radio(i)->text().toStdString());
    EXPECT_EQ((std::vector<std::string>{"履歴：概要", "履歴：検索キーワード", "DM送付予定：内容", "顧客：重要度ランク",
                                        "顧客：会員区分", "顧客：ランク２", "顧客：支払方法", "顧客：会社業種"}),
              texts);
    EXPECT_EQ(0, dlg.ChosenList());
}

TEST_F(ChoiceChooserDlgTest, OkOpensTheEditorOfTheChosenListAndCancelNothing) {
    WhenModal<CChoiceChooserDlg>([](CChoiceChooserDlg* d) { d->reject(); });
    EXPECT_FALSE(RunChoiceListChooser(nullptr, install));
    EXPECT_FALSE(FileExists(data + "/RirekiType.dat"));

    std::string editorTitle;
    WhenModal<CChoiceChooserDlg>([&](CChoiceChooserDlg* d) {
        d->Radio(kListPayMeth)->click();
        WhenModal<CChoiceListEditDlg>([&](CChoiceListEditDlg* e) {
            editorTitle = e->windowTitle().toStdString();
            e->Button("OK")->click();
        });
        d->OkButton()->click();
    });
    EXPECT_TRUE(RunChoiceListChooser(nullptr, install));
    EXPECT_EQ("顧客情報の支払方法 の設定", editorTitle);
}

// ---------------------------------------------------------------- list editor

class ChoiceListEditDlgTest : public SettingsUiTest {
protected:
    std::unique_ptr<CChoiceListEditDlg> OpenEditor(int listNo) {
        auto dlg = std::make_unique<CChoiceListEditDlg>(install, listNo);
        EXPECT_TRUE(dlg->Open());
        dlg->show();
        return dlg;
    }
    void Select(CChoiceListEditDlg& dlg, int row) { dlg.List()->setCurrentRow(row); }
    // Clicks the button, types into the entry dialog that opens and presses OK
    // there; the texts that follow are tried in turn while it stays open.
    void EnterTexts(CChoiceListEditDlg& dlg, const QString& button, std::vector<QString> texts,
                    std::string* initial = nullptr) {
        WhenModal<CChoiceEntryDlg>([texts, initial](CChoiceEntryDlg* e) {
            if (initial) *initial = e->Text();
            for (const QString& t : texts) {
                if (!e->isVisible()) break;
                e->Edit()->setText(t);
                e->OkButton()->click();
            }
        });
        dlg.Button(button)->click();
    }
};

TEST_F(ChoiceListEditDlgTest, ShowsTheListWithItsTexts) {
    auto dlg = OpenEditor(kListImportant);
    EXPECT_EQ("顧客情報の重要度ランク の設定", dlg->windowTitle().toStdString());
    EXPECT_EQ(kImportant, Rows(dlg->List()));
    ExpectAccessible(dlg.get());
    EXPECT_EQ((std::vector<std::string>{"現在登録されている顧客情報の重要度ランク", "追加...", "変更...", "削除", "上へ", "下へ",
                                        "OK", "キャンセル"}),
              TabChain(dlg->List()));
}

TEST_F(ChoiceListEditDlgTest, AddRefusesEmptyAndDuplicateTextsThenAppendsAndSelects) {
    auto dlg = OpenEditor(kListImportant);
    std::string initial = "?";
    EnterTexts(*dlg, "追加...", {"", "VIP", "特B"}, &initial);
    EXPECT_EQ("", initial);
    EXPECT_EQ((std::vector<std::string>{"内容を入力してください",
                                        "入力された内容はすでに登録されています。\n重複する内容を登録することはできません。"}),
              ports.prompt.Texts());
    auto expected = kImportant;
    expected.push_back("特B");
    EXPECT_EQ(expected, Rows(dlg->List()));
    EXPECT_EQ(6, dlg->List()->currentRow());
    EXPECT_EQ(kImportant, FileEntries(install, kListImportant));  // saved only by OK
}

TEST_F(ChoiceListEditDlgTest, ChangeRulesAndInPlaceReplacement) {
    auto dlg = OpenEditor(kListImportant);
    dlg->Button("変更...")->click();
    Select(*dlg, 0);
    dlg->Button("変更...")->click();
    EXPECT_EQ((std::vector<std::string>{"変更する内容を選択してください", "この項目は編集できません"}), ports.prompt.Texts());
    ports.prompt.Clear();

    Select(*dlg, 1);
    std::string initial;
    EnterTexts(*dlg, "変更...", {"特A", "特Ａ"}, &initial);
    EXPECT_EQ("特A", initial);
    EXPECT_EQ((std::vector<std::string>{
                  "入力された内容はすでに登録されています。\n重複する内容を登録することはできません。"}),
              ports.prompt.Texts());
    EXPECT_EQ((std::vector<std::string>{"VIP", "特Ａ", "A", "B", "C", "ブラックリスト"}), Rows(dlg->List()));
    EXPECT_EQ(1, dlg->List()->currentRow());
}

TEST_F(ChoiceListEditDlgTest, DeleteAsksWithNoAsDefault) {
    auto dlg = OpenEditor(kListImportant);
    dlg->Button("削除")->click();
    Select(*dlg, 5);
    dlg->Button("削除")->click();
    EXPECT_EQ((std::vector<std::string>{"削除する内容を選択してください", "この項目は削除できません"}), ports.prompt.Texts());
    ports.prompt.Clear();

    Select(*dlg, 2);
    ports.prompt.QueueAnswer(Answer::No);
    dlg->Button("削除")->click();
    EXPECT_EQ(kImportant, Rows(dlg->List()));
    ports.prompt.QueueAnswer(Answer::Yes);
    dlg->Button("削除")->click();
    EXPECT_EQ((std::vector<std::string>{"VIP", "特A", "B", "C", "ブラックリスト"}), Rows(dlg->List()));
    ASSERT_EQ(2u, ports.prompt.Log().size());
    EXPECT_EQ("項目<A>を削除します。\nよろしいですか？", ports.prompt.Log()[0].text);
    EXPECT_EQ(MsgIcon::Question, ports.prompt.Log()[0].icon);
    EXPECT_EQ(Answer::No, ports.prompt.Log()[0].defaultButton);
}

TEST_F(ChoiceListEditDlgTest, MoveKeepsTheSelectionAndStopsAtTheEnds) {
    auto dlg = OpenEditor(kListImportant);
    dlg->Button("上へ")->click();
    EXPECT_EQ((std::vector<std::string>{"移動する内容を選択してください"}), ports.prompt.Texts());

    Select(*dlg, 0);
    dlg->Button("上へ")->click();
    EXPECT_EQ(kImportant, Rows(dlg->List()));
    EXPECT_EQ(0, dlg->List()->currentRow());

    dlg->Button("下へ")->click();
    dlg->Button("下へ")->click();
    EXPECT_EQ((std::vector<std::string>{"特A", "A", "VIP", "B", "C", "ブラックリスト"}), Rows(dlg->List()));
    EXPECT_EQ(2, dlg->List()->currentRow());

    Select(*dlg, 5);
    dlg->Button("下へ")->click();
    EXPECT_EQ(5, dlg->List()->currentRow());
    EXPECT_EQ("ブラックリスト", Rows(dlg->List()).back());
}

TEST_F(ChoiceListEditDlgTest, OkSavesAndCancelDiscards) {
    for (const char* button : {"キャンセル", "OK"}) {
        EXPECT_EQ(kImportant, FileEntries(install, kListImportant));
        auto dlg = OpenEditor(kListImportant);
        Select(*dlg, 1);
        dlg->Button("下へ")->click();
        dlg->Button(QString::fromUtf8(button))->click();
        EXPECT_FALSE(dlg->isVisible());
    }
    EXPECT_EQ((std::vector<std::string>{"VIP", "A", "特A", "B", "C", "ブラックリスト"}), FileEntries(install, kListImportant));
}

TEST_F(ChoiceListEditDlgTest, FailedSaveKeepsTheEditorOpen) {
    auto dlg = OpenEditor(kListTantou);
    BlockFile("Tantou.dat");
    dlg->Button("OK")->click();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ((std::vector<std::string>{"設定を保存できませんでした"}), ports.prompt.Texts());
}

TEST_F(ChoiceListEditDlgTest, UnreadableListClosesTheEditorAtOnce) {
    WriteBytes(data + "/Tantou.dat", Hex("03 00 FF FF"));
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(RunChoiceListEditor(nullptr, install, kListTantou));
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
    EXPECT_EQ(Hex("03 00 FF FF"), ReadBytes(data + "/Tantou.dat"));
}
