#include "browser/print_controller.h"

#include <QEventLoop>
#include <QPageSize>
#include <QPaintEngine>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// The engine hands the printer pictures of the pages: enough for text to
// stay sharp on paper without pages of hundreds of megabytes.
constexpr int kPrinterResolution = 300;

bool IsPreview(QPrinter* printer)
{
    return printer->paintEngine() && printer->paintEngine()->type() == QPaintEngine::Picture;
}

bool PrintsToPdfFile(QPrinter* printer)
{
    return printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty();
}

}

bool PrintController::s_bPrinting = false;

PrintController::PrintController(QWebEngineView* view) : QObject(view), m_view(view)
{
    connect(view->page(), &QWebEnginePage::printRequested, this, &PrintController::Print,
            Qt::QueuedConnection);
}

void PrintController::Print()
{
    if (s_bPrinting)
        return;
    s_bPrinting = true;
    m_view->settings()->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);

    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(kPrinterResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(m_view->title());
    // The window may close while the preview is open, and take the preview
    // with it.
    QPointer<QPrintPreviewDialog> preview = new QPrintPreviewDialog(&printer, m_view->window());
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QPrintPreviewDialog::paintRequested, this, &PrintController::PrintPages);
    preview->exec();
    s_bPrinting = false;
}

void PrintController::PrintPages(QPrinter* printer)
{
    QEventLoop loop;
    connect(m_view, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (PrintsToPdfFile(printer) && !IsPreview(printer)) {
        connect(m_view->page(), &QWebEnginePage::pdfPrintingFinished, &loop, &QEventLoop::quit);
        m_view->page()->printToPdf(printer->outputFileName(), printer->pageLayout(),
                                   printer->pageRanges());
    } else {
        connect(m_view, &QWebEngineView::printFinished, &loop, &QEventLoop::quit);
        m_view->print(printer);
    }
    loop.exec();
}
