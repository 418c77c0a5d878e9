#include "printing/ui/QtPrintUi.h"

#include <QApplication>

#include "printing/ui/FormChooserDlg.h"
#include "printing/ui/FormPreviewDlg.h"

bool CQtPrintUi::ChooseForm(const std::string& installDir, int mode, bool allowRecordHistory,
                            CFormChoice& choice) {
    CFormChooserDlg dialog(QString::fromStdString(installDir), allowRecordHistory, choice.recordHistory,
                           QApplication::activeWindow());
    if (choice.layout > 0) dialog.SelectForm(choice.layout);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice = dialog.Choice();
    return choice.layout > 0;
}

int CQtPrintUi::PreviewAndPrint(const CFormLayout& layout, const std::vector<CPrintPage>& pages) {
    CFormPreviewDlg dialog(QString::fromStdString(layout.title), pages, QApplication::activeWindow());
    dialog.exec();
    return dialog.Result();
}

void InstallQtPrintUi() {
    static CQtPrintUi ui;
    PrintUi::Install(&ui);
}
