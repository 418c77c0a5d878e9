// The dialogs that edit the choice lists: the chooser "入力用選択肢の編集",
// the list editor "%s の設定" and its entry dialog "項目の追加・変更". The rules
// live in CChoiceListEditor; these windows show its state and forward buttons.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class CChoiceListEditor;

// "項目の追加・変更": one text, limited in bytes; OK asks the check first.
class CChoiceEntryDlg : public QDialog {
    Q_OBJECT
public:
    using Check = std::function<bool(const std::string&)>;
    CChoiceEntryDlg(const std::string& text, int limitBytes, Check check, QWidget* parent = nullptr);

    std::string Text() const;
    QLineEdit* Edit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }

    void accept() override;

private:
    QLineEdit* m_edit;
    QPushButton* m_ok;
    Check m_check;
};

// "入力用選択肢の編集": which list to edit (lists 0 to 7).
class CChoiceChooserDlg : public QDialog {
    Q_OBJECT
public:
    explicit CChoiceChooserDlg(const std::string& installDir, QWidget* parent = nullptr);

    int ChosenList() const;
    void SetChosenList(int listNo);
    QRadioButton* Radio(int listNo) const;
    QPushButton* OkButton() const { return m_ok; }

private:
    QButtonGroup* m_group;
    std::vector<QRadioButton*> m_radios;
    QPushButton* m_ok;
};

// The list editor of one choice list.
class CChoiceListEditDlg : public QDialog {
    Q_OBJECT
public:
    CChoiceListEditDlg(const std::string& installDir, int listNo, QWidget* parent = nullptr);
    ~CChoiceListEditDlg() override;

    // Loads the list and fills the window; false when the editor must close at once.
    bool Open();

    QListWidget* List() const { return m_list; }
    QPushButton* Button(const QString& caption) const;
    CChoiceListEditor& Editor() { return *m_editor; }

    void accept() override;

private slots:
    void OnAdd();
    void OnChange();
    void OnDelete();
    void OnUp();
    void OnDown();

private:
    void Refill(int select);
    int Row() const;

    std::unique_ptr<CChoiceListEditor> m_editor;
    QLabel* m_explanation;
    QLabel* m_heading;
    QLabel* m_note;
    QListWidget* m_list;
    std::vector<QPushButton*> m_buttons;
};

// Menu command "自社担当者の設定..." (list 8) and the editor of any list:
// true when the editor closed with OK (the list was saved).
bool RunChoiceListEditor(QWidget* parent, const std::string& installDir, int listNo);
// Menu command "入力用の選択肢を編集...": the chooser, then the editor of the
// chosen list. True when the editor closed with OK.
bool RunChoiceListChooser(QWidget* parent, const std::string& installDir);
