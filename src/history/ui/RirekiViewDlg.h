// "履歴の参照(修正することはできません)": one history entry shown read-only,
// with the previous/next buttons walking the opener's entries.
#pragma once

#include <QDialog>

#include <map>
#include <string>

#include "history/RirekiEntry.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class CPictureWnd;

class CRirekiViewDlg : public QDialog {
    Q_OBJECT
public:
    // navigator: the card or the history list (may be null); record may be
    // null (all fields empty). pictureFolder holds the stored picture names.
    CRirekiViewDlg(IRirekiNavigator* navigator, const CRirekiData* record, bool hasPrevious, bool hasNext,
                   const std::string& pictureFolder, QWidget* parent = nullptr);

    QPushButton* Button(int id) const;
    QLineEdit* Field(int id) const;
    QPlainTextEdit* Details() const { return m_details; }
    CPictureWnd* Preview() const { return m_preview; }
    const CRirekiViewLogic& Logic() const { return m_logic; }

    void OnPrevious();
    void OnNext();

private:
    void ShowRecord();

    CRirekiViewLogic m_logic;
    std::map<int, QLineEdit*> m_fields;
    std::map<int, QPushButton*> m_buttons;
    QPlainTextEdit* m_details;
    CPictureWnd* m_preview;
};
