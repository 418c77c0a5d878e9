// "履歴一覧表示方法": whether the history list shows an extraction or everything.
#pragma once

#include <QDialog>

class QRadioButton;

class CRirekiModeDlg : public QDialog {
    Q_OBJECT
public:
    enum Choice { Extract = 1, ShowAll = 2 };

    // extractAvailable: the extraction dialog can be used.
    explicit CRirekiModeDlg(bool extractAvailable, QWidget* parent = nullptr);
    Choice Selected() const;
    QRadioButton* ExtractButton() const { return m_extract; }
    QRadioButton* AllButton() const { return m_all; }

private:
    QRadioButton* m_extract;
    QRadioButton* m_all;
};
