// The subject dialog and the customer screen's mail: the command and the
// card's mail-address links.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/CommandIds.h"
#include "app/ui/MainFrame.h"
#include "root/Wiring.h"
#include "customers/MLVColSet.h"
#include "customers/ui/CardPane.h"
#include "customers/ui/KokyakuView.h"
#include "dm/DMFixture.h"
#include "dm/MailTestSupport.h"
#include "dm/ui/DMListView.h"
#include "dm/ui/MailSubjectDlg.h"

TEST(MailSubjectDlg, SubjectKeptWithin256Bytes) {
    TestPorts ports;
    CMailSubjectDlg dlg({true, false});
    EXPECT_FALSE(dlg.HistoryCheck()->isEnabled());
    dlg.show();
    const QString kanji128(128, QChar(0x4EF6));  // 256 Shift-JIS bytes
    dlg.SubjectEdit()->setText(kanji128 + "x");
    EXPECT_EQ(dlg.SubjectEdit()->text(), kanji128);
    dlg.StartButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST_F(MailTest, MailCommandAndCardLinkReachTheMailProgram) {
    SaveColumns(install, {{"CustomerID", "お客様コード"}, {"EMail2", "メール2"}}, {"CustomerID"});
    const uint32_t key = Customer(2, "hanako@example.jp");
    Mail::Install(&mail);
    doc->CustomerScreenMode = SCREEN_KOKYAKU_DETAIL;
    CMainFrame frame(*doc);
    auto* view = new CKokyakuView(*doc, frame, SCREEN_KOKYAKU_DETAIL, &frame);
    view->resize(900, 500);
    view->OnInitialUpdate();
    view->runMailSubjectDialog = askSubject;

    CCommandState state;
    ASSERT_TRUE(view->UpdateCommand(ID_MAIL_SEND, state));
    EXPECT_TRUE(state.enabled);
    ports.prompt.QueueAnswer(Answer::Yes);
    view->OnCommand(ID_MAIL_SEND);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"1件の顧客にメールを送ります。よろしいですか？"});

    QLabel* link = view->Card()->DetailValue("EMail2");
    ASSERT_TRUE(link);
    EXPECT_TRUE(link->text().contains(QStringLiteral("href")));
    emit link->linkActivated(QStringLiteral("hanako@example.jp"));
    QApplication::processEvents();
    ASSERT_EQ(mail.sent.size(), 2u);
    for (const auto& m : mail.sent) EXPECT_EQ(m.recipients.at(0).name, "hanako@example.jp");
    EXPECT_EQ(HistoryTitles(key), (std::vector<std::string>(2, "メール送信/ご案内")));
    delete view;
    Mail::Install(nullptr);
}

TEST_F(DMTest, DmScreenMailMarksTheTitleSentByMail) {
    const auto keys = AddCustomers(2);
    for (auto& k : doc->KokyakuList) {
        CKokyaku changed = *k->Record();
        changed.CommonMail = 1;
        changed.EMail1 = changed.CustomerID + "@example.jp";
        ASSERT_EQ(doc->Database().ModifyKokyaku(k->ID, changed), 1);
    }
    AddTitle("案内", keys);
    RecordingMail mail;
    Mail::Install(&mail);
    CMainFrame frame(*doc, BuiltScreens());
    frame.SetCloseHandler([] {});
    ASSERT_TRUE(frame.CreateFirstScreen());
    frame.SwitchView(SCREEN_DM);
    auto* view = qobject_cast<CDMListView*>(frame.ActiveView());
    ASSERT_TRUE(view);
    view->runMailSubjectDialog = [](const CMailSubjectRequest& r) {
        return std::optional<CMailSubject>(CMailSubject{"新年", r.registerHistory});
    };
    view->Logic().SelectTitles({0});
    ports.prompt.QueueAnswer(Answer::Yes);  // the send date is not today
    frame.OnCommand(ID_MAIL_SEND);
    ASSERT_EQ(mail.sent.size(), 1u);
    EXPECT_EQ(mail.sent[0].recipients.size(), 2u);
    const CDMListData* dm = view->Logic().Rows().at(0);
    EXPECT_EQ(dm->SendState, 1);
    EXPECT_EQ(dm->SendMethod, 1);
    CRirekiList history;
    ASSERT_EQ(doc->Database().GetRirekiForKokyaku(static_cast<int32_t>(keys[0]), history), 1);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0]->ActionTitle, kDMHistoryTitleMail);
    Mail::Install(nullptr);
}
