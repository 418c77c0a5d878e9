// The customer entry dialog through its widgets: what the controls show and
// store, focus after a refusal, sub-dialogs, the input-method reading and
// keyboard access. The entry rules themselves are tested on the core logic.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
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
QRadioButton* Radio(CKokyakuEntryDlg& d, int id) { return qobject_cast<QRadioButton*>(d.Controls().Button(id)); }
QString U(const char* s) { return QString::fromUtf8(s); }

CEntryRecord Person(int32_t id, const std::string& name, int entryType = -1) {
    CEntryRecord r = CEntryRecord::Blank();
    r.id = id;
    r.SetText("Name", name);
    r.SetText("Suffix", "様");
    if (entryType >= 0) r.SetInt("EntryType", entryType);
    return r;
}

struct KokyakuEntryDlg : ::testing::Test {
    std::unique_ptr<CKokyakuEntryDlg> Open(EntryLayout layout, EntryMode mode = EntryMode::Add,
                                           const CEntryRecord* rec = nullptr, bool hasPrev = false,
                                           bool hasNext = false) {
        return std::make_unique<CKokyakuEntryDlg>(layout, mode, rec, hasPrev, hasNext, &host, NoLabels);
    }
    // Presses the add/change button and answers Yes to its question.
    void Save(CKokyakuEntryDlg& d) {
        ports.prompt.QueueAnswer(Answer::Yes);
        d.Button(1)->click();
    }
    TestPorts ports;
    Host host;
};

// A refused field takes the focus and nothing is stored; an empty birthday is unset.
TEST_F(KokyakuEntryDlg, RefusedFieldsTakeTheFocus) {
    CEntryRecord rec = Person(3, "田中", 1);
    rec.SetDate("BirthDay", CDateTime::FromParts(1980, 1, 2));
    auto d = Open(EntryLayout::Individual, EntryMode::Change, &rec);
    d->show();
    QLineEdit *name = Edit(*d, 1059), *birthday = Edit(*d, 1110);
    EXPECT_EQ(birthday->text(), QStringLiteral("1980/01/02"));
    name->setText(QString(25, QChar(0x9234)) + "a");  // 25 x "鈴" + "a" = 51 bytes: the field keeps 50
    EXPECT_EQ(name->text(), QString(25, QChar(0x9234)));
    birthday->setText("1980/13/02");
    d->Button(1)->setFocus();
    d->Button(1)->click();
    EXPECT_EQ(d->focusWidget(), birthday);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"日付の設定が正しくありません。"});
    EXPECT_TRUE(host.modified.empty());

    birthday->setText("");
    Save(*d);
    ASSERT_EQ(host.modified.size(), 1u);
    EXPECT_FALSE(host.modified[0].Date("BirthDay").IsValid());
}

TEST_F(KokyakuEntryDlg, CorporateCompanyWithoutNameGetsOnchu) {
    auto d = Open(EntryLayout::Corporate);
    Edit(*d, 1078)->setText(U("山田商事"));
    ports.prompt.QueueAnswer(Answer::Cancel);
    d->Button(1)->click();
    EXPECT_TRUE(host.added.empty());
    EXPECT_EQ(Edit(*d, 1078)->text(), U("山田商事"));

    ports.prompt.QueueAnswer(Answer::Yes);  // 御中
    Save(*d);
    ASSERT_EQ(host.added.size(), 1u);
    EXPECT_EQ(host.added[0].Text("Suffix"), "御中");
    // Stays open and cleared for the next customer.
    EXPECT_EQ(Edit(*d, 1078)->text(), QString());
    EXPECT_EQ(Combo(*d, 1065)->currentText(), U("様"));
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
}

TEST_F(KokyakuEntryDlg, ClosingUntouchedAddDialogClosesWithoutQuestion) {
    auto d = Open(EntryLayout::Normal);
    EXPECT_TRUE(d->Button(1356)->isHidden());  // no navigation when adding
    EXPECT_FALSE(d->Button(1295)->isEnabled());             // pictures: not built
    EXPECT_TRUE(d->Controls().Button(1329)->isEnabled());   // postal lookup
    EXPECT_EQ(Edit(*d, 1095)->text(), QStringLiteral("http://"));
    d->show();
    d->Button(1389)->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_FALSE(d->isVisible());

    // Escape closes without a question even after typing.
    auto typed = Open(EntryLayout::Normal);
    typed->show();
    Edit(*typed, 1059)->setText(U("入力途中"));
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(typed.get(), &esc);
    EXPECT_EQ(typed->result(), QDialog::Rejected);
    EXPECT_FALSE(typed->isVisible());
    EXPECT_TRUE(ports.prompt.Log().empty());
    EXPECT_TRUE(host.added.empty());
}

TEST_F(KokyakuEntryDlg, ViewOnlyButtonDisabledButNavigationMoves) {
    host.next = {{Person(2, "次の顧客"), false}};
    CEntryRecord rec = Person(1, "最初の顧客");
    auto d = Open(EntryLayout::Normal, EntryMode::View, &rec, false, true);
    EXPECT_EQ(d->windowTitle(), U("顧客を参照(修正することはできません)－通常タイプ"));
    EXPECT_FALSE(d->Button(1)->isEnabled());
    EXPECT_TRUE(Edit(*d, 1059)->isReadOnly());
    EXPECT_EQ(Edit(*d, 1095)->text(), QString());  // no "http://" when only shown
    d->Button(1357)->click();
    EXPECT_EQ(Edit(*d, 1059)->text(), U("次の顧客"));
    EXPECT_TRUE(d->Button(1356)->isEnabled());
    EXPECT_FALSE(d->Button(1357)->isEnabled());
    EXPECT_TRUE(ports.prompt.Log().empty());

    // Sub-dialogs only show: OK refused, the record untouched.
    int runs = 0;
    d->runSubDialog = [&](CKokyakuSubDlg& sub) {
        ++runs;
        EXPECT_FALSE(sub.OkButton()->isEnabled());
        EXPECT_TRUE(sub.windowTitle().endsWith(U("を参照(修正することはできません)")));
        sub.OnOk();
        return sub.result() == QDialog::Accepted;
    };
    d->Button(1325)->click();
    d->Button(1326)->click();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(d->Logic().Working().Text("Name"), "次の顧客");
}

// The home information of a corporate customer taking the standard mail clears
// the company buttons of the page and stores 2.
TEST_F(KokyakuEntryDlg, CorporateHomeInformationTakesTheStandardMail) {
    CEntryRecord rec = Person(5, "", 0);
    rec.SetText("CompName", "会社");
    rec.SetText("Suffix", "御中");
    rec.SetInt("CommonMail", 5);
    auto d = Open(EntryLayout::Corporate, EntryMode::Change, &rec);
    ASSERT_TRUE(Radio(*d, 1189)->isChecked());
    bool ran = false;
    d->runSubDialog = [&](CKokyakuSubDlg& sub) {
        ran = true;
        EXPECT_EQ(sub.windowTitle(), U("自宅情報の登録"));
        EXPECT_EQ(sub.Controls().MailChoice(), 0);  // a company address is the standard one
        qobject_cast<QLineEdit*>(sub.Controls().Control(1091))->setText("two@example.jp");
        qobject_cast<QRadioButton*>(sub.Controls().Button(1186))->click();
        sub.OnOk();
        return sub.result() == QDialog::Accepted;
    };
    d->Button(1362)->click();
    ASSERT_TRUE(ran);
    EXPECT_EQ(d->Controls().MailChoice(), 0);
    EXPECT_FALSE(Radio(*d, 1188)->isChecked() || Radio(*d, 1189)->isChecked());
    Save(*d);
    ASSERT_EQ(host.modified.size(), 1u);
    EXPECT_EQ(host.modified[0].Int("CommonMail"), 2);
    EXPECT_EQ(host.modified[0].Text("EMail2"), "two@example.jp");
}

TEST_F(KokyakuEntryDlg, NotesCarryNote1BetweenPageAndSubDialog) {
    auto d = Open(EntryLayout::Normal);
    Edit(*d, 1328)->setText(U("ページの備考"));
    d->runSubDialog = [&](CKokyakuSubDlg& sub) {
        auto* n1 = qobject_cast<QLineEdit*>(sub.Controls().Control(EntryCtl::Note1));
        EXPECT_EQ(n1->text(), U("ページの備考"));
        n1->setText(U("書き換え"));
        qobject_cast<QLineEdit*>(sub.Controls().Control(EntryCtl::Note2 + 8))->setText("10");
        sub.OnOk();
        return sub.result() == QDialog::Accepted;
    };
    d->Button(1325)->click();
    EXPECT_EQ(Edit(*d, 1328)->text(), U("書き換え"));
    EXPECT_EQ(d->Logic().Working().Text("Note10"), "10");
}

TEST_F(KokyakuEntryDlg, OpensUrlsWithTheDesktopHandler) {
    auto d = Open(EntryLayout::Normal);
    QStringList opened;
    d->openUrl = [&](const QString& u) { opened << u; };
    d->Controls().Button(1381)->click();  // "http://" alone opens nothing
    Edit(*d, 1096)->setText("http://example.jp/");
    d->Controls().Button(1384)->click();
    EXPECT_EQ(opened, QStringList{"http://example.jp/"});
}

TEST_F(KokyakuEntryDlg, ReadingFromTheInputMethod) {
    auto d = Open(EntryLayout::Normal);
    QLineEdit *name = Edit(*d, 1059), *reading = Edit(*d, 1060), *company = Edit(*d, 1078);
    // Each step: the composing text, or the committed text when it starts with '='.
    auto send = [](QLineEdit* w, std::initializer_list<const char*> steps) {
        for (const char* s : steps) {
            const bool commit = s[0] == '=';
            QInputMethodEvent e(commit ? QString() : U(s), {});
            if (commit) e.setCommitString(U(s + 1));
            QApplication::sendEvent(w, &e);
        }
    };
    send(name, {"やま", "やまだ", "山田", "=山田"});
    EXPECT_EQ(name->text(), U("山田"));
    EXPECT_EQ(reading->text(), U("ﾔﾏﾀﾞ"));
    send(name, {"はなこ", "=花子"});  // a second clause appends
    EXPECT_EQ(reading->text(), U("ﾔﾏﾀﾞﾊﾅｺ"));
    send(company, {"がっこう", "=学校"});  // the company name feeds the company reading
    EXPECT_EQ(Edit(*d, 1079)->text(), U("ｶﾞｯｺｳ"));
    send(reading, {"じろう", "=じろう"});  // typed into the reading: half-width kana
    EXPECT_EQ(reading->text(), U("ﾔﾏﾀﾞﾊﾅｺｼﾞﾛｳ"));
    reading->setText(U("ﾔﾏﾀﾞﾊﾅｺ"));
    send(name, {"あ", "=", "=x"});  // a cancelled composition leaves nothing behind
    EXPECT_EQ(reading->text(), U("ﾔﾏﾀﾞﾊﾅｺ"));
}

TEST_F(KokyakuEntryDlg, EveryControlHasANameAndTabOrderFollowsTheBlocks) {
    for (EntryLayout layout : {EntryLayout::Normal, EntryLayout::Individual, EntryLayout::Corporate}) {
        auto d = Open(layout, EntryMode::Change, nullptr, true, true);
        for (QWidget* w : d->findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(d.get()) || qobject_cast<QLabel*>(w)) continue;
            if (w->parentWidget() && qobject_cast<QComboBox*>(w->parentWidget())) continue;  // combo editors
            auto* button = qobject_cast<QAbstractButton*>(w);
            EXPECT_TRUE(!w->accessibleName().isEmpty() || (button && !button->text().isEmpty()))
                << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
        // Tab from the customer code reaches the name, the reading and the honorific.
        auto nextTab = [&](QWidget* w) {
            do w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(d.get()));
            return w;
        };
        const int order[] = {1058, 1059, 1060, 1065};
        for (int i = 0; i + 1 < 4; ++i)
            EXPECT_EQ(nextTab(d->Controls().Control(order[i])), d->Controls().Control(order[i + 1]));
    }
}

}  // namespace
