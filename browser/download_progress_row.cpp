#include "browser/download_progress_row.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QWebEngineDownloadRequest>

#include "browser/download_texts.h"

namespace {

// The speed and the time left change with time even while no bytes arrive.
constexpr int kRefreshMs = 500;

QLabel* NamedLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

}

DownloadProgressRow::DownloadProgressRow(QWebEngineDownloadRequest* download, QWidget* parent)
    : QWidget(parent),
      m_download(download),
      m_transferred(NamedLabel(QStringLiteral("transferred"), this)),
      m_speed(NamedLabel(QStringLiteral("speed"), this)),
      m_timeLeft(NamedLabel(QStringLiteral("timeLeft"), this))
{
    QLabel* name = NamedLabel(QStringLiteral("fileName"), this);
    name->setText(download->downloadFileName());
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(name, 0, 0, 1, 3);
    layout->addWidget(cancel, 0, 3, 2, 1, Qt::AlignVCenter);
    layout->addWidget(m_transferred, 1, 0);
    layout->addWidget(m_speed, 1, 1);
    layout->addWidget(m_timeLeft, 1, 2);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(2, 1);

    connect(cancel, &QPushButton::clicked, download, &QWebEngineDownloadRequest::cancel);
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            &DownloadProgressRow::ShowProgress);
    connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this,
            &DownloadProgressRow::ShowProgress);
    connect(&m_refresh, &QTimer::timeout, this, &DownloadProgressRow::ShowProgress);
    m_clock.start();
    m_refresh.start(kRefreshMs);
    ShowProgress();
}

QWebEngineDownloadRequest* DownloadProgressRow::Download() const
{
    return m_download;
}

void DownloadProgressRow::ShowProgress()
{
    if (!m_download)
        return;
    const qint64 received = m_download->receivedBytes();
    const qint64 total = m_download->totalBytes();
    m_rate.AddSample(m_clock.elapsed(), received);
    const double speed = m_rate.BytesPerSecond();
    m_transferred->setText(QString::fromStdU16String(TransferredText(received, total)));
    m_speed->setText(QString::fromStdU16String(SpeedText(speed)));
    m_timeLeft->setText(QString::fromStdU16String(TimeLeftText(received, total, speed)));
}
