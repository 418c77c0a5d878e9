// Accessibility interfaces for the standard widgets whose Qt defaults do not
// serve a screen reader well.
#pragma once

// Installs them once for the whole application (idempotent).
void InstallAccessibleFactories();

class QButtonGroup;
class QToolButton;
class QWidget;

// A checkable tool button that is one choice of an exclusive group (one of
// which is always chosen): assistive technology sees a radio button. It joins
// the group before anything else is set on it, since the accessible interface
// is chosen when the button is first announced.
QToolButton* MakeChoiceToolButton(QButtonGroup* group, int id, QWidget* parent);
