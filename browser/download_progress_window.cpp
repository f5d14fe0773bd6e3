#include "browser/download_progress_window.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>

#include "browser/download_progress_row.h"

namespace {

constexpr int kWidth = 460;
constexpr int kScreenMargin = 24;

}

DownloadProgressWindow::DownloadProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool), m_rows(new QVBoxLayout(this))
{
    setWindowTitle(QStringLiteral("正在下载"));
    setObjectName(QStringLiteral("downloadProgressWindow"));
    m_rows->setSizeConstraint(QLayout::SetFixedSize);
}

void DownloadProgressWindow::Track(QWebEngineDownloadRequest* download)
{
    // A resumed download comes back as a new request under the same id.
    for (auto* row : findChildren<DownloadProgressRow*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!row->Download() || row->Download()->id() == download->id())
            RemoveRow(row);
    }
    auto* row = new DownloadProgressRow(download, this);
    row->setFixedWidth(kWidth);
    m_rows->addWidget(row);
    connect(download, &QWebEngineDownloadRequest::stateChanged, row,
            [this, row](QWebEngineDownloadRequest::DownloadState state) {
                if (state != QWebEngineDownloadRequest::DownloadRequested &&
                    state != QWebEngineDownloadRequest::DownloadInProgress)
                    RemoveRow(row);
            });
    if (isVisible())
        return;
    // Bottom right of the screen, out of the way of the page.
    adjustSize();
    const QRect screen = (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
                             ->availableGeometry();
    move(screen.right() - width() - kScreenMargin, screen.bottom() - height() - kScreenMargin * 3);
    show();
}

int DownloadProgressWindow::RunningCount() const
{
    return static_cast<int>(findChildren<DownloadProgressRow*>(QString(), Qt::FindDirectChildrenOnly).size());
}

bool DownloadProgressWindow::ConfirmEndingDownloads(QWidget* questionParent)
{
    QMessageBox question(QMessageBox::Warning, questionParent->windowTitle(),
                         QStringLiteral("下载尚未完成。现在关闭会取消正在进行的下载，"
                                        "已下载的部分将被删除。"),
                         QMessageBox::NoButton, questionParent);
    QPushButton* wait = question.addButton(QStringLiteral("继续等待"), QMessageBox::RejectRole);
    QPushButton* end = question.addButton(QStringLiteral("取消下载并关闭"), QMessageBox::AcceptRole);
    wait->setObjectName(QStringLiteral("keepWaiting"));
    end->setObjectName(QStringLiteral("endDownloads"));
    question.setDefaultButton(wait);
    question.setEscapeButton(wait);
    question.exec();
    if (question.clickedButton() != end)
        return false;
    CancelAll();
    return true;
}

void DownloadProgressWindow::RemoveRow(QWidget* row)
{
    row->hide();
    m_rows->removeWidget(row);
    row->setParent(nullptr);
    row->deleteLater();
    if (RunningCount() == 0)
        hide();
    else
        adjustSize();
}

void DownloadProgressWindow::CancelAll()
{
    for (auto* row : findChildren<DownloadProgressRow*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (row->Download())
            row->Download()->cancel();
    }
}
