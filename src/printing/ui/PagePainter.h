// Painting pages of drawing items (millimetres) on any paint device.
#pragma once

#include <QString>
#include <vector>

#include "printing/PrintPage.h"

class QPainter;
class QPrinter;

// The font families of the forms (the IPA fonts).
QString PageFontFamily(PageFont font);
// Paints one page on the painter's device, whose origin is the page's top left.
// preview also paints the items that are never printed (postal boxes).
void PaintPage(QPainter& painter, const CPrintPage& page, bool preview);
// Paints every page on the printer, starting a new sheet per page. false when
// painting could not start.
bool PrintPages(QPrinter& printer, const std::vector<CPrintPage>& pages, bool preview);
// Writes the pages to a PDF file, each at its own size. false on failure
// (an existing file is then left as it was).
bool WritePagesPdf(const std::vector<CPrintPage>& pages, const QString& path, const QString& title);
