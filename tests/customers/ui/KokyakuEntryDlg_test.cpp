#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "customers/ui/KokyakuEntryDlg.h"
#include "customers/ui/KokyakuSubDlg.h"
#include "support/TestPorts.h"

namespace {

struct Host : IKokyakuEntryHost {
    std::vector<CEntryRecord> added, modified;
    std::vector<NeighbourCustomer> next;
    int32_t AddCustomer(const CEntryRecord& r) override {
        added.push_back(r);
        return 100 + static_cast<int32_t>(added.size());
    }
    int ModifyCustomer(int32_t, CEntryRecord& r) override {
        modified.push_back(r);
        return 1;
    }
    std::optional<NeighbourCustomer> NextCustomer() override {
        if (next.empty()) return std::nullopt;
        auto n = next.front();
        next.erase(next.begin());
        return n;
    }
    std::optional<NeighbourCustomer> PrevCustomer() override { return std::nullopt; }
};

std::string NoLabels(const std::string&) { return {}; }

QLineEdit* Edit(CKokyakuEntryDlg& d, int id) { return qobject_cast<QLineEdit*>(d.Controls().Control(id)); }
QComboBox* Combo(CKokyakuEntryDlg& d, int id) { return qobject_cast<QComboBox*>(d.Controls().Control(id)); }

CEntryRecord Person(int32_t id, const std::string& name) {
    CEntryRecord r = CEntryRecord::Blank();
    r.id = id;
    r.SetText("Name", name);
    r.SetText("Suffix", "様");
    return r;
}

struct KokyakuEntryDlg : ::testing::Test {
    TestPorts ports;
    Host host;
};

TEST_F(KokyakuEntryDlg, TitlesButtonsAndLayouts) {
    CKokyakuEntryDlg add(EntryLayout::Normal, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    EXPECT_EQ(add.windowTitle(), QString::fromUtf8("顧客を追加－通常タイプ"));
    EXPECT_TRUE(add.Button(1356)->isHidden());
    EXPECT_FALSE(add.Button(1295)->isEnabled());            // pictures
    EXPECT_FALSE(add.Controls().Button(1329)->isEnabled()); // postal lookup
    EXPECT_EQ(Combo(add, 1065)->currentText(), QString::fromUtf8("様"));
    EXPECT_EQ(Edit(add, 1095)->text(), QStringLiteral("http://"));

    CEntryRecord rec = Person(4, "山田");
    CKokyakuEntryDlg ind(EntryLayout::Individual, EntryMode::Change, &rec, true, false, &host, NoLabels);
    EXPECT_EQ(ind.windowTitle(), QString::fromUtf8("顧客を修正－個人タイプ"));
    EXPECT_TRUE(ind.Button(1356)->isEnabled());
    EXPECT_FALSE(ind.Button(1357)->isEnabled());
    EXPECT_FALSE(ind.Controls().Control(1078));

    CKokyakuEntryDlg corp(EntryLayout::Corporate, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    EXPECT_FALSE(corp.Controls().Control(1110));
    EXPECT_TRUE(qobject_cast<QRadioButton*>(corp.Controls().Button(1188))->isChecked());
}

TEST_F(KokyakuEntryDlg, TooLongNameRefusedWithFocusOnTheName) {
    CKokyakuEntryDlg d(EntryLayout::Normal, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    d.show();
    QString name;
    for (int i = 0; i < 25; ++i) name += QString::fromUtf8("鈴");
    Edit(d, 1059)->setText(name + "a");
    d.Button(1)->setFocus();
    d.Button(1)->click();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"50文字(ﾊﾞｲﾄ)以内で入力してください"});
    EXPECT_EQ(d.focusWidget(), Edit(d, 1059));
    EXPECT_TRUE(host.added.empty());
}

TEST_F(KokyakuEntryDlg, CorporateCompanyWithoutNameGetsOnchu) {
    CKokyakuEntryDlg d(EntryLayout::Corporate, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    Edit(d, 1078)->setText(QString::fromUtf8("山田商事"));
    ports.prompt.QueueAnswer(Answer::Cancel);
    d.Button(1)->click();
    EXPECT_TRUE(host.added.empty());

    ports.prompt.QueueAnswer(Answer::Yes);  // 御中
    ports.prompt.QueueAnswer(Answer::Yes);  // add
    d.Button(1)->click();
    ASSERT_EQ(host.added.size(), 1u);
    EXPECT_EQ(host.added[0].Text("Suffix"), "御中");
    EXPECT_EQ(host.added[0].Int("EntryType"), 0);
    EXPECT_EQ(host.added[0].Int("CommonMail"), 4);
    // Stays open and cleared for the next customer.
    EXPECT_EQ(Edit(d, 1078)->text(), QString());
    EXPECT_EQ(Combo(d, 1065)->currentText(), QString::fromUtf8("様"));
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
}

TEST_F(KokyakuEntryDlg, ClosingUntouchedAddDialogClosesWithoutQuestion) {
    CKokyakuEntryDlg d(EntryLayout::Individual, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    d.show();
    d.Button(1389)->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(ports.prompt.Log().empty());

    // Escape closes without a question even after typing.
    CKokyakuEntryDlg typed(EntryLayout::Normal, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    typed.show();
    Edit(typed, 1059)->setText(QString::fromUtf8("入力途中"));
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&typed, &esc);
    EXPECT_EQ(typed.result(), QDialog::Rejected);
    EXPECT_FALSE(typed.isVisible());
    EXPECT_TRUE(ports.prompt.Log().empty());
    EXPECT_TRUE(host.added.empty());
}

TEST_F(KokyakuEntryDlg, ClosingDayAndUrlRoundTrip) {
    CEntryRecord rec = Person(9, "佐藤");
    rec.SetInt("ClosingDay", 99);
    rec.SetInt("EntryType", 0);
    rec.SetText("CompName", "佐藤工業");
    CKokyakuEntryDlg d(EntryLayout::Corporate, EntryMode::Change, &rec, false, false, &host, NoLabels);
    EXPECT_EQ(Combo(d, 1184)->currentText(), QString::fromUtf8("99(末)"));
    EXPECT_EQ(Edit(d, 1096)->text(), QStringLiteral("http://"));
    Combo(d, 1184)->setCurrentIndex(Combo(d, 1184)->findText("15"));
    ports.prompt.QueueAnswer(Answer::Yes);
    d.Button(1)->click();
    ASSERT_EQ(host.modified.size(), 1u);
    EXPECT_EQ(host.modified[0].Int("ClosingDay"), 15);
    EXPECT_EQ(host.modified[0].Text("URL2"), "");

    Combo(d, 1184)->setCurrentIndex(Combo(d, 1184)->findText(QString::fromUtf8("99(末)")));
    ports.prompt.QueueAnswer(Answer::Yes);
    d.Button(1)->click();
    ASSERT_EQ(host.modified.size(), 2u);
    EXPECT_EQ(host.modified[1].Int("ClosingDay"), 99);
}

TEST_F(KokyakuEntryDlg, ViewOnlyButtonDisabledButNavigationMoves) {
    host.next = {{Person(2, "次の顧客"), false}};
    CEntryRecord rec = Person(1, "最初の顧客");
    CKokyakuEntryDlg d(EntryLayout::Normal, EntryMode::View, &rec, false, true, &host, NoLabels);
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("顧客を参照(修正することはできません)－通常タイプ"));
    EXPECT_FALSE(d.Button(1)->isEnabled());
    EXPECT_TRUE(Edit(d, 1059)->isReadOnly());
    EXPECT_EQ(Edit(d, 1095)->text(), QString());  // no "http://" when only shown
    d.Button(1357)->click();
    EXPECT_EQ(Edit(d, 1059)->text(), QString::fromUtf8("次の顧客"));
    EXPECT_TRUE(d.Button(1356)->isEnabled());
    EXPECT_FALSE(d.Button(1357)->isEnabled());
    EXPECT_TRUE(ports.prompt.Log().empty());

    // Sub-dialogs only show: OK refused, the record untouched.
    int runs = 0;
    d.runSubDialog = [&](CKokyakuSubDlg& sub) {
        ++runs;
        EXPECT_FALSE(sub.OkButton()->isEnabled());
        EXPECT_TRUE(sub.windowTitle().endsWith(QString::fromUtf8("を参照(修正することはできません)")));
        sub.OnOk();
        return sub.result() == QDialog::Accepted;
    };
    d.Button(1325)->click();
    d.Button(1326)->click();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(d.Logic().Working().Text("Name"), "次の顧客");
}

TEST_F(KokyakuEntryDlg, BirthdayInvalidRefusedEmptyUnset) {
    CEntryRecord rec = Person(3, "田中");
    rec.SetInt("EntryType", 1);
    rec.SetDate("BirthDay", CDateTime::FromParts(1980, 1, 2));
    CKokyakuEntryDlg d(EntryLayout::Individual, EntryMode::Change, &rec, false, false, &host, NoLabels);
    d.show();
    EXPECT_EQ(Edit(d, 1110)->text(), QStringLiteral("1980/01/02"));
    Edit(d, 1110)->setText("1980/13/02");
    d.Button(1)->click();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"日付の設定が正しくありません。"});
    EXPECT_EQ(d.focusWidget(), Edit(d, 1110));
    EXPECT_TRUE(host.modified.empty());

    Edit(d, 1110)->setText("");
    ports.prompt.QueueAnswer(Answer::Yes);
    d.Button(1)->click();
    ASSERT_EQ(host.modified.size(), 1u);
    EXPECT_FALSE(host.modified[0].Date("BirthDay").IsValid());
}

TEST_F(KokyakuEntryDlg, CorporateHomeInformationTakesStandardMail) {
    CEntryRecord rec = Person(5, "");
    rec.SetInt("EntryType", 0);
    rec.SetText("CompName", "会社");
    rec.SetText("Suffix", "御中");
    rec.SetInt("CommonMail", 5);
    CKokyakuEntryDlg d(EntryLayout::Corporate, EntryMode::Change, &rec, false, false, &host, NoLabels);
    ASSERT_TRUE(qobject_cast<QRadioButton*>(d.Controls().Button(1189))->isChecked());
    bool ran = false;
    d.runSubDialog = [&](CKokyakuSubDlg& sub) {
        ran = true;
        EXPECT_EQ(sub.windowTitle(), QString::fromUtf8("自宅情報の登録"));
        EXPECT_EQ(sub.Controls().MailChoice(), 0);  // a company address is the standard one
        qobject_cast<QLineEdit*>(sub.Controls().Control(1091))->setText("two@example.jp");
        qobject_cast<QRadioButton*>(sub.Controls().Button(1186))->click();
        sub.OnOk();
        return sub.result() == QDialog::Accepted;
    };
    d.Button(1362)->click();
    ASSERT_TRUE(ran);
    EXPECT_EQ(d.Controls().MailChoice(), 0);
    EXPECT_FALSE(qobject_cast<QRadioButton*>(d.Controls().Button(1188))->isChecked());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(d.Controls().Button(1189))->isChecked());
    ports.prompt.QueueAnswer(Answer::Yes);
    d.Button(1)->click();
    ASSERT_EQ(host.modified.size(), 1u);
    EXPECT_EQ(host.modified[0].Int("CommonMail"), 2);
    EXPECT_EQ(host.modified[0].Text("EMail2"), "two@example.jp");
}

TEST_F(KokyakuEntryDlg, IndividualCompanyInformationTakesStandardMail) {
    CEntryRecord rec = Person(6, "個人");
    rec.SetInt("EntryType", 1);
    rec.SetInt("CommonMail", 2);
    CKokyakuEntryDlg d(EntryLayout::Individual, EntryMode::Change, &rec, false, false, &host, NoLabels);
    ASSERT_EQ(d.Controls().MailChoice(), 2);
    d.runSubDialog = [&](CKokyakuSubDlg& sub) {
        EXPECT_EQ(sub.windowTitle(), QString::fromUtf8("会社情報の登録"));
        EXPECT_EQ(sub.Controls().MailChoice(), 0);
        qobject_cast<QLineEdit*>(sub.Controls().Control(1078))->setText(QString::fromUtf8("勤務先"));
        qobject_cast<QRadioButton*>(sub.Controls().Button(1188))->click();
        sub.OnOk();
        return sub.result() == QDialog::Accepted;
    };
    d.Button(1362)->click();
    EXPECT_EQ(d.Controls().MailChoice(), 0);  // the home buttons are cleared
    ports.prompt.QueueAnswer(Answer::Yes);
    d.Button(1)->click();
    ASSERT_EQ(host.modified.size(), 1u);
    EXPECT_EQ(host.modified[0].Int("CommonMail"), 4);
    EXPECT_EQ(host.modified[0].Text("CompName"), "勤務先");
}

TEST_F(KokyakuEntryDlg, NotesCarryNote1FromThePage) {
    CKokyakuEntryDlg d(EntryLayout::Normal, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    Edit(d, 1328)->setText(QString::fromUtf8("ページの備考"));
    d.runSubDialog = [&](CKokyakuSubDlg& sub) {
        auto* n1 = qobject_cast<QLineEdit*>(sub.Controls().Control(EntryCtl::Note1));
        EXPECT_EQ(n1->text(), QString::fromUtf8("ページの備考"));
        n1->setText(QString::fromUtf8("書き換え"));
        qobject_cast<QLineEdit*>(sub.Controls().Control(EntryCtl::Note2 + 8))->setText("10");
        sub.OnOk();
        return sub.result() == QDialog::Accepted;
    };
    d.Button(1325)->click();
    EXPECT_EQ(Edit(d, 1328)->text(), QString::fromUtf8("書き換え"));
    EXPECT_EQ(d.Logic().Working().Text("Note10"), "10");
}

TEST_F(KokyakuEntryDlg, OpensUrlsWithTheDesktopHandler) {
    CKokyakuEntryDlg d(EntryLayout::Normal, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    QStringList opened;
    d.openUrl = [&](const QString& u) { opened << u; };
    d.Controls().Button(1381)->click();  // "http://" alone opens nothing
    Edit(d, 1096)->setText("http://example.jp/");
    d.Controls().Button(1384)->click();
    EXPECT_EQ(opened, QStringList{"http://example.jp/"});
}

TEST_F(KokyakuEntryDlg, ReadingFromTheInputMethod) {
    CKokyakuEntryDlg d(EntryLayout::Normal, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    QLineEdit* name = Edit(d, 1059);
    auto send = [](QWidget* w, const QString& preedit, const QString& commit) {
        QInputMethodEvent e(preedit, {});
        if (!commit.isNull()) e.setCommitString(commit);
        QApplication::sendEvent(w, &e);
    };
    send(name, QString::fromUtf8("やま"), QString());
    send(name, QString::fromUtf8("やまだ"), QString());
    send(name, QString::fromUtf8("山田"), QString());  // converted
    send(name, QString(), QString::fromUtf8("山田"));
    EXPECT_EQ(name->text(), QString::fromUtf8("山田"));
    EXPECT_EQ(Edit(d, 1060)->text(), QString::fromUtf8("ﾔﾏﾀﾞ"));
    // A second clause appends to the reading.
    send(name, QString::fromUtf8("はなこ"), QString());
    send(name, QString(), QString::fromUtf8("花子"));
    EXPECT_EQ(Edit(d, 1060)->text(), QString::fromUtf8("ﾔﾏﾀﾞﾊﾅｺ"));
    // The company name feeds the company reading.
    send(Edit(d, 1078), QString::fromUtf8("がっこう"), QString());
    send(Edit(d, 1078), QString(), QString::fromUtf8("学校"));
    EXPECT_EQ(Edit(d, 1079)->text(), QString::fromUtf8("ｶﾞｯｺｳ"));
    // Typed straight into the reading, committed kana become half-width.
    send(Edit(d, 1060), QString::fromUtf8("じろう"), QString());
    send(Edit(d, 1060), QString(), QString::fromUtf8("じろう"));
    EXPECT_EQ(Edit(d, 1060)->text(), QString::fromUtf8("ﾔﾏﾀﾞﾊﾅｺｼﾞﾛｳ"));
    Edit(d, 1060)->setText(QString::fromUtf8("ﾔﾏﾀﾞﾊﾅｺ"));
    // A cancelled composition leaves nothing behind.
    send(name, QString::fromUtf8("あ"), QString());
    send(name, QString(), QString());
    send(name, QString(), QStringLiteral("x"));
    EXPECT_EQ(Edit(d, 1060)->text(), QString::fromUtf8("ﾔﾏﾀﾞﾊﾅｺ"));
}

TEST_F(KokyakuEntryDlg, EveryControlHasANameAndTabOrderFollowsTheBlocks) {
    for (EntryLayout layout : {EntryLayout::Normal, EntryLayout::Individual, EntryLayout::Corporate}) {
        CKokyakuEntryDlg d(layout, EntryMode::Change, nullptr, true, true, &host, NoLabels);
        for (QWidget* w : d.findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&d) || qobject_cast<QLabel*>(w)) continue;
            if (w->parentWidget() && qobject_cast<QComboBox*>(w->parentWidget())) continue;  // combo editors
            const bool named = !w->accessibleName().isEmpty() ||
                               (qobject_cast<QAbstractButton*>(w) && !qobject_cast<QAbstractButton*>(w)->text().isEmpty());
            EXPECT_TRUE(named) << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
        // Tab from the customer code reaches the name, the reading and the honorific.
        auto nextTab = [&](QWidget* w) {
            do w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(&d));
            return w;
        };
        QWidget* code = d.Controls().Control(1058);
        EXPECT_EQ(nextTab(code), d.Controls().Control(1059));
        EXPECT_EQ(nextTab(d.Controls().Control(1059)), d.Controls().Control(1060));
        EXPECT_EQ(nextTab(d.Controls().Control(1060)), d.Controls().Control(1065));
    }
}

TEST_F(KokyakuEntryDlg, CharacterOutsideShiftJisIsRefused) {
    CKokyakuEntryDlg d(EntryLayout::Normal, EntryMode::Add, nullptr, false, false, &host, NoLabels);
    Edit(d, 1059)->setText(QString::fromUtf8("髙橋𠮷"));
    d.Button(1)->click();
    ASSERT_EQ(ports.prompt.Texts().size(), 1u);
    EXPECT_NE(ports.prompt.Texts()[0].find("「𠮷」"), std::string::npos);
    EXPECT_TRUE(host.added.empty());
}

}  // namespace
