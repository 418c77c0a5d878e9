// Every built-in form filled with three customers, written as PDF and read
// back with the poppler tools: where the text really landed on the page.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cmath>

#include "history/RirekiData.h"
#include "printing/FormFixture.h"
#include "printing/FormPages.h"
#include "printing/ui/FormPreviewDlg.h"
#include "printing/ui/PagePainter.h"
#include "support/TestPorts.h"
#include "support/ui/UnnamedFocusables.h"

namespace {

constexpr double kMmPerPt = 25.4 / 72.0;

struct Word {
    int page;
    QString text;
    double x0, y0, x1, y1;  // mm
    double cx() const { return (x0 + x1) / 2; }
    double cy() const { return (y0 + y1) / 2; }
};

std::vector<Word> ReadWords(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<Word> words;
    int page = -1;
    static const QRegularExpression re(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = re.globalMatch(html); it.hasNext();) {
        auto m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        words.push_back({page, m.captured(5), m.captured(1).toDouble() * kMmPerPt, m.captured(2).toDouble() * kMmPerPt,
                         m.captured(3).toDouble() * kMmPerPt, m.captured(4).toDouble() * kMmPerPt});
    }
    return words;
}

const Word* Find(const std::vector<Word>& words, int page, const QString& text, double xMin = -1, double xMax = 1e9,
                 double yMin = -1, double yMax = 1e9) {
    for (const Word& w : words)
        if (w.page == page && w.text == text && w.cx() >= xMin && w.cx() <= xMax && w.cy() >= yMin && w.cy() <= yMax)
            return &w;
    return nullptr;
}

class PdfForms : public ::testing::Test {
protected:
    PdfForms() : customers(FixtureCustomers()) {}

    std::vector<Word> Write(int form, int expectedPages = -1) {
        const CFormLayout& layout = *FindBuiltInForm(form);
        std::vector<CRirekiRefs> histories(customers.size());
        for (auto& h : histories) h.push_back(&entry);
        pages = BuildFormPages(layout, Pointers(customers), &histories, fill);
        if (expectedPages >= 0) {
            EXPECT_EQ(static_cast<int>(pages.size()), expectedPages);
        }
        pdf = QString::fromStdString(dir.File("form" + std::to_string(form) + ".pdf"));
        EXPECT_TRUE(WritePagesPdf(pages, pdf, QString::fromStdString(layout.title)));
        return ReadWords(pdf);
    }

    // The pages rendered at one pixel per millimetre have the form's size.
    void ExpectRenderedSize(double width, double height) {
        QProcess p;
        const QString prefix = QString::fromStdString(dir.File("page"));
        p.start("pdftoppm", {"-r", "25.4", "-png", pdf, prefix});
        ASSERT_TRUE(p.waitForFinished(60000));
        for (size_t i = 1; i <= pages.size(); ++i) {
            QString name = QString("%1-%2.png").arg(prefix).arg(i, pages.size() >= 10 ? 2 : 1, 10, QChar('0'));
            QImage image(name);
            ASSERT_FALSE(image.isNull()) << name.toStdString();
            EXPECT_NEAR(image.width(), width, 1.0);
            EXPECT_NEAR(image.height(), height, 1.0);
            QFile::remove(name);
        }
    }

    TempDir dir;
    std::vector<std::unique_ptr<CKokyaku>> customers;
    CRirekiData entry{"ご来店、購入", "来店", 1, CDateTime::FromParts(2024, 5, 6), 1, "", 3200, "", "田中"};
    CFormFillData fill{{{"COM", "ミルバン商会"}, {"TATEADD", "東京都港区1-1"}, {"ZIPHIFN", "105-0001"}}, ""};
    std::vector<CPrintPage> pages;
    QString pdf;
};

}  // namespace

TEST_F(PdfForms, EachLabelsTextIsInItsCell) {
    for (int form : {1, 2}) {
        const CFormLayout& l = *FindBuiltInForm(form);
        auto words = Write(form, 1);
        for (int i = 0; i < 3; ++i) {
            double x = l.left + (i % l.columns) * l.pitchX, y = l.top + (i / l.columns) * l.pitchY;
            const CKokyaku& k = *customers[i];
            const QString name = QString::fromStdString(k.Name);
            const Word* w = Find(words, 0, name);
            ASSERT_NE(w, nullptr) << form << " " << i;
            EXPECT_GE(w->x0, x - 1);
            EXPECT_LE(w->x1, x + l.cellWidth + 1);
            EXPECT_GE(w->y0, y - 1);
            EXPECT_LE(w->y1, y + l.cellHeight + 1);
            EXPECT_NE(Find(words, 0, QString::fromStdString(k.Suffix), x, x + l.cellWidth, y, y + l.cellHeight),
                      nullptr);
        }
        ExpectRenderedSize(210, 297);
    }
}

TEST_F(PdfForms, AddressSidesPutDigitsInBoxesAndNamesInColumns) {
    struct Case {
        int form;
        double width, height;
    } cases[] = {{3, 100, 148}, {4, 120, 235}};
    for (const Case& c : cases) {
        auto words = Write(c.form, 3);
        auto boxes = PostalBoxes(c.width);
        const char* zips[3] = {"1234567", "5300001", "0600042"};
        for (int page = 0; page < 3; ++page) {
            for (int i = 0; i < 7; ++i) {
                const CMmRect& b = boxes[i];
                const Word* w = Find(words, page, QString(QChar(zips[page][i])), b.x, b.x + b.w, b.y, b.y + b.h);
                ASSERT_NE(w, nullptr) << c.form << " page " << page << " box " << i;
                EXPECT_GE(w->x0, b.x - 1);
                EXPECT_LE(w->x1, b.x + b.w + 1);
                EXPECT_GE(w->y0, b.y - 1);
                EXPECT_LE(w->y1, b.y + b.h + 1);
            }
            // The name: one column, top to bottom, the suffix last.
            const std::string& name = customers[page]->Name;
            std::vector<QString> glyphs;
            for (QChar ch : QString::fromStdString(name)) glyphs.push_back(QString(ch));
            glyphs.push_back(QString::fromStdString(customers[page]->Suffix));
            const Word* prev = nullptr;
            for (const QString& g : glyphs) {
                const Word* w = prev ? Find(words, page, g, prev->cx() - 3, prev->cx() + 3, prev->cy())
                                      : Find(words, page, g, c.width * 0.3, c.width * 0.7, 20);
                ASSERT_NE(w, nullptr) << c.form << " " << g.toStdString();
                if (prev) {
                    EXPECT_NEAR(w->cx(), prev->cx(), 1.0) << g.toStdString();
                    EXPECT_GT(w->y0, prev->y0);
                }
                prev = w;
            }
        }
        // Kanji numerals in the first customer's address column ("丸の内1-2-3").
        const Word* maru = Find(words, 0, "丸");
        ASSERT_NE(maru, nullptr);
        for (const char* numeral : {"一", "二", "三"}) {
            const Word* w = Find(words, 0, QString::fromUtf8(numeral), maru->x0 - 1, maru->x1 + 1, maru->y1);
            ASSERT_NE(w, nullptr) << numeral;
        }
        EXPECT_EQ(Find(words, 0, "1", maru->x0 - 1, maru->x1 + 1, maru->y1), nullptr);
        // The own company at the bottom left.
        EXPECT_NE(Find(words, 0, "ミ", 0, c.width / 3, c.height * 0.45), nullptr);
        ExpectRenderedSize(c.width, c.height);
    }
}

TEST_F(PdfForms, SheetsShowTheCustomerAndTheHistory) {
    auto words = Write(5, 3);
    EXPECT_NE(Find(words, 1, "株式会社サンプル"), nullptr);
    EXPECT_NE(Find(words, 2, "顧客台帳"), nullptr);
    ExpectRenderedSize(210, 297);
    words = Write(6, 3);
    for (int page = 0; page < 3; ++page) {
        const Word* date = Find(words, page, "2024/05/06");
        const Word* amount = Find(words, page, "3200");
        ASSERT_NE(date, nullptr);
        ASSERT_NE(amount, nullptr);
        EXPECT_NEAR(date->cy(), amount->cy(), 1.0);  // one row
        EXPECT_GT(date->y0, 36 + 7);                 // below the heading row
    }
    ExpectRenderedSize(210, 297);
}

TEST_F(PdfForms, CoverSheetsAndCardsAndThePreviewsPdfButton) {
    auto words = Write(7, 3);
    EXPECT_NE(Find(words, 1, "株式会社サンプル"), nullptr);
    EXPECT_NE(Find(words, 0, "ミルバン商会"), nullptr);
    ExpectRenderedSize(210, 297);
    words = Write(8, 1);
    int companies = 0;
    for (const Word& w : words) companies += w.text == "ミルバン商会";
    EXPECT_EQ(companies, 10);

    CFormPreviewDlg preview("名刺", pages);
    EXPECT_EQ(UnnamedFocusables(&preview), QStringList{});
    EXPECT_EQ(preview.Result(), 0);
    const QString saved = QString::fromStdString(dir.File("saved.pdf"));
    ASSERT_TRUE(preview.SavePdf(saved));
    EXPECT_EQ(preview.Result(), 1);
    EXPECT_EQ(ReadWords(saved).size(), words.size());
}
