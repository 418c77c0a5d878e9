#include "common/ui/SjisFieldBinding.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QValidator>

#include <optional>
#include <string>

#include "common/Ports.h"
#include "common/SjisField.h"

namespace {

const char* const kLimitProperty = "sjisFieldLimit";

// Tells the refusal once the edit is over: a message box must not open
// inside the entry's own change handling.
void TellRefused(QObject* entry, const std::optional<std::string>& refused) {
    if (!refused) return;
    const std::string message = NonSjisMessage(*refused);
    QMetaObject::invokeMethod(entry, [message] { ShowMessage(message); }, Qt::QueuedConnection);
}

// Fits text split at pos; true when it changed.
bool Fit(QString& text, int& pos, int limit, QObject* entry) {
    const SjisFieldFit fit = FitSjisField(text.left(pos).toStdString(), text.mid(pos).toStdString(), limit);
    TellRefused(entry, fit.refused);
    const QString before = QString::fromStdString(fit.before);
    const QString fitted = before + QString::fromStdString(fit.after);
    if (fitted == text) return false;
    text = fitted;
    pos = static_cast<int>(before.size());
    return true;
}

class CSjisFieldValidator : public QValidator {
public:
    CSjisFieldValidator(int limit, QObject* parent) : QValidator(parent), m_limit(limit) {}
    State validate(QString& input, int& pos) const override {
        Fit(input, pos, m_limit, parent());
        return Acceptable;
    }

private:
    int m_limit;
};

// Several-line entries have no validator: their text is fitted after each
// change, with the limit the entry is bound with at that time.
template <class Edit>
void BindDocument(Edit* edit) {
    if (edit->property("sjisFieldBound").toBool()) return;
    edit->setProperty("sjisFieldBound", true);
    QObject::connect(edit, &Edit::textChanged, edit, [edit] {
        if (edit->property("sjisFieldFitting").toBool()) return;
        QString text = edit->toPlainText();
        int pos = edit->textCursor().position();
        if (!Fit(text, pos, SjisFieldLimit(edit), edit)) return;
        edit->setProperty("sjisFieldFitting", true);
        edit->setPlainText(text);
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(pos);
        edit->setTextCursor(cursor);
        edit->setProperty("sjisFieldFitting", false);
    });
}

}  // namespace

void BindSjisField(QWidget* entry, int limitBytes) {
    const int limit = limitBytes > 0 ? limitBytes : 0;
    entry->setProperty(kLimitProperty, limit);
    QLineEdit* line = qobject_cast<QLineEdit*>(entry);
    if (auto* combo = qobject_cast<QComboBox*>(entry)) line = combo->lineEdit();
    if (line) {
        const QValidator* old = line->validator();
        line->setValidator(new CSjisFieldValidator(limit, line));
        if (dynamic_cast<const CSjisFieldValidator*>(old)) delete old;
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(entry)) {
        BindDocument(plain);
    } else if (auto* rich = qobject_cast<QTextEdit*>(entry)) {
        BindDocument(rich);
    }
}

int SjisFieldLimit(const QWidget* entry) {
    const QVariant v = entry->property(kLimitProperty);
    return v.isValid() ? v.toInt() : -1;
}
