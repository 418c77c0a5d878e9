// Binds a dialog's text entry to the one text rule of common/SjisField: a
// character Shift-JIS cannot hold is dropped and named in the refusal
// message, and the text is kept within its Shift-JIS byte limit without
// splitting a character, whether typed, pasted or composed.
#pragma once

class QWidget;

// entry: a QLineEdit, an editable QComboBox (its line edit is bound), a
// QPlainTextEdit or a QTextEdit; limit <= 0 leaves the length free. Binding
// again replaces the limit. Texts the program sets after binding are fitted
// too.
void BindSjisField(QWidget* entry, int limitBytes);

// The byte limit an entry is bound with (0 for none), or -1 when unbound.
int SjisFieldLimit(const QWidget* entry);
