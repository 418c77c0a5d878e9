// The artwork of the menu screen, drawn at run time: the 750 x 530 background
// and the buttons and gallery tabs in their three states.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

enum class MenuItemStyle {
    Work,    // the large buttons of the daily work panels
    Header,  // the pop-up and exit buttons in the title band
    Open,    // the gallery's open button
    Tab,     // a gallery tab
};

// 0 normal, 1 hover, 2 pressed (buttons) or selected (tabs).
struct MenuItemLook {
    int state = 0;
    bool enabled = true;
    bool focused = false;
};

inline constexpr int kMenuWidth = 750;
inline constexpr int kMenuHeight = 530;

// The size of an item of the style (its "bitmap" size).
QSize MenuItemSize(MenuItemStyle style, int tabIndex = 0);

// The background with panels, captions and the empty gallery frame.
QPixmap PaintMenuBackground(qreal devicePixelRatio = 1.0);
// One button or tab, filling rect.
void PaintMenuItem(QPainter& p, const QRect& rect, MenuItemStyle style, const QString& caption, const QIcon& icon,
                   const MenuItemLook& look);
