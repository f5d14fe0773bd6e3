#include "config/config_text.h"

std::optional<std::string> ComposeConfigText(const std::u16string& host)
{
    std::string hostBytes;
    hostBytes.reserve(host.size());
    for (const char16_t unit : host) {
        if (unit > 0xFF || unit == u'\r' || unit == u'\n' || unit == u'\0')
            return std::nullopt;
        hostBytes.push_back(static_cast<char>(unit));
    }
    return "[QLXBSINFO]\r\n"
           "HttpServer=" + hostBytes + "\r\n"
           "Port=80\r\n"
           "Path=/Account/LogOn\r\n"
           "Para=--disable-plugins\r\n"
           "BrowserPath=";
}

std::u16string MissingFileMessage(const std::u16string& path)
{
    return u"找不到INI文件：\n" + path + u"\n请确认INI文件与启动程序在相同的目录。";
}

std::u16string MissingKeyMessage(const std::u16string& key, const std::u16string& path)
{
    return u"找不到关键字" + key + u"：\n" + path + u"\n请确认INI文件正确设置。";
}
