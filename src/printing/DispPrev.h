// The preview and printing component: the form chooser, the pages of the
// chosen form and their preview, print and PDF output. The widgets provide
// the chooser and the preview through IPrintUi.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "printing/FormLayout.h"
#include "printing/FormPages.h"

struct CKokyaku;

struct CFormChoice {
    int32_t layout = 0;
    int32_t second = 0;
    int32_t formType = 1;
    bool recordHistory = false;
};

class IPrintUi {
public:
    virtual ~IPrintUi() = default;
    // The chooser: forms by gallery tab with their preview pictures, and
    // "履歴に残す" when allowRecordHistory. false when cancelled.
    virtual bool ChooseForm(const std::string& installDir, int mode, bool allowRecordHistory, CFormChoice& choice) = 0;
    // Shows the pages; the person prints them or saves them as PDF. Non-zero
    // when printed or saved.
    virtual int PreviewAndPrint(const CFormLayout& layout, const std::vector<CPrintPage>& pages) = 0;
};

namespace PrintUi {
// The widgets' implementation, or null (nothing can be chosen or printed).
IPrintUi* Current();
void Install(IPrintUi* ui);
}  // namespace PrintUi

// The forms of the installation: built-in ones and the user-made ones
// "<install>/Data/Org/<number>.org".
class CBrnMainData {
public:
    explicit CBrnMainData(std::string installDir) : m_installDir(std::move(installDir)) {}
    bool LoadLayout(int32_t number, CFormLayout& layout) const;
    // The form's title; "" for an unknown form.
    std::string GetLayoutTitle(int32_t number) const;

private:
    std::string m_installDir;
};

class CMLVDispPrev {
public:
    explicit CMLVDispPrev(std::string installDir);
    // The chooser (mode 0 history list and customer list, 1 DM screen): 1 when
    // a form was chosen, which Choice then holds.
    int CallDispPrevDlg(int mode, bool allowRecordHistory, bool recordHistoryDefault);
    void SetForm(int32_t layout, int32_t second, int32_t formType);
    void SetPictureDir(const std::string& folder) { m_fill.pictureDir = folder; }
    // Builds the pages of the chosen form and shows them; non-zero when printed or saved.
    int CallNPrtFormType1(std::span<const CKokyaku* const> customers);
    int CallNPrtFormType2(std::span<const CKokyaku* const> customers, const std::vector<CRirekiRefs>& histories);

    CFormChoice Choice;

private:
    int Print(std::span<const CKokyaku* const> customers, const std::vector<CRirekiRefs>* histories);

    std::string m_installDir;
    CFormFillData m_fill;
};

// "<install>/Data/Preview/<n>.jpg": n is the layout number, or the second
// number for a user-made form (40000 and above).
std::string PreviewPicturePath(const std::string& installDir, int32_t layout, int32_t second);
inline constexpr int32_t kFirstUserForm = 40000;

// The gallery groups in order, each with its forms.
struct CFormGroup {
    std::string name;
    std::vector<const CFormLayout*> forms;
};
std::vector<CFormGroup> BuiltInFormGroups();
