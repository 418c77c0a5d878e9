// The preview of a filled form, from which the person prints the pages or
// saves them as PDF ("PDFに保存").
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "printing/PrintPage.h"

class QPrinter;
class QPrintPreviewWidget;

class CFormPreviewDlg : public QDialog {
    Q_OBJECT
public:
    CFormPreviewDlg(const QString& title, const std::vector<CPrintPage>& pages, QWidget* parent = nullptr);
    ~CFormPreviewDlg() override;
    // 1 once the pages were printed or saved.
    int Result() const { return m_result; }

    // Adds a button to the row of buttons, before "閉じる".
    void AddButton(QWidget* button);

    // Writes the PDF to path (the save chooser's answer); shows a message on failure.
    bool SavePdf(const QString& path);

private:
    void OnPrint();
    void OnSavePdf();

    QString m_title;
    const std::vector<CPrintPage>& m_pages;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget* m_preview = nullptr;
    class QHBoxLayout* m_buttons = nullptr;
    int m_result = 0;
};
