// A document on a fresh database in a temporary data folder, with customers
// and DM titles made directly through the database.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/Kokyaku.h"
#include "dm/DMViewLogic.h"
#include "support/TestInstall.h"
#include "support/TestPorts.h"

// The screen's widgets and dialogs, answered by the test.
struct FakeDMScreen final : IDMScreen {
    void SetFrameTitle(const std::string& t) override { title = t; }
    void Redraw() override { ++redraws; }
    bool EditTitle(CDMTitleForm& form) override {
        forms.push_back(form);
        if (!editForm) return false;
        editForm(form);
        return true;
    }
    bool ChooseCustomers(std::vector<CDMMngData>& chosen) override {
        ++chooserRuns;
        chosen = choose;
        return chooseOk;
    }
    bool CanAnalyseHitRate() const override { return true; }
    bool AnalyseHitRate() override { return analyse ? analyse() : false; }

    std::string title;
    int redraws = 0, chooserRuns = 0;
    std::function<void(CDMTitleForm&)> editForm;  // none: the dialog is cancelled
    std::vector<CDMTitleForm> forms;
    std::vector<CDMMngData> choose;
    bool chooseOk = true;
    std::function<bool()> analyse;
};

class DMTest : public ::testing::Test {
protected:
    DMTest() : dataDir(MakeInstallation(install)), doc(OpenDocument(install, true)) {}

    // Adds customers C1..Cn; returns their keys in that order.
    std::vector<uint32_t> AddCustomers(int n) {
        std::vector<uint32_t> keys;
        for (int i = 1; i <= n; ++i) {
            auto k = std::make_unique<CKokyaku>();
            k->CustomerID = "C" + std::to_string(i);
            k->Name = "顧客" + std::to_string(i);
            k->CompName = "会社" + std::to_string(i);
            int32_t key = doc->AddKokyaku(k);
            EXPECT_GT(key, 0);
            keys.push_back(static_cast<uint32_t>(key));
        }
        return keys;
    }
    // A title with targets, sent with history when asked.
    int32_t AddTitle(const std::string& title, const std::vector<uint32_t>& targets, int sendState = 0,
                     int history = 0, CDateTime date = CDateTime::FromParts(2026, 5, 1, 10, 0, 0)) {
        std::vector<uint32_t> failed;
        auto rec = doc->Database().AddNewDMTitle(date, title, "年賀", "山田", 0, targets, failed);
        EXPECT_TRUE(rec);
        if (!rec) return -1;
        if (sendState) {
            EXPECT_EQ(doc->Database().SetStatusDMTitle(rec->ID, sendState, history, 0, CDateTime::Now()), 1);
        }
        return rec->ID;
    }
    int HistoryCount(uint32_t customer) {
        CRirekiList list;
        doc->Database().GetRirekiForKokyaku(static_cast<int32_t>(customer), list);
        return static_cast<int>(list.size());
    }
    CDMListData StoredTitle(int32_t key) {
        CDMList list;
        doc->Database().GetAllDMTitle(list);
        for (auto& t : list)
            if (t->ID == key) return *t;
        return {};
    }

    TestPorts ports;
    TempDir install;
    std::string dataDir;
    std::unique_ptr<CMilvaneDoc> doc;
};
