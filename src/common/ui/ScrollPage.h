// A page inside a frameless scroll area: a screen's controls sit on the page,
// which follows the screen's size and scrolls below its minimum size.
#pragma once

#include <QColor>
#include <QSize>

class QScrollArea;
class QWidget;

struct CScrollPage {
    QScrollArea* scroll = nullptr;  // child of the owner; the owner sizes it
    QWidget* page = nullptr;        // filled with the background colour
};

// The owner receives the page's events through its event filter, so that it
// can lay out its controls when the page is resized.
CScrollPage MakeScrollPage(QWidget* owner, QSize minimum, const QColor& background);
