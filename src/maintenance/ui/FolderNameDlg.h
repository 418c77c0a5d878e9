// The folder-name dialog of the data backup: a prompt, a folder field that
// takes a folder that does not exist yet, and "参照..." for the folder browser.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

class CFolderNameDlg : public QDialog {
    Q_OBJECT
public:
    CFolderNameDlg(const std::string& title, const std::string& prompt, const std::string& start,
                   QWidget* parent = nullptr);

    std::string Folder() const;
    QLineEdit* FolderEdit() const { return m_edit; }
    QPushButton* BrowseButton() const { return m_browse; }
    QPushButton* OkButton() const { return m_ok; }

private:
    void Browse();

    std::string m_prompt;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_ok = nullptr;
};

// Shows the dialog; the folder typed or chosen, nullopt when cancelled.
std::optional<std::string> RunFolderNameDialog(QWidget* parent, const std::string& title, const std::string& prompt,
                                               const std::string& start);
