// The dialogs of the export commands: the format (顧客データ書き出し), the
// columns (書き出し列の設定), the HTML form (HTML書き出し形式の選択) and the
// output folder (フォルダを指定). Their rules live in src/exchange.
#pragma once

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class CExportColumnsModel;
class CMilvaneDoc;
class QButtonGroup;
class QLineEdit;
class QListWidget;
class QPushButton;
struct CKokyaku;

// Radio buttons, one per choice, the first checked; OK (or 次へ) and キャンセル.
class CChoiceDlg : public QDialog {
    Q_OBJECT
public:
    CChoiceDlg(const QString& title, const QString& prompt, const QStringList& choices, const QString& okText,
               QWidget* parent = nullptr);
    int Choice() const;
    QButtonGroup* Group() const { return m_group; }

private:
    QButtonGroup* m_group;
};

// Dialog 229: the formats that write, in table order.
std::unique_ptr<CChoiceDlg> MakeExportFormatDlg(QWidget* parent);
// Dialog 242: "顧客データ" or "顧客データ＋履歴".
std::unique_ptr<CChoiceDlg> MakeHtmlFormDlg(QWidget* parent);

class CExportColumnsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CExportColumnsDlg(const std::string& installDir, QWidget* parent = nullptr);
    ~CExportColumnsDlg() override;

    // Loads the catalogue; false when the dialog must close as cancelled.
    bool Open();
    CExportColumnsModel& Model() { return *m_model; }
    QListWidget* ChosenList() const { return m_chosen; }        // "書き出す列"
    QListWidget* AvailableList() const { return m_available; }  // "書き出し可能な列"
    QPushButton* Button(const QString& caption) const;

    void accept() override;

private:
    void Fill(int selectChosen, int selectAvailable);

    std::unique_ptr<CExportColumnsModel> m_model;
    QListWidget* m_chosen;
    QListWidget* m_available;
    std::vector<QPushButton*> m_buttons;
};

// Dialog 248: a folder typed or chosen with 参照....
class CFolderDlg : public QDialog {
    Q_OBJECT
public:
    CFolderDlg(const QString& prompt, const QString& folder, QWidget* parent = nullptr);
    QString Folder() const;
    QLineEdit* Edit() const { return m_edit; }

private:
    QString m_prompt;
    QLineEdit* m_edit;
};

// The commands of the customer list, on the customers of the selected rows.
void RunExportCommand(QWidget* parent, CMilvaneDoc& doc, const std::vector<const CKokyaku*>& selected);
void RunHtmlExportCommand(QWidget* parent, CMilvaneDoc& doc, const std::vector<const CKokyaku*>& selected);
