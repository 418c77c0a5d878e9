// What the other features provide to the menu screen. The composition root
// implements it and hands it to the screen at construction; the defaults here
// provide nothing, and a button or command whose feature is not provided is
// disabled.
#pragma once

#include <algorithm>
#include <span>

class CMilvaneDoc;
class CMilvaneView;

// The features behind the menu screen's buttons.
enum class MenuFeature {
    AddCustomer,     // customer entry dialog
    Analysis,        // analysis sheet
    Extraction,      // extraction dialog
    ExtractHistory,  // extraction dialog for the history list
    AllHistory,      // reading all history for the history list
    OpenForm,        // opening the gallery's form
};

class IMenuScreenFeatures {
public:
    virtual ~IMenuScreenFeatures() = default;

    virtual bool Provides(MenuFeature) const { return false; }
    // Customer entry dialog for the input type 0 normal, 1 individual, 2 corporate.
    virtual void AddCustomer(CMilvaneView&, int /*inputType*/) {}
    // Analysis sheet; its result: 0 cancelled, 1..7 the analysis run.
    virtual int Analysis(CMilvaneView&) { return 0; }
    // Extraction dialog in its menu-screen mode: 0 cancelled, 1 customer result, 2 history result.
    virtual int Extraction(CMilvaneView&) { return 0; }
    // Extraction dialog for the history list; true on OK (the document holds the result).
    virtual bool ExtractHistory(CMilvaneView&) { return false; }
    // Reads all history into the document's history list: 1 done, otherwise failed.
    virtual int LoadAllHistory(CMilvaneDoc&) { return 0; }

    // Form gallery: reads the form data (false: "フォーム情報を取得できません"),
    // fills the gallery for the selected tab, re-reads the pick-up list, opens
    // the selected form.
    virtual bool LoadFormData(CMilvaneView&) { return true; }
    virtual void FillGallery(CMilvaneView&) {}
    virtual void FormListChanged(CMilvaneView&) {}
    virtual void OpenForm(CMilvaneView&) {}

    // Enabling rules of the pop-ups.
    virtual bool HasPreExtraction(CMilvaneDoc&) { return false; }
    virtual int UserFormCount(CMilvaneDoc&) { return 0; }

    // Commands of the pop-ups (menu 193) that other features implement.
    virtual bool HasCommand(int /*id*/) const { return false; }
    virtual void RunCommand(int /*id*/, CMilvaneView&) {}
};

// A pop-up command a feature implements. Each feature lists its commands in
// one constant table.
struct CMenuCommand {
    int id;
    void (*run)(CMilvaneView&);
};

// The command of the table with this id, or null.
inline const CMenuCommand* FindMenuCommand(std::span<const CMenuCommand> table, int id) {
    const auto it = std::find_if(table.begin(), table.end(), [id](const CMenuCommand& c) { return c.id == id; });
    return it == table.end() ? nullptr : &*it;
}
