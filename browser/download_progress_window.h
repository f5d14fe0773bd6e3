#pragma once

#include <QWidget>

class QVBoxLayout;
class QWebEngineDownloadRequest;

// The small window that lists the running downloads. It is not modal: the
// pages stay usable. It shows while any download runs and goes when the last
// one ends.
class DownloadProgressWindow : public QWidget {
    Q_OBJECT

public:
    // Stays above `owner`, the main window.
    explicit DownloadProgressWindow(QWidget* owner);

    // Lists an accepted download until it ends; tracked before anything else
    // watches its end, it leaves the list before any message about that end.
    void Track(QWebEngineDownloadRequest* download);
    int RunningCount() const;

    // Asks whether to end the running downloads; true when the user chose to
    // end them, after they were cancelled.
    bool ConfirmEndingDownloads(QWidget* questionParent);

private:
    void RemoveRow(QWidget* row);
    void CancelAll();

    QVBoxLayout* m_rows;
};
