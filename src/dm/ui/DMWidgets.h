// Small pieces shared by the DM screen and its dialogs: the two check images
// we draw, and the hooks through which other features open their dialogs.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <functional>

class CMilvaneDoc;
class QWidget;

// 16 x 16 check images: unticked (an empty box) and ticked (a box with a mark).
QPixmap DMCheckPixmap(bool ticked);
QIcon DMCheckIcon(bool ticked);

struct CDMHooks {
    // The extraction dialog in its selection mode; true on OK (the document
    // then holds the extraction and its keys).
    std::function<bool(QWidget* parent, CMilvaneDoc& doc)> extractCustomers;
    // The analysis sheet locked to the DM hit rate; true on OK.
    std::function<bool(QWidget* parent, CMilvaneDoc& doc)> analyseHitRate;
};
CDMHooks& DMHooks();
