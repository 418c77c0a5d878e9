#include "printing/ui/FormPreviewDlg.h"

#include <QAbstractScrollArea>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Ports.h"
#include "common/ui/ValueLabel.h"
#include "printing/ui/PagePainter.h"

CFormPreviewDlg::CFormPreviewDlg(const QString& title, const std::vector<CPrintPage>& pages, QWidget* parent)
    : QDialog(parent), m_title(title), m_pages(pages), m_printer(std::make_unique<QPrinter>(QPrinter::ScreenResolution)) {
    setWindowTitle(QStringLiteral("印刷プレビュー"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = m_buttons = new QHBoxLayout;
    auto* print = new QPushButton(QStringLiteral("印刷(&P)..."), this);
    auto* pdf = new QPushButton(QStringLiteral("PDFに保存(&S)..."), this);
    auto* zoomIn = new QPushButton(QStringLiteral("拡大(&I)"), this);
    auto* zoomOut = new QPushButton(QStringLiteral("縮小(&O)"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    print->setAccessibleName(QStringLiteral("印刷"));
    pdf->setAccessibleName(QStringLiteral("PDFに保存"));
    zoomIn->setAccessibleName(QStringLiteral("拡大"));
    zoomOut->setAccessibleName(QStringLiteral("縮小"));
    close->setAccessibleName(QStringLiteral("閉じる"));
    auto* pagesLabel = new CValueLabel(QStringLiteral("ページ数"), this,
                                       QStringLiteral("%1ページ").arg(static_cast<int>(pages.size())));
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addWidget(zoomIn);
    buttons->addWidget(zoomOut);
    buttons->addWidget(pagesLabel);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    m_preview = new QPrintPreviewWidget(m_printer.get(), this);
    m_preview->setAccessibleName(QStringLiteral("印刷プレビュー"));
    m_preview->setAccessibleDescription(title);
    // The page view inside takes the focus: it carries the same name.
    for (QAbstractScrollArea* view : m_preview->findChildren<QAbstractScrollArea*>()) {
        view->setAccessibleName(m_preview->accessibleName());
        view->setAccessibleDescription(title);
    }
    layout->addWidget(m_preview, 1);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { PrintPages(*printer, m_pages, true); });
    connect(print, &QPushButton::clicked, this, &CFormPreviewDlg::OnPrint);
    connect(pdf, &QPushButton::clicked, this, &CFormPreviewDlg::OnSavePdf);
    connect(zoomIn, &QPushButton::clicked, m_preview, [this] { m_preview->zoomIn(); });
    connect(zoomOut, &QPushButton::clicked, m_preview, [this] { m_preview->zoomOut(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    print->setDefault(true);
    print->setFocus();
    resize(800, 900);
}

CFormPreviewDlg::~CFormPreviewDlg() = default;

void CFormPreviewDlg::AddButton(QWidget* button) { m_buttons->insertWidget(m_buttons->count() - 2, button); }

void CFormPreviewDlg::OnPrint() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_title);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PrintPages(printer, m_pages, false)) {
        ShowMessage("印刷できませんでした。");
        return;
    }
    m_result = 1;
    accept();
}

void CFormPreviewDlg::OnSavePdf() {
    auto path = Ports::Prompt().ChooseSaveFile("PDFに保存", "PDFファイル (*.pdf)", (m_title + ".pdf").toStdString());
    if (!path) return;
    QString file = QString::fromStdString(*path);
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
    if (SavePdf(file)) accept();
}

bool CFormPreviewDlg::SavePdf(const QString& path) {
    if (!WritePagesPdf(m_pages, path, m_title)) {
        ShowMessage("PDFファイルを保存できませんでした。");
        return false;
    }
    m_result = 1;
    return true;
}
