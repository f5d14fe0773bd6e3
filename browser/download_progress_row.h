#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "browser/download_rate.h"

class QLabel;
class QWebEngineDownloadRequest;

// One running download in the progress window: its file name, the bytes
// received (of the total when known), the speed, the time left and a button
// that cancels it.
class DownloadProgressRow : public QWidget {
    Q_OBJECT

public:
    DownloadProgressRow(QWebEngineDownloadRequest* download, QWidget* parent);

    QWebEngineDownloadRequest* Download() const;

private:
    void ShowProgress();

    QPointer<QWebEngineDownloadRequest> m_download;
    QLabel* m_transferred;
    QLabel* m_speed;
    QLabel* m_timeLeft;
    QElapsedTimer m_clock;
    QTimer m_refresh;
    DownloadRate m_rate;
};
