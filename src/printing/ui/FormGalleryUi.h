// The menu screen's form gallery, the "顧客選択方法" dialog and the user-made
// form commands, which the composition root hands to the menu screen.
#pragma once

#include <QDialog>
#include <array>
#include <span>

#include "app/ui/MenuScreenFeatures.h"

class QRadioButton;
class QListWidget;

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
// After the user-made forms changed: refills the gallery if it shows them.
void RefillUserFormGallery(CMilvaneView& view);
// Opens the form selected in the gallery, asking how to pick its customers.
void OpenGallerySelection(CMilvaneView& view);
// The form names dialog (32781).
std::span<const CMenuCommand> FormGalleryCommands();
