// Small pieces shared by the DM screen and its dialogs: the two check images
// we draw.
#pragma once

#include <QIcon>
#include <QPixmap>

// 16 x 16 check images: unticked (an empty box) and ticked (a box with a mark).
QPixmap DMCheckPixmap(bool ticked);
QIcon DMCheckIcon(bool ticked);
