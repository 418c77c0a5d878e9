// The subject dialog and the customer screen's mail: the command and the
// card's mail-address links.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "app/CommandIds.h"
#include "app/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "common/SjisText.h"
#include "customers/Kokyaku.h"
#include "customers/MLVColSet.h"
#include "customers/ui/CardPane.h"
#include "customers/ui/KokyakuView.h"
#include "dm/ui/MailSubjectDlg.h"
#include "support/TestPorts.h"

namespace {

struct RecordingMail final : IMailInterface {
    std::vector<CMailMessage> sent;
    MailResult Send(const CMailMessage& m) override {
        sent.push_back(m);
        return MailResult::Accepted;
    }
};

class MailViewTest : public ::testing::Test {
protected:
    MailViewTest() {
        const std::string data = install.File("data");
        std::filesystem::create_directories(install.File("Data/MyData"));
        std::filesystem::create_directories(data);
        WriteBytes(install.File("Data/MyData/datadir.dat"), Utf8ToSjis(data));
        EXPECT_TRUE(CreateEmptyMilvaneDatabase(data + "/QSMLV.mlv"));
        CMLVColSet set(install.Path());
        set.columns = {{"CustomerID", "お客様コード"}, {"EMail2", "メール2"}};
        EXPECT_EQ(set.Save(), 1);
        CMLVDispKokyakuCol disp(install.Path());
        disp.names = {"CustomerID"};
        EXPECT_EQ(disp.Save(), 1);
        doc = std::make_unique<CMilvaneDoc>(install.Path());
        doc->DataDir = data;
        EXPECT_EQ(doc->Database().InitDB(data), 1);
        auto k = std::make_unique<CKokyaku>();
        k->CommonMail = 2;
        k->EMail2 = "hanako@example.jp";
        key = doc->AddKokyaku(k);
        Mail::Install(&mail);
        doc->CustomerScreenMode = SCREEN_KOKYAKU_DETAIL;
        frame = std::make_unique<CMainFrame>(*doc);
        view = new CKokyakuView(*doc, *frame, SCREEN_KOKYAKU_DETAIL, frame.get());
        view->resize(900, 500);
        view->OnInitialUpdate();
        view->runMailSubjectDialog = [this](const CMailSubjectRequest& r) {
            requests.push_back(r);
            return std::optional<CMailSubject>(CMailSubject{"新製品", true});
        };
    }
    ~MailViewTest() override {
        delete view;
        frame.reset();
        Mail::Install(nullptr);
    }

    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;
    int32_t key = 0;
    RecordingMail mail;
    std::unique_ptr<CMainFrame> frame;
    CKokyakuView* view = nullptr;
    std::vector<CMailSubjectRequest> requests;
};

}  // namespace

TEST(MailSubjectDlg, LongSubjectKeepsTheDialogOpen) {
    TestPorts ports;
    CMailSubjectDlg dlg({true, false});
    EXPECT_TRUE(dlg.HistoryCheck()->isChecked());
    EXPECT_FALSE(dlg.HistoryCheck()->isEnabled());
    EXPECT_TRUE(dlg.StartButton()->isDefault());
    EXPECT_EQ(dlg.SubjectEdit()->accessibleName(), QString::fromUtf8("件名"));
    dlg.show();
    dlg.SubjectEdit()->setText(QString(257, 'x'));
    dlg.StartButton()->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"件名が長すぎます。半角で256文字までにしてください。"});
    dlg.SubjectEdit()->setText(QString(256, 'x'));
    dlg.StartButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Result().subject, std::string(256, 'x'));
}

TEST_F(MailViewTest, MailCommandAndCardLinkReachTheMailProgram) {
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
    EXPECT_EQ(requests.size(), 2u);

    CRirekiList stored;
    ASSERT_EQ(doc->Database().GetRirekiForKokyaku(key, stored), 1);
    ASSERT_EQ(stored.size(), 2u);
    for (const auto& r : stored) EXPECT_EQ(r->ActionTitle + r->Action, "メール送信新製品");
}
