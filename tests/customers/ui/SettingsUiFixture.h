// Shared set-up of the settings widget tests: an installation folder whose
// datadir.dat names a data folder, a master column set and its copy in the
// data folder, plus helpers that act on the next modal dialog.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Archive.h"
#include "customers/MLVColSet.h"
#include "support/TestPorts.h"

using Strings = std::vector<std::string>;

static inline std::vector<CMLVCol> MasterColumns() {
    return {
        {"ID", "ID"}, {"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"Yomi", "ﾌﾘｶﾞﾅ"},
        {"TEL_Home", "自宅TEL"}, {"TEL_Home_X", "自宅TEL数値"}, {"Picture1", "写真１"},
        {"Ranking1", "ランク１", 1}, {"Ranking2", "ランク２", 1}, {"Note1", "備考１", 1}, {"Note2", "備考２", 1},  // 7-10
        {"StartDate", "登録日"}, {"RirekiUpDate", "履歴更新日"},
    };
}

class SettingsUiTest : public ::testing::Test {
protected:
    SettingsUiTest() {
        install = tmp.Path() + "/inst";
        data = tmp.Path() + "/data";
        std::filesystem::create_directories(install + "/Data/MyData");
        std::filesystem::create_directories(install + "/Data/Org");
        std::filesystem::create_directories(data);
        WriteBytes(install + "/Data/MyData/datadir.dat", data + "\r\n");
        WriteSet(install + "/Data/Org/MLVColSet.sys", MasterColumns());
        WriteSet(data + "/MLVColSet.sys", MasterColumns());
    }

    static void WriteSet(const std::string& path, const std::vector<CMLVCol>& cols) {
        CMLVColSet set("");
        set.columns = cols;
        ASSERT_EQ(FileResult::Ok, TryWriteArchiveFile(path, [&](CArchiveWriter& ar) { set.WriteTo(ar); }));
    }
    void WriteDisplayed(const Strings& names) {
        CMLVDispKokyakuCol disp(install);
        disp.names = names;
        ASSERT_EQ(1, disp.Save());
    }
    Strings Displayed() {
        CMLVDispKokyakuCol disp(install);
        EXPECT_EQ(1, disp.Load());
        return disp.names;
    }
    // Makes the next write of a data-folder file fail: a folder takes its place.
    void BlockFile(const std::string& name) {
        std::filesystem::remove(data + "/" + name);
        std::filesystem::create_directories(data + "/" + name + "/x");
    }

    TestPorts ports;
    TempDir tmp;
    std::string install;
    std::string data;
};

// The texts of the rows of a list.
static inline Strings Rows(const QListWidget* list) {
    Strings out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

static inline Strings Items(const QComboBox* box) {
    Strings out;
    for (int i = 0; i < box->count(); ++i) out.push_back(box->itemText(i).toStdString());
    return out;
}

// Runs f on the next modal dialog of type D once it is shown (polling, so that
// it works however deep the dialog is nested). A dialog f leaves open is
// cancelled, so a test never hangs.
template <class D>
static inline void WhenModal(std::function<void(D*)> f) {
    auto* timer = new QTimer;
    auto start = std::chrono::steady_clock::now();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, f, start] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (d && d->isVisible()) {
            timer->stop();
            timer->deleteLater();
            f(d);
            if (d->isVisible()) d->reject();
        } else if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start();
}

// Every control a person operates has an accessible name and takes the focus
// from the keyboard.
static inline void ExpectAccessible(QWidget* dlg) {
    for (QWidget* w : dlg->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QListWidget*>(w) ||
                             qobject_cast<QComboBox*>(w) ||
                             (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget()));
        if (!control) continue;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
        EXPECT_TRUE(w->focusPolicy() & Qt::TabFocus) << w->accessibleName().toStdString();
    }
}

// The accessible names of the controls that Tab visits, starting at first.
static inline Strings TabChain(QWidget* first) {
    Strings out;
    QWidget* w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->accessibleName().isEmpty())
            out.push_back(w->accessibleName().toStdString());
        w = w->nextInFocusChain();
    } while (w && w != first && out.size() < 50);
    return out;
}
