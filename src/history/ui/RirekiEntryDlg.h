// "履歴追加": the history entry dialog in its five modes. The rules are in
// CRirekiEntryLogic; this binds the controls to CRirekiFields.
#pragma once

#include <QComboBox>
#include <QDialog>

#include <functional>
#include <map>
#include <string>

#include "history/RirekiEntry.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class CPictureWnd;

// The day list: refilled for the year and month each time it opens.
class CDayComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override {
        if (beforePopup) beforePopup();
        QComboBox::showPopup();
    }
};

class CRirekiEntryDlg : public QDialog, private IRirekiEntryView {
    Q_OBJECT
public:
    // installDir: the choice lists of its data folder fill the three
    // drop-downs ("" leaves them empty). pictureFolder holds stored pictures.
    CRirekiEntryDlg(HistoryDialogMode mode, IRirekiOwner* owner, int32_t customerKey, const CRirekiData* record,
                    bool hasPrevious, bool hasNext, const std::string& installDir, const std::string& pictureFolder,
                    QWidget* parent = nullptr);

    CRirekiEntryLogic& Logic() { return m_logic; }
    QWidget* Control(int id) const;
    QPushButton* Button(int id) const;
    CPictureWnd* PreviewWnd() const { return m_preview; }
    CRirekiFields Fields() { return ReadFields(); }

    void OnCommand(int id);
    // The day list as it is refilled when opened.
    void RefillDays(bool atStart);

public slots:
    void reject() override;  // Escape: closes without storing

private:
    CRirekiFields ReadFields() override;
    void WriteFields(const CRirekiFields& f) override;
    void FocusControl(int id) override;
    void UpdateButtons();
    void Finish(int code);

    CRirekiEntryLogic m_logic;
    QSpinBox* m_year;
    QComboBox* m_month;
    CDayComboBox* m_day;
    QComboBox* m_hour;
    QComboBox* m_minute;
    QComboBox* m_tantou;
    QComboBox* m_title;
    QComboBox* m_keyword;
    QPlainTextEdit* m_action;
    QLineEdit* m_money;
    QLineEdit* m_pictureName;
    CPictureWnd* m_preview;
    QPushButton* m_cancel;
    std::map<int, QPushButton*> m_buttons;
};

// Opens the entry dialog modally; the end code (1389, 2 or 1). For bulk add,
// result receives the record to add.
int RunRirekiEntryDialog(QWidget* parent, HistoryDialogMode mode, IRirekiOwner* owner, int32_t customerKey,
                         const CRirekiData* record, bool hasPrevious, bool hasNext, const std::string& installDir,
                         const std::string& pictureFolder, CRirekiData* result = nullptr);
