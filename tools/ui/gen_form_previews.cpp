// Build-time generator of the gallery pictures "Data/Preview/<n>.jpg": every
// built-in form filled with sample data, painted offscreen.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

#include "customers/Kokyaku.h"
#include "history/RirekiData.h"
#include "printing/FormPages.h"
#include "printing/ui/PagePainter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_form_previews <template folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/Data/Preview";
    if (!QDir().mkpath(folder)) return 1;

    CKokyaku sample;
    sample.CustomerID = "0001";
    sample.Name = "見本太郎";
    sample.Yomi = "ﾐﾎﾝﾀﾛｳ";
    sample.Suffix = "様";
    sample.Zip_Home = "100-0001";
    sample.Add1_Home = "東京都千代田区";
    sample.Add2_Home = "千代田1-1";
    sample.Add3_Home = "見本ビル3階";
    sample.TEL_Home = "03-0000-0000";
    sample.CompName = "株式会社見本";
    CRirekiData entry;
    entry.ActionTitle = "ご来店";
    entry.Action = "商品のご案内";
    entry.Date = CDateTime::FromParts(2024, 4, 1);
    entry.Money = 10000;
    CFormFillData fill;
    fill.own = {{"COM", "見本商会"}, {"NAME", "担当花子"}, {"BUSYO", "営業部"}, {"ZIPHIFN", "100-0002"},
                {"ADD", "東京都千代田区見本町2-2"}, {"TATEADD", "東京都千代田区見本町2-2"},
                {"TEL", "03-1111-2222"}, {"FAX", "03-1111-3333"}};

    for (const CFormLayout& form : BuiltInForms()) {
        std::vector<const CKokyaku*> customers(std::max(1, form.CellsPerPage()), &sample);
        std::vector<CRirekiRefs> histories(customers.size(), CRirekiRefs(5, &entry));
        auto pages = BuildFormPages(form, customers, &histories, fill);
        if (pages.empty()) return 1;
        constexpr double kPxPerMm = 4.0;
        QImage image(int(form.pageWidth * kPxPerMm), int(form.pageHeight * kPxPerMm), QImage::Format_RGB32);
        image.setDotsPerMeterX(int(kPxPerMm * 1000));
        image.setDotsPerMeterY(int(kPxPerMm * 1000));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PaintPage(painter, pages.front(), true);
            painter.setPen(QColor(160, 160, 160));
            painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
        }
        QImage picture = image.scaled(240, 300, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!picture.save(folder + QString("/%1.jpg").arg(form.number), "JPG", 90)) return 1;
    }
    return 0;
}
