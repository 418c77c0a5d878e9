#include "common/ui/Accessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QToolButton>

namespace {

// The entry a combo box shows: its text field's text, else the current item's.
QString ShownEntry(const QComboBox* combo) {
    return combo->isEditable() && combo->lineEdit() ? combo->lineEdit()->text() : combo->currentText();
}

// Selects the current item in the combo box's list, so that the list's
// selection tells which entry is shown even while the list is closed.
void SelectCurrentInList(QComboBox* combo) {
    QAbstractItemView* view = combo->view();
    if (!view || !view->selectionModel()) return;
    const QModelIndex current = combo->model()->index(combo->currentIndex(), combo->modelColumn(), combo->rootModelIndex());
    if (current.isValid())
        view->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
    else
        view->selectionModel()->clearSelection();
}

// Qt names a non-editable combo box by its current text on Linux. Here the
// name is the accessible name given to it (the label beside it); the entry
// shown is its value and, as for a value label, its description (unless one
// was given), and the list's selection; children and actions stay those of a
// combo box.
class CComboAccessible : public QAccessibleWidget {
public:
    explicit CComboAccessible(QComboBox* w) : QAccessibleWidget(w, QAccessible::ComboBox) {
        SelectCurrentInList(w);
        QObject::connect(w, &QComboBox::currentIndexChanged, w, [w] {
            SelectCurrentInList(w);
            if (w->accessibleDescription().isEmpty()) {
                QAccessibleEvent described(w, QAccessible::DescriptionChanged);
                QAccessible::updateAccessibility(&described);
            }
        });
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !Combo()->accessibleName().isEmpty()) return Combo()->accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value) return ShownEntry(Combo());
        if (t == QAccessible::Description && !Combo()->isEditable() && Combo()->accessibleDescription().isEmpty())
            return ShownEntry(Combo());
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

// A checkable tool button of an exclusive group is one choice of several,
// exactly one of which is chosen: a radio button to assistive technology.
class CChoiceButtonAccessible : public QAccessibleWidget {
public:
    explicit CChoiceButtonAccessible(QToolButton* b) : QAccessibleWidget(b, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return Button()->text().remove('&');
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = Button()->isCheckable();
        s.checked = Button()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{QAccessibleActionInterface::pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == QAccessibleActionInterface::pressAction()) {
            if (Button()->isEnabled()) Button()->click();
            return;
        }
        QAccessibleWidget::doAction(name);
    }

private:
    QToolButton* Button() const { return static_cast<QToolButton*>(widget()); }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* combo = qobject_cast<QComboBox*>(object)) return new CComboAccessible(combo);
    if (auto* button = qobject_cast<QToolButton*>(object); button && button->group() && button->group()->exclusive())
        return new CChoiceButtonAccessible(button);
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

QToolButton* MakeChoiceToolButton(QButtonGroup* group, int id, QWidget* parent) {
    auto* button = new QToolButton(parent);
    group->addButton(button, id);
    button->setCheckable(true);
    return button;
}
