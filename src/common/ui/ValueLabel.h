// A label that shows a value (a count, a caption, a rate). Assistive
// technology reads the label a person reads beside it as its name and the
// value shown as its description, kept current with every change.
#pragma once

#include <QLabel>

class CValueLabel : public QLabel {
public:
    CValueLabel(const QString& name, QWidget* parent, const QString& value = QString());

    void SetValue(const QString& value);
    QString Value() const { return text(); }

    // The value changes only through SetValue.
    void setText(const QString&) = delete;
};
