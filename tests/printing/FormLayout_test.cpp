// The layout format, the built-in forms and the postal boxes.
#include <gtest/gtest.h>

#include "printing/FormLayout.h"

TEST(FormLayout, BuiltInFormsParseAndRoundTrip) {
    const auto& forms = BuiltInForms();
    ASSERT_EQ(forms.size(), 8u);
    for (const CFormLayout& f : forms) {
        CFormLayout again;
        std::string error;
        ASSERT_TRUE(ParseFormLayout(FormLayoutXml(f), again, &error)) << f.title << ": " << error;
        EXPECT_EQ(again.number, f.number);
        EXPECT_EQ(again.title, f.title);
        EXPECT_EQ(again.items.size(), f.items.size());
        EXPECT_EQ(again.CellsPerPage(), f.CellsPerPage());
        EXPECT_DOUBLE_EQ(again.pageHeight, f.pageHeight);
        for (size_t i = 0; i < f.items.size(); ++i) {
            EXPECT_EQ(again.items[i].kind, f.items[i].kind);
            EXPECT_EQ(again.items[i].text, f.items[i].text);
            EXPECT_EQ(again.items[i].vertical, f.items[i].vertical);
            EXPECT_EQ(again.items[i].columns.size(), f.items[i].columns.size());
        }
    }
    EXPECT_EQ(FindBuiltInForm(6)->formType, 4);
    EXPECT_EQ(FindBuiltInForm(2)->CellsPerPage(), 24);
    EXPECT_EQ(FindBuiltInForm(99), nullptr);
}

TEST(FormLayout, LabelGridsFitTheirSheet) {
    for (int n : {1, 2, 8}) {
        const CFormLayout* f = FindBuiltInForm(n);
        EXPECT_LE(f->left + (f->columns - 1) * f->pitchX + f->cellWidth, f->pageWidth + 1e-9) << n;
        EXPECT_LE(f->top + (f->rows - 1) * f->pitchY + f->cellHeight, f->pageHeight + 1e-9) << n;
    }
}

TEST(FormLayout, RejectsWhatIsNotAForm) {
    const char* bad[] = {
        "<notaform/>",
        "<form><page width=\"0\" height=\"10\"/></form>",
        "<form><labels columns=\"0\" rows=\"2\" width=\"10\" height=\"10\"/></form>",
        "<form><history x=\"1\" y=\"1\"/></form>",
        "<form",
    };
    for (const char* xml : bad) {
        CFormLayout layout;
        layout.number = 77;
        EXPECT_FALSE(ParseFormLayout(xml, layout)) << xml;
        EXPECT_EQ(layout.number, 77) << xml;
    }
}

TEST(FormLayout, PostalBoxesOfAPostcard) {
    auto boxes = PostalBoxes(100.0);
    const double expectedLeft[7] = {44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3};
    for (int i = 0; i < 7; ++i) {
        EXPECT_NEAR(boxes[i].x, expectedLeft[i], 1e-9) << i;
        EXPECT_DOUBLE_EQ(boxes[i].y, 12.0);
        EXPECT_DOUBLE_EQ(boxes[i].w, 5.7);
        EXPECT_DOUBLE_EQ(boxes[i].h, 8.0);
    }
    EXPECT_NEAR(boxes[6].x + boxes[6].w, 92.0, 1e-9);  // 8 mm from the right edge
}
