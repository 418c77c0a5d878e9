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
