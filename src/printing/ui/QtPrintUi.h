// The widgets behind the preview and printing component.
#pragma once

#include "printing/DispPrev.h"

class QWidget;

class CQtPrintUi : public IPrintUi {
public:
    bool ChooseForm(const std::string& installDir, int mode, bool allowRecordHistory, CFormChoice& choice) override;
    int PreviewAndPrint(const CFormLayout& layout, const std::vector<CPrintPage>& pages) override;
};

// Installs the widgets' implementation once for the application.
void InstallQtPrintUi();
