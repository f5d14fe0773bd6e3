#include "config/site_lookup_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>

#include "res/app_icon.h"

SiteLookupWindow::SiteLookupWindow()
{
    setWindowTitle(QStringLiteral("正在查询站点"));
    setWindowIcon(AppIcon());
    // No title bar: a close box would promise a cancel there is not.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setWindowModality(Qt::ApplicationModal);

    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("正在查询站点…"), this);
    text->setObjectName(QStringLiteral("lookupText"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 18, 32, 18);
    layout->setSpacing(14);
    layout->addWidget(icon);
    layout->addWidget(text);
    setFixedSize(sizeHint());
}

void SiteLookupWindow::ShowInPlaceOf(const QWidget& dialog)
{
    QRect place = frameGeometry();
    place.moveCenter(dialog.frameGeometry().center());
    move(place.topLeft());
    show();
}

void SiteLookupWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
