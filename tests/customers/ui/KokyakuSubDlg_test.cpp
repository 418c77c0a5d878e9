#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "customers/ui/KokyakuSubDlg.h"
#include "support/TestPorts.h"

namespace {

std::string NoLabels(const std::string&) { return {}; }

TEST(KokyakuSubDlg, LimitKeptAndClosingDayStored) {
    TestPorts ports;
    CEntryRecord r = CEntryRecord::Blank();
    r.SetInt("ClosingDay", 15);
    CKokyakuSubDlg d(SubDialogKind::CompanyDetails, r, false, NoLabels);
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("会社詳細情報"));
    d.show();
    auto* rep = qobject_cast<QLineEdit*>(d.Controls().Control(1082));
    rep->setText(QString(51, 'x'));
    EXPECT_EQ(rep->text(), QString(50, 'x'));  // the field keeps its 50 bytes

    rep->setText("代表");
    auto* day = qobject_cast<QComboBox*>(d.Controls().Control(1184));
    day->setCurrentIndex(day->findText(QString::fromUtf8("99(末)")));
    d.OkButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Record().Text("Represent"), "代表");
    EXPECT_EQ(d.Record().Int("ClosingDay"), 99);
}

TEST(KokyakuSubDlg, CompanyInformationKeepsUnlistedTypeAndStoresUrlEmpty) {
    CEntryRecord r = CEntryRecord::Blank();
    r.SetText("CompType", "水産業");
    r.SetInt("TaxMethod", 2);
    r.SetInt("ClosingDay", 99);
    CKokyakuSubDlg d(SubDialogKind::CompanyInfo, r, false, NoLabels);
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("会社情報の登録"));
    EXPECT_EQ(qobject_cast<QComboBox*>(d.Controls().Control(1231))->currentText(), QString::fromUtf8("水産業"));
    EXPECT_EQ(qobject_cast<QComboBox*>(d.Controls().Control(1098))->currentText(), QString::fromUtf8("内税"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(d.Controls().Control(1096))->text(), QStringLiteral("http://"));
    EXPECT_EQ(qobject_cast<QComboBox*>(d.Controls().Control(1184))->currentText(), QString::fromUtf8("99(末)"));
    d.OnOk();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Record().Text("URL2"), "");
    EXPECT_EQ(d.Record().Text("CompType"), "水産業");
    EXPECT_EQ(d.Record().Int("TaxMethod"), 2);
    EXPECT_EQ(d.Record().Int("ClosingDay"), 99);
}

}  // namespace
