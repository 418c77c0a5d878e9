// A recording mail interface, a scripted subject dialog and a document with
// customers on a real database, for the mail tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/Kokyaku.h"
#include "dm/MailFlows.h"
#include "support/TestInstall.h"
#include "support/TestPorts.h"

struct RecordingMail final : IMailInterface {
    std::vector<CMailMessage> sent;
    MailResult answer = MailResult::Accepted;
    MailResult Send(const CMailMessage& m) override {
        sent.push_back(m);
        return answer;
    }
};

class MailTest : public ::testing::Test {
protected:
    MailTest() : doc((MakeInstallation(install), OpenDocument(install, true))) {
        askSubject = [this](const CMailSubjectRequest& r) -> std::optional<CMailSubject> {
            requests.push_back(r);
            if (!subject) return std::nullopt;
            return CMailSubject{*subject, r.registerHistory};
        };
    }

    // A stored customer whose address EMail<commonMail> is mail; its key.
    uint32_t Customer(int commonMail, const std::string& mail) {
        auto k = std::make_unique<CKokyaku>();
        k->CommonMail = commonMail;
        k->EMail1 = commonMail == 0 ? "first@example.jp" : "";
        std::string* mails[] = {&k->EMail1, &k->EMail2, &k->EMail3, &k->EMail4, &k->EMail5};
        if (commonMail >= 1 && commonMail <= 5) *mails[commonMail - 1] = mail;
        const int32_t key = doc->AddKokyaku(k);
        EXPECT_GT(key, 0);
        return static_cast<uint32_t>(key);
    }

    std::vector<std::string> HistoryTitles(uint32_t key) {
        CRirekiList list;
        doc->Database().GetRirekiForKokyaku(static_cast<int32_t>(key), list);
        std::vector<std::string> out;
        for (const auto& r : list) out.push_back(r->ActionTitle + "/" + r->Action);
        return out;
    }

    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;
    RecordingMail mail;
    std::optional<std::string> subject = "ご案内";  // nullopt: the dialog is cancelled
    std::vector<CMailSubjectRequest> requests;
    MailSubjectRunner askSubject;
};
