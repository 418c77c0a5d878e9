#include "common/ui/ValueLabel.h"

CValueLabel::CValueLabel(const QString& name, QWidget* parent, const QString& value) : QLabel(parent) {
    setAccessibleName(name);
    SetValue(value);
}

void CValueLabel::SetValue(const QString& value) {
    QLabel::setText(value);
    // Also announces the change (QAccessible::DescriptionChanged).
    setAccessibleDescription(value);
}
