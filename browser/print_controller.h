#pragma once

#include <QObject>

class QPrinter;
class QWebEngineView;

// Printing of one browser view, for window.print() and Ctrl+P: a print
// preview on A4 whose print button leads to the print dialog. Printing to a
// PDF file writes the engine's own PDF, with its text; a printer gets the
// rendered pages. One print runs at a time in the whole launcher.
class PrintController : public QObject {
    Q_OBJECT

public:
    explicit PrintController(QWebEngineView* view);

    // Returns once the preview has closed; a request while another print
    // runs is ignored.
    void Print();

private:
    void PrintPages(QPrinter* printer);

    QWebEngineView* m_view;
    static bool s_bPrinting;
};
