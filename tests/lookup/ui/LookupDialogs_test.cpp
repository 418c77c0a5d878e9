// The lookup buttons of the entry dialogs through their widgets, the
// selection dialog by keyboard, and the postal lookup on the dictionaries the
// build installed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "customers/ui/KokyakuEntryDlg.h"
#include "customers/ui/KokyakuSubDlg.h"
#include "common/Folders.h"
#include "lookup/Dictionaries.h"
#include "lookup/LookupFixture.h"
#include "lookup/ui/AddressSelectDlg.h"

namespace {

struct NoHost : IKokyakuEntryHost {
    int32_t AddCustomer(const CEntryRecord&) override { return -1; }
    int ModifyCustomer(int32_t, CEntryRecord&) override { return -1; }
    std::optional<NeighbourCustomer> NextCustomer() override { return std::nullopt; }
    std::optional<NeighbourCustomer> PrevCustomer() override { return std::nullopt; }
};

std::string NoLabels(const std::string&) { return {}; }
QString U(const char* s) { return QString::fromUtf8(s); }

QString Text(CEntryControls& c, int id) {
    QWidget* w = c.Control(id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* b = qobject_cast<QComboBox*>(w)) return b->currentText();
    return {};
}
void Type(CEntryControls& c, int id, const char* text) { qobject_cast<QLineEdit*>(c.Control(id))->setText(U(text)); }

struct LookupDialogs : ::testing::Test {
    TestPorts ports;
    PostalFixture postal;
    CLookupDictionaries dicts;
    NoHost host;

    LookupDialogs() {
        dicts.mediaRoots = {};
        UseDictionaries(postal.yubin, postal.hojin);
    }
    ~LookupDialogs() override { Lookup::SetCurrent(nullptr); }
    void UseDictionaries(const std::string& yubin, const std::string& hojin) {
        dicts.Close();
        ports.profile.strings[{QSTel::kSection, QSTel::kYubinPath}] = yubin;
        ports.profile.strings[{QSTel::kSection, QSTel::kHojinPath}] = hojin;
        dicts.OpenDictionaries(false);
        Lookup::SetCurrent(&dicts);
    }
    std::unique_ptr<CKokyakuEntryDlg> Open(EntryMode mode = EntryMode::Add) {
        return std::make_unique<CKokyakuEntryDlg>(EntryLayout::Normal, mode, nullptr, false, false, &host, NoLabels);
    }
};

TEST_F(LookupDialogs, PostalButtonFillsTheHomeBlockAndFocusesTheStreet) {
    auto d = Open();
    d->show();
    QApplication::setActiveWindow(d.get());
    Type(d->Controls(), 1070, "100-0001");
    d->Controls().Button(1329)->click();
    EXPECT_EQ(Text(d->Controls(), 1071), U("東京都"));
    EXPECT_EQ(Text(d->Controls(), 1072), U("千代田区"));
    EXPECT_EQ(Text(d->Controls(), 1073), U("千代田"));
    EXPECT_EQ(QApplication::focusWidget(), d->Controls().Control(1073));

    // Several hits go through the selection dialog; the company block is its own.
    std::size_t offered = 0;
    d->chooseAddress = [&](const std::vector<std::string>&, const std::vector<std::vector<std::string>>& rows) {
        offered = rows.size();
        return std::optional<std::size_t>(1);
    };
    Type(d->Controls(), 1084, "4520961");
    d->Controls().Button(1331)->click();
    EXPECT_EQ(offered, 4u);
    EXPECT_EQ(Text(d->Controls(), 1087), U("春日一番割"));
    EXPECT_EQ(Text(d->Controls(), 1073), U("千代田"));
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST_F(LookupDialogs, ViewOnlyDialogsHaveNoLookupAndSubDialogsLookUpTheirBlock) {
    auto view = Open(EntryMode::View);
    for (int id : {1329, 1330, 1331, 1332}) EXPECT_FALSE(view->Controls().Button(id)->isEnabled()) << id;

    CKokyakuSubDlg sub(SubDialogKind::CompanyInfo, CEntryRecord::Blank(), false, NoLabels);
    Type(sub.Controls(), 1084, "001-8501");
    sub.Controls().Button(1331)->click();
    EXPECT_EQ(Text(sub.Controls(), 1085), U("北海道"));
    EXPECT_EQ(Text(sub.Controls(), 1087), U("北二十九条西２丁目１番１号"));

    CKokyakuSubDlg home(SubDialogKind::HomeInfo, CEntryRecord::Blank(), false, NoLabels);
    Type(home.Controls(), 1074, "03-1");
    home.Controls().Button(1330)->click();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"電話帳データの取得に失敗しています。\n検索できません。\n"});
}

TEST_F(LookupDialogs, SelectionDialogWorksByKeyboard) {
    CAddressSelectDlg dlg({"郵便番号", "町域"}, {{"452-0961", "春日明河原"}, {"452-0961", "春日一番割"}});
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    EXPECT_FALSE(dlg.List()->accessibleName().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), dlg.List());
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(dlg.List(), &down);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dlg.List(), &enter);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Chosen(), std::optional<std::size_t>(1));
}

// The dictionaries of the installation template, when this build made them.
TEST_F(LookupDialogs, InstalledDictionariesFindChiyoda) {
    const std::string dic = QCoreApplication::applicationDirPath().toStdString() + "/../share/milvane/template/Dic";
    if (!FileExists(dic + "/Yubin/" + kYubinFileName)) GTEST_SKIP() << "no postal dictionaries were built";
    UseDictionaries(dic + "/Yubin", dic + "/Hojin");
    ASSERT_TRUE(dicts.Postal().IsOpen());
    auto d = Open();
    Type(d->Controls(), 1070, "100-0001");
    d->Controls().Button(1329)->click();
    EXPECT_EQ(Text(d->Controls(), 1071), U("東京都"));
    EXPECT_EQ(Text(d->Controls(), 1072), U("千代田区"));
    EXPECT_EQ(Text(d->Controls(), 1073), U("千代田"));
    EXPECT_EQ(dicts.Postal().Prefectures().size(), 47u);
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

}  // namespace
