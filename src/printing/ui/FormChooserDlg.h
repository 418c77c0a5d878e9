// The form chooser: the forms by gallery tab, the chosen form's picture and
// "履歴に残す" where history may be recorded.
#pragma once

#include <QDialog>
#include <vector>

#include "printing/DispPrev.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QTabWidget;

class CFormChooserDlg : public QDialog {
    Q_OBJECT
public:
    CFormChooserDlg(const QString& installDir, bool allowRecordHistory, bool recordHistoryDefault,
                    QWidget* parent = nullptr);
    CFormChoice Choice() const;
    // Selects the form by layout number (tab and row); false when not listed.
    bool SelectForm(int32_t layout);
    QString PicturePath() const { return m_picturePath; }

private:
    void OnSelectionChanged();
    const CFormLayout* Current() const;

    QString m_installDir;
    std::vector<CFormGroup> m_groups;
    QTabWidget* m_tabs = nullptr;
    std::vector<QListWidget*> m_lists;
    QLabel* m_picture = nullptr;
    QCheckBox* m_history = nullptr;
    QString m_picturePath;
};
