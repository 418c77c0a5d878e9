// The composition root: the one place that knows every screen and dialog.
// It fills the registry of screens the frame is given and gives the menu
// screen what the other features provide. Nothing in src/ includes it.
#pragma once

#include "app/ui/MenuScreenFeatures.h"
#include "app/ui/ScreenRegistry.h"

// Every feature built, as the menu screen reaches it.
class CMenuScreenFeatures : public IMenuScreenFeatures {
public:
    bool Provides(MenuFeature) const override { return true; }
    void AddCustomer(CMilvaneView& view, int inputType) override;
    int Analysis(CMilvaneView& view) override;
    int Extraction(CMilvaneView& view) override;
    bool ExtractHistory(CMilvaneView& view) override;
    int LoadAllHistory(CMilvaneDoc& doc) override;
    void FillGallery(CMilvaneView& view) override;
    void FormListChanged(CMilvaneView& view) override;
    void OpenForm(CMilvaneView& view) override;
    bool HasPreExtraction(CMilvaneDoc& doc) override;
    int UserFormCount(CMilvaneDoc& doc) override;
    bool HasCommand(int id) const override;
    void RunCommand(int id, CMilvaneView& view) override;
};

// Every screen built: the menu screen (with the features above) and the
// screens 1 to 5.
CScreenRegistry BuiltScreens();
