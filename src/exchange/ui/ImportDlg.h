// The dialogs of the import commands: the source (データの取り込み, and
// Brennaデータの取り込み), the text format (ﾃｷｽﾄﾌｧｲﾙの形式), the sheet and
// table choices and the mapping (項目の対応付け). Their rules live in src/exchange.
#pragma once

#include <QDialog>

#include "exchange/TextImport.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CChoiceDlg;
class CImportMapModel;
class CKokyakuViewLogic;
class CMilvaneDoc;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// Dialog 137: the formats in table order.
std::unique_ptr<CChoiceDlg> MakeImportSourceDlg(QWidget* parent);
// Dialog 245: 得意先Excelブック or 得意先台帳ツール.
std::unique_ptr<CChoiceDlg> MakeBrennaSourceDlg(QWidget* parent);

// Dialog 133: the delimiter, the encoding (detected first) and the start of
// the file read in it. The bytes must outlive the dialog.
class CTextFormatDlg : public QDialog {
    Q_OBJECT
public:
    CTextFormatDlg(std::string_view bytes, QWidget* parent = nullptr);
    TextFormat Format() const { return m_format; }
    QButtonGroup* Group() const { return m_group; }
    QLineEdit* OtherEdit() const { return m_other; }
    QComboBox* EncodingBox() const { return m_encoding; }  // "文字コード"
    QPlainTextEdit* Image() const { return m_image; }      // "データイメージ"
    void accept() override;

private:
    std::string_view m_bytes;
    QButtonGroup* m_group;
    QLineEdit* m_other;
    QComboBox* m_encoding;
    QPlainTextEdit* m_image;
    TextFormat m_format;
};

// Dialogs 213 and 131: one name of a list, the first preselected.
class CNameChoiceDlg : public QDialog {
    Q_OBJECT
public:
    // noSelection: the message of 次へ without a selection ("" stays silent).
    CNameChoiceDlg(const QString& title, const QString& prompt, const std::vector<std::string>& names,
                   const std::string& noSelection, QWidget* parent = nullptr);
    int Choice() const { return m_choice; }
    QListWidget* List() const { return m_list; }
    void accept() override;

private:
    QListWidget* m_list;
    std::string m_noSelection;
    int m_choice = -1;
};

// Dialog 129 on the core's mapping model.
class CImportMapDlg : public QDialog {
    Q_OBJECT
public:
    CImportMapDlg(CImportMapModel& model, QWidget* parent = nullptr);
    QListWidget* FieldList() const { return m_fields; }  // "顧客データベースの項目"
    QTreeWidget* DataList() const { return m_data; }     // "読み込むデータ"
    QPlainTextEdit* RuleBox() const { return m_rule; }   // "読み込めるデータについて"
    QCheckBox* FirstRowBox() const { return m_firstRow; }
    QPushButton* Button(const QString& caption) const;
    void accept() override;

private:
    void Fill(int selectLine);

    CImportMapModel& m_model;
    QListWidget* m_fields;
    QTreeWidget* m_data;
    QPlainTextEdit* m_rule;
    QCheckBox* m_firstRow;
    std::vector<QPushButton*> m_buttons;
};

// "外部ﾃﾞｰﾀの取り込み..." and "Brenna4の顧客ﾃﾞｰﾀ取り込み..." of the customer list.
void RunImportCommand(QWidget* parent, CMilvaneDoc& doc, CKokyakuViewLogic& logic);
void RunBrennaImportCommand(QWidget* parent, CKokyakuViewLogic& logic);
