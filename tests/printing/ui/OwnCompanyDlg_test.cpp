// The own-company and amount dialogs: numeric edits, the postal-code hop and
// the files written on OK.
#include <QLineEdit>
#include <QRadioButton>
#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <filesystem>

#include "common/SjisText.h"
#include "printing/OwnCompany.h"
#include "printing/ui/OwnCompanyDlg.h"
#include "support/TestPorts.h"

namespace {
void Type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}
}  // namespace

TEST(OwnCompanyDlg, NumericEditsAndThePostalCodeHop) {
    TestPorts ports;
    TempDir install;
    std::filesystem::create_directories(install.File("Data/MyData"));
    COwnCompanyDlg dialog(install.Path());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.ZipEdit(0)->setFocus();
    Type(dialog.ZipEdit(0), "12x");
    EXPECT_EQ(dialog.ZipEdit(0)->text(), "12");
    Type(dialog.ZipEdit(0), "3");
    EXPECT_TRUE(dialog.ZipEdit(1)->hasFocus());
    Type(dialog.ZipEdit(1), "4567");
    dialog.TelEdit(0)->setText("03a");
    EXPECT_EQ(dialog.TelEdit(0)->text(), "03");
    EXPECT_EQ(dialog.TelEdit(0)->cursorPosition(), 2);
    dialog.TelEdit(2)->setText("5678");
    EXPECT_EQ(dialog.ZipEdit(0)->accessibleName(), "郵便番号：1");
    dialog.accept();
    EXPECT_EQ(ReadAutValue(install.Path(), "ZIPHIFN"), "123-4567");
    EXPECT_EQ(ReadAutValue(install.Path(), "TEL"), "03--5678");
    EXPECT_EQ(ReadAutValue(install.Path(), "TATEZIP"), "一二三-四五六七");
}

TEST(OwnCompanyDlg, AmountDialogReadsAndWrites) {
    TestPorts ports;
    TempDir install;
    WriteAutValue(install.Path(), "SHOUHI", "U");  // the folder is missing: skipped
    std::filesystem::create_directories(install.File("Data/Other"));
    WriteAutValue(install.Path(), "SHOUHI", "U");
    CAmountDlg dialog(install.Path());
    EXPECT_TRUE(dialog.Rounding(2)->isChecked());
    EXPECT_EQ(dialog.RateEdit()->text(), "5");
    dialog.Rounding(1)->setChecked(true);
    dialog.RateEdit()->setText("８");
    dialog.accept();
    EXPECT_EQ(ReadAutValue(install.Path(), "SHOUHI"), "F");
    EXPECT_EQ(ReadAutValue(install.Path(), "TAX"), "8");
}
