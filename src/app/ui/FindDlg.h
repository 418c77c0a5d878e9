// The modeless find box of the list screens: find text, direction and
// "次を検索". The main window owns it and forwards each request to the screen
// shown.
#pragma once

#include <QDialog>

#include "app/ui/ScreenView.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

class CFindDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFindDlg(QWidget* parent = nullptr);

    CFindRequest Request() const;
    void SetText(const QString& text);
    void SetDown(bool down);

    QLineEdit* TextEdit() const { return m_text; }
    QPushButton* FindNextButton() const { return m_findNext; }
    QRadioButton* UpButton() const { return m_up; }
    QRadioButton* DownButton() const { return m_down; }

signals:
    void findNext(const CFindRequest& request);

private:
    void UpdateButtons();

    QLineEdit* m_text;
    QRadioButton* m_up;
    QRadioButton* m_down;
    QPushButton* m_findNext;
    QPushButton* m_cancel;
};
