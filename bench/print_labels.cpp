// 1,000 customers on A4 3×8 address labels to PDF (print-labels-1000), page
// building included. The raw side draws the same five lines per label
// straight onto a PDF writer, without our layout (no fitting, no templates).
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "BenchData.h"
#include "customers/ColumnText.h"
#include "printing/FormPages.h"
#include "printing/ui/PagePainter.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 1000);
    bench::ScratchFolder scratch;
    bench::Generator gen;
    CKokyakuList list = bench::MakeCustomers(gen, count);
    std::vector<const CKokyaku*> customers;
    for (const auto& k : list) customers.push_back(k.get());
    const CFormLayout& form = *FindBuiltInForm(2);
    const QString ours = QString::fromStdString(scratch.Path() + "/ours.pdf");
    const QString raw = QString::fromStdString(scratch.Path() + "/raw.pdf");
    bench::Compare(
        "print-labels-1000", 3,
        [&] {
            auto pages = BuildFormPages(form, customers, nullptr, {});
            bench::Check(WritePagesPdf(pages, ours, "labels"), "pdf");
        },
        [&] {
            QPdfWriter writer(raw);
            writer.setResolution(600);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
            QPainter p(&writer);
            QFont font(PageFontFamily(PageFont::Gothic));
            font.setPointSizeF(9);
            p.setFont(font);
            const double dpm = 600 / 25.4;
            for (size_t i = 0; i < customers.size(); ++i) {
                int cell = static_cast<int>(i % 24);
                if (i > 0 && cell == 0) writer.newPage();
                const CKokyaku& k = *customers[i];
                double x = (cell % 3) * 70 + 5, y = 12.9 + (cell / 3) * 33.9;
                const std::string lines[] = {"〒" + k.Zip_Home, k.Add1_Home + k.Add2_Home, k.Add3_Home, k.CompName,
                                             k.Name + "　" + k.Suffix};
                for (int l = 0; l < 5; ++l)
                    p.drawText(QPointF(x * dpm, (y + 6 + l * 5.5) * dpm), QString::fromStdString(lines[l]));
            }
        });
    return 0;
}
