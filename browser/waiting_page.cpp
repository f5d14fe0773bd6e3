#include "browser/waiting_page.h"

#include <QBuffer>
#include <QPixmap>

#include "res/app_icon.h"

namespace {

constexpr int kIconPixels = 64;

// A data: URI, so that showing the page asks nothing of any server.
QString IconDataUri()
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    AppIcon().pixmap(kIconPixels, kIconPixels).save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

QString PageHtml(const QString& body)
{
    return QStringLiteral(
               "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
               "<title>栖澜浏览器</title><link rel=\"icon\" href=\"data:,\"><style>"
               "html,body{height:100%;margin:0;background:#fff}"
               "body{display:flex;flex-direction:column;align-items:center;justify-content:center;"
               "font:16px sans-serif;color:#555}"
               "img{width:64px;height:64px;margin-bottom:16px}"
               "</style></head><body>%1</body></html>")
        .arg(body);
}

}

QString WaitingPageHtml()
{
    return PageHtml(QStringLiteral("<img alt=\"\" src=\"%1\"><div>正在连接服务器…</div>").arg(IconDataUri()));
}

QString BlankPageHtml()
{
    return PageHtml(QString());
}
