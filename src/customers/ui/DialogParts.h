// Small building blocks shared by the list-editing dialogs.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QDialog;
class QGridLayout;
class QHBoxLayout;
class QListWidget;
class QPushButton;
class QWidget;

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

// A push button named for screen readers that never becomes the default by focus;
// it is appended to `all` when given.
QPushButton* MakeButton(const QString& caption, QWidget* parent, std::vector<QPushButton*>* all = nullptr);

// OK and キャンセル at the bottom right; OK is the default button and accepts.
QHBoxLayout* OkCancelRow(QDialog* dlg, QPushButton*& ok, QPushButton*& cancel);

QPushButton* FindButton(const std::vector<QPushButton*>& all, const QString& caption);

// The column chooser's two lists ("表示列" and "表示可能な列") with their labels, the
// show/hide buttons between them and up/down below the first, laid out in `grid`.
// The buttons are appended to `all`.
struct ColumnPicker {
    QListWidget* shown;
    QListWidget* available;
    QPushButton *show, *hide, *up, *down;
    QGridLayout* grid;
};
ColumnPicker MakeColumnPicker(QWidget* parent, std::vector<QPushButton*>& all);

// The selected row of a single-selection list, -1 without a selection.
int SelectedRow(const QListWidget* list);

// Replaces the list's rows and selects and shows `select` when it is a row.
void FillList(QListWidget* list, const QStringList& rows, int select);
