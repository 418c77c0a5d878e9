// The print preview: the keyboard reaches only named controls.
#include <gtest/gtest.h>

#include "printing/PrintPage.h"
#include "printing/ui/FormPreviewDlg.h"
#include "support/TestPorts.h"
#include "support/ui/UnnamedFocusables.h"

TEST(FormPreview, EveryFocusableControlIsNamed) {
    TestPorts ports;
    CFormPreviewDlg preview("宛名ラベル", std::vector<CPrintPage>(1));
    const QStringList unnamed = UnnamedFocusables(&preview);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
}
