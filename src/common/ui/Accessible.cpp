#include "common/ui/Accessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>

namespace {

// Qt names a non-editable combo box by its current text on Linux. Here the
// name is the accessible name given to it (the label beside it) and the text
// is its value; children and actions stay those of a combo box.
class CComboAccessible : public QAccessibleWidget {
public:
    explicit CComboAccessible(QComboBox* w) : QAccessibleWidget(w, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !Combo()->accessibleName().isEmpty()) return Combo()->accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value)
            return Combo()->isEditable() && Combo()->lineEdit() ? Combo()->lineEdit()->text() : Combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return Editor() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(Combo()->view());
        if (index == 1 && Editor()) return QAccessible::queryAccessibleInterface(Editor());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        if (!c) return -1;
        if (c->object() == Combo()->view()) return 0;
        if (Editor() && c->object() == Editor()) return 1;
        return -1;
    }
    QStringList actionNames() const override {
        return {QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()};
    }
    void doAction(const QString& name) override {
        if (name == QAccessibleActionInterface::showMenuAction() || name == QAccessibleActionInterface::pressAction()) {
            if (Combo()->view()->isVisible())
                Combo()->hidePopup();
            else
                Combo()->showPopup();
        }
    }

private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
    QLineEdit* Editor() const { return Combo()->isEditable() ? Combo()->lineEdit() : nullptr; }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* combo = qobject_cast<QComboBox*>(object)) return new CComboAccessible(combo);
    return nullptr;
}

// Gives the text field of an editable combo box the combo box's name when the
// combo box is polished or shown, so that focus on the field reads the label.
class CComboEditNamer : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Polish || event->type() == QEvent::Show) {
            if (auto* combo = qobject_cast<QComboBox*>(watched)) {
                QLineEdit* edit = combo->lineEdit();
                if (edit && edit->accessibleName().isEmpty() && !combo->accessibleName().isEmpty())
                    edit->setAccessibleName(combo->accessibleName());
            }
        }
        return false;
    }
};

}  // namespace

void InstallAccessibleFactories() {
    static bool installed = false;
    if (installed) return;
    QAccessible::installFactory(Factory);
    QCoreApplication::instance()->installEventFilter(new CComboEditNamer(QCoreApplication::instance()));
    installed = true;
}
