#include <QAccessible>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

// A combo box reads as its label with the current entry as its value, editable or not.
TEST(ComboAccessible, NameIsTheLabelAndValueTheCurrentEntry) {
    QComboBox fixed;
    fixed.addItems({"様", "御中"});
    fixed.setAccessibleName("基本情報：敬称");
    fixed.setCurrentIndex(1);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&fixed);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::ComboBox);
    EXPECT_EQ(a->text(QAccessible::Name), QString("基本情報：敬称"));
    EXPECT_EQ(a->text(QAccessible::Value), QString("御中"));
    ASSERT_EQ(a->childCount(), 1);
    EXPECT_EQ(a->child(0)->object(), static_cast<QObject*>(fixed.view()));
    EXPECT_EQ(a->indexOfChild(a->child(0)), 0);

    QComboBox editable;
    editable.setEditable(true);
    editable.lineEdit()->setText("山田");
    QAccessibleInterface* e = QAccessible::queryAccessibleInterface(&editable);
    EXPECT_EQ(e->text(QAccessible::Name), QString("山田"));  // no label given: the text stands in
    ASSERT_EQ(e->childCount(), 2);
    EXPECT_EQ(e->child(1)->object(), static_cast<QObject*>(editable.lineEdit()));

    QComboBox named;
    named.setEditable(true);
    named.setAccessibleName("基本情報：自社担当者");
    named.show();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(named.lineEdit())->text(QAccessible::Name),
              QString("基本情報：自社担当者"));
}

// The entry a drop-down list shows reaches assistive technology as its value,
// its description and the selection of its list, and follows every change.
TEST(ComboAccessible, ShownEntryIsValueDescriptionAndListSelection) {
    QComboBox months;
    for (int m = 1; m <= 12; ++m) months.addItem(QString::number(m));
    months.setAccessibleName("月");
    months.setCurrentIndex(4);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&months);
    ASSERT_NE(a, nullptr);
    QAccessibleInterface* list = a->child(0);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->tableInterface(), nullptr);
    const struct {
        int index;
        QString shown;
    } steps[] = {{4, "5"}, {11, "12"}, {0, "1"}, {-1, ""}};
    for (const auto& step : steps) {
        months.setCurrentIndex(step.index);
        EXPECT_EQ(a->text(QAccessible::Name), QString("月"));
        EXPECT_EQ(a->text(QAccessible::Value), step.shown);
        EXPECT_EQ(a->text(QAccessible::Description), step.shown);
        const QList<int> selected = list->tableInterface()->selectedRows();
        EXPECT_EQ(selected, step.index < 0 ? QList<int>{} : QList<int>{step.index}) << step.index;
    }

    // A description of its own stays.
    QComboBox described;
    described.addItems({"法人", "個人"});
    described.setAccessibleDescription("顧客の種別");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&described)->text(QAccessible::Description), QString("顧客の種別"));
}

