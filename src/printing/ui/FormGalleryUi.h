// The menu screen's form gallery, the "顧客選択方法" dialog and the user-made
// form commands, plugged into the menu screen's hooks.
#pragma once

#include <QDialog>
#include <array>

class QRadioButton;
class QListWidget;
class CMilvaneView;
struct CMenuScreenHooks;

class CCustomerMethodDlg : public QDialog {
    Q_OBJECT
public:
    // available[i]: whether choice i can be taken; preset: the initial choice.
    CCustomerMethodDlg(const std::array<bool, 3>& available, int preset, QWidget* parent = nullptr);
    int Choice() const;
    QRadioButton* Option(int i) const { return m_options[i]; }

private:
    std::array<QRadioButton*, 3> m_options{};
};

// Fills the gallery list of the view for its selected tab.
void FillFormGallery(CMilvaneView& view);
void InstallFormGallery(CMenuScreenHooks& hooks);
