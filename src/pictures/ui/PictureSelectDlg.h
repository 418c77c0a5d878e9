// "画像の選択": the five pictures of a customer, each with its window, its
// file name, "登録..." and "削除".
#pragma once

#include <QDialog>

#include <array>
#include <string>

#include "pictures/Pictures.h"

class QLineEdit;
class QPushButton;
class CPictureWnd;

class CPictureSelectDlg : public QDialog {
    Q_OBJECT
public:
    // captions: the slot captions; pictureFolder holds the stored names.
    CPictureSelectDlg(std::array<std::string, kPictureSlots> names, bool viewOnly,
                      const std::array<std::string, kPictureSlots>& captions, const std::string& pictureFolder,
                      QWidget* parent = nullptr);

    const CPictureSelectLogic& Logic() const { return m_logic; }
    CPictureWnd* Window(int slot) const { return m_windows[slot]; }
    QLineEdit* NameBox(int slot) const { return m_nameBoxes[slot]; }
    QPushButton* AddButton(int slot) const { return m_add[slot]; }
    QPushButton* RemoveButton(int slot) const { return m_remove[slot]; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    void OnAdd(int slot);
    void OnRemove(int slot);

private:
    void ShowSlot(int slot);

    CPictureSelectLogic m_logic;
    std::array<CPictureWnd*, kPictureSlots> m_windows{};
    std::array<QLineEdit*, kPictureSlots> m_nameBoxes{};
    std::array<QPushButton*, kPictureSlots> m_add{};
    std::array<QPushButton*, kPictureSlots> m_remove{};
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

// Opens the dialog modally over the names; true (names changed in place)
// when it ended with OK.
bool RunPictureSelectDialog(QWidget* parent, std::array<std::string, kPictureSlots>& names, bool viewOnly,
                            const std::string& installDir, const std::string& pictureFolder);
