// Opens or closes the Japanese input method of an entry field.
#pragma once

class QWidget;

// Closed: the field takes plain characters (codes, numbers, postal codes,
// telephone numbers, mail and web addresses); hints the field already has
// are kept, otherwise it asks for Latin text without prediction. Open: the
// input method is enabled with no hints; katakana marks a reading field
// (half-width katakana) in the "imeKatakana" property, as Qt has no hint
// that chooses hiragana or katakana. A combo box applies it to its editor too.
void SetImeMode(QWidget* w, bool open, bool katakana = false);

// True when w is a reading field opened by SetImeMode.
bool ImeKatakana(const QWidget* w);
