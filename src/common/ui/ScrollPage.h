// A page inside a frameless scroll area: a screen's controls sit on the page,
// which follows the screen's size and scrolls below its minimum size.
#pragma once

#include <QColor>
#include <QSize>

class QAbstractScrollArea;
class QScrollArea;
class QWidget;

struct CScrollPage {
    QScrollArea* scroll = nullptr;  // child of the owner; the owner sizes it
    QWidget* page = nullptr;        // filled with the background colour
};

// The owner receives the page's events through its event filter, so that it
// can lay out its controls when the page is resized. The scroll area itself
// takes no focus: the keyboard goes to the controls, and the area scrolls to
// the one that has the focus.
CScrollPage MakeScrollPage(QWidget* owner, QSize minimum, const QColor& background);

// The width a list needs to show columns of the given total width whole: the
// columns, its frame and its vertical scroll bar.
int ListWidthForColumns(const QAbstractScrollArea* list, int columnsWidth);
