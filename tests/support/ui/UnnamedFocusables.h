// The controls of a window that the keyboard reaches but assistive
// technology cannot name.
#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>

// Each as "class (object name) in parent class"; empty when every visible
// focusable widget has an accessible name.
inline QStringList UnnamedFocusables(QWidget* window) {
    QStringList out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || !w->isVisibleTo(window)) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (a && !a->text(QAccessible::Name).trimmed().isEmpty()) continue;
        out << QStringLiteral("%1 (%2) in %3")
                   .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(),
                        w->parentWidget() ? QString::fromLatin1(w->parentWidget()->metaObject()->className())
                                          : QString());
    }
    return out;
}
