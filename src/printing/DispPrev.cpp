#include "printing/DispPrev.h"

#include <algorithm>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "printing/OwnCompany.h"

namespace {
IPrintUi* g_printUi = nullptr;
}

IPrintUi* PrintUi::Current() { return g_printUi; }
void PrintUi::Install(IPrintUi* ui) { g_printUi = ui; }

bool CBrnMainData::LoadLayout(int32_t number, CFormLayout& layout) const {
    if (const CFormLayout* builtIn = FindBuiltInForm(number)) {
        layout = *builtIn;
        return true;
    }
    std::string xml;
    if (!ReadWholeFile(JoinPath(m_installDir, "Data/Org/" + std::to_string(number) + ".org"), xml)) return false;
    if (!ParseFormLayout(xml, layout)) return false;
    layout.number = number;
    return true;
}

std::string CBrnMainData::GetLayoutTitle(int32_t number) const {
    CFormLayout layout;
    return LoadLayout(number, layout) ? layout.title : std::string();
}

CMLVDispPrev::CMLVDispPrev(std::string installDir) : m_installDir(std::move(installDir)) {}

int CMLVDispPrev::CallDispPrevDlg(int mode, bool allowRecordHistory, bool recordHistoryDefault) {
    IPrintUi* ui = PrintUi::Current();
    if (!ui) return 0;
    CFormChoice choice = Choice;
    choice.recordHistory = allowRecordHistory && recordHistoryDefault;
    if (!ui->ChooseForm(m_installDir, mode, allowRecordHistory, choice) || choice.layout < 1) return 0;
    if (!allowRecordHistory) choice.recordHistory = false;
    Choice = choice;
    return 1;
}

void CMLVDispPrev::SetForm(int32_t layout, int32_t second, int32_t formType) {
    Choice.layout = layout;
    Choice.second = second;
    Choice.formType = formType;
}

int CMLVDispPrev::CallNPrtFormType1(std::span<const CKokyaku* const> customers) { return Print(customers, nullptr); }

int CMLVDispPrev::CallNPrtFormType2(std::span<const CKokyaku* const> customers,
                                    const std::vector<CRirekiRefs>& histories) {
    return Print(customers, &histories);
}

int CMLVDispPrev::Print(std::span<const CKokyaku* const> customers, const std::vector<CRirekiRefs>* histories) {
    IPrintUi* ui = PrintUi::Current();
    CFormLayout layout;
    if (!ui || !CBrnMainData(m_installDir).LoadLayout(Choice.layout, layout)) return 0;
    std::vector<CPrintPage> pages;
    {
        WaitScope wait;  // the preview itself runs without it
        m_fill.own = ReadOwnCompany(m_installDir);
        pages = BuildFormPages(layout, customers, histories, m_fill);
    }
    if (pages.empty()) return 0;
    return ui->PreviewAndPrint(layout, pages);
}

std::string PreviewPicturePath(const std::string& installDir, int32_t layout, int32_t second) {
    int32_t n = layout >= kFirstUserForm ? second : layout;
    return JoinPath(installDir, "Data/Preview/" + std::to_string(n) + ".jpg");
}

std::vector<CFormGroup> BuiltInFormGroups() {
    std::vector<CFormGroup> groups;
    for (const CFormLayout& f : BuiltInForms()) {
        auto it = std::find_if(groups.begin(), groups.end(), [&](const CFormGroup& g) { return g.name == f.group; });
        if (it == groups.end()) {
            groups.push_back({f.group, {}});
            it = groups.end() - 1;
        }
        it->forms.push_back(&f);
    }
    return groups;
}
