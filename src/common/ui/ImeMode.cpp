#include "common/ui/ImeMode.h"

#include <QComboBox>
#include <QLineEdit>
#include <QVariant>

namespace {

constexpr char kKatakana[] = "imeKatakana";

void Apply(QWidget* w, bool open, bool katakana) {
    w->setAttribute(Qt::WA_InputMethodEnabled, open);
    if (open)
        w->setInputMethodHints(Qt::ImhNone);
    else if (w->inputMethodHints() == Qt::ImhNone)
        w->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    w->setProperty(kKatakana, open && katakana);
}

}  // namespace

void SetImeMode(QWidget* w, bool open, bool katakana) {
    if (!w) return;
    Apply(w, open, katakana);
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit()) Apply(c->lineEdit(), open, katakana);
}

bool ImeKatakana(const QWidget* w) { return w && w->property(kKatakana).toBool(); }
