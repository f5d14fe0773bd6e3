#include "browser/crash_notice.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CrashNotice::CrashNotice(QWidget& page)
    : QWidget(&page), m_reloadButton(new QPushButton(QStringLiteral("重新加载"), this))
{
    setObjectName(QStringLiteral("CrashNotice"));
    setAutoFillBackground(true);
    auto* text = new QLabel(QStringLiteral("页面已停止响应"), this);
    text->setAlignment(Qt::AlignCenter);
    QFont large = text->font();
    large.setPointSize(large.pointSize() + 4);
    text->setFont(large);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(text);
    layout->addWidget(m_reloadButton, 0, Qt::AlignHCenter);
    layout->addStretch();
    connect(m_reloadButton, &QPushButton::clicked, this, &CrashNotice::reloadClicked);
    page.installEventFilter(this);
    hide();
}

void CrashNotice::ShowOverPage()
{
    setGeometry(parentWidget()->rect());
    show();
    raise();
    m_reloadButton->setFocus();
}

bool CrashNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}
