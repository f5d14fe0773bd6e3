#include "tools/site_server/site_routes.h"

#include <iconv.h>
#include <json/json.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "tools/site_server/demo_routes.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A '%' that does not start a valid escape stays as it is.
std::string PercentDecode(const std::string& text, bool plusIsBlank)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0
            && HexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else if (text[i] == '+' && plusIsBlank) {
            bytes += ' ';
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

std::vector<std::pair<std::string, std::string>> ParseForm(const std::string& body)
{
    std::vector<std::pair<std::string, std::string>> fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        const std::size_t end = std::min(body.find('&', start), body.size());
        const std::string field = body.substr(start, end - start);
        const std::size_t equals = std::min(field.find('='), field.size());
        if (!field.empty())
            fields.emplace_back(PercentDecode(field.substr(0, equals), true),
                                PercentDecode(field.substr(std::min(equals + 1, field.size())), true));
        start = end + 1;
    }
    return fields;
}

std::optional<std::string> ToUtf8(const std::string& bytes, const char* codeset)
{
    const iconv_t converter = iconv_open("UTF-8", codeset);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string text(bytes.size() * 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = text.data();
    std::size_t outLeft = text.size();
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<std::size_t>(-1))
        return std::nullopt;
    text.resize(text.size() - outLeft);
    return text;
}

// UTF-8 as it stands, else GBK, else every byte above 0x7F as \xHH.
std::string Readable(const std::string& bytes)
{
    if (std::optional<std::string> text = ToUtf8(bytes, "UTF-8"))
        return *text;
    if (std::optional<std::string> text = ToUtf8(bytes, "GBK"))
        return *text;
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const unsigned char c : bytes) {
        if (c < 0x80)
            text += static_cast<char>(c);
        else
            text += std::string("\\x") + kHex[c >> 4] + kHex[c & 0x0F];
    }
    return text;
}

// One line per event: control characters (the MAC text's line feed) escaped.
std::string ForLogLine(const std::string& text)
{
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string line;
    for (const unsigned char c : text) {
        if (c == '\n')
            line += "\\n";
        else if (c == '\\')
            line += "\\\\";
        else if (c < 0x20 || c == 0x7F)
            line += std::string("\\x") + kHex[c >> 4] + kHex[c & 0x0F];
        else
            line += static_cast<char>(c);
    }
    return line;
}

std::string HtmlEscape(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string JsonText(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, value);
}

std::string HtmlPage(const std::string& title, const std::string& content)
{
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>"
        + HtmlEscape(title) + "</title></head>\n<body>\n" + content + "</body></html>\n";
}

// The text between <title> and </title>, or the file's name.
std::string PageTitle(const std::filesystem::path& file)
{
    std::ifstream stream(file);
    const std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    const std::size_t open = text.find("<title>");
    const std::size_t close = text.find("</title>");
    if (open == std::string::npos || close == std::string::npos || close < open)
        return file.filename().string();
    return text.substr(open + 7, close - open - 7);
}

// Links to the pages of the demo folder, served under /demo/, by file name.
std::string DemoPageLinks()
{
    std::error_code error;
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(kDemoPagesFolder, error)) {
        if (entry.path().extension() == ".html")
            pages.push_back(entry.path());
    }
    if (pages.empty())
        return {};
    std::sort(pages.begin(), pages.end());
    std::string links = "<h2>功能演示</h2>\n<ul id=\"demo-pages\">\n";
    for (const std::filesystem::path& page : pages)
        links += "<li><a href=\"/demo/" + HtmlEscape(page.filename().string()) + "\">"
            + HtmlEscape(PageTitle(page)) + "</a></li>\n";
    return links + "</ul>\n";
}

void ShowLoginPage(const httplib::Request& request, httplib::Response& response)
{
    const std::string id = request.get_param_value("id");
    const std::string pid = request.get_param_value("pid");
    const std::string cpu = request.get_param_value("cpu");
    std::string content = "<h1>登录</h1>\n<dl>\n";
    const std::pair<const char*, std::string> rows[] = {
        {"version", request.get_param_value("version")}, {"id", id}, {"pid", pid}, {"cpu", cpu}};
    for (const auto& [name, value] : rows)
        content += std::string("<dt>") + name + "</dt><dd id=\"" + name + "\">"
            + HtmlEscape(Readable(value)) + "</dd>\n";
    content += "</dl>\n" + DemoPageLinks();
    response.set_content(HtmlPage(LoginPageTitle(id, pid, cpu), content), "text/html; charset=utf-8");
}

void ShowFallbackPage(const httplib::Request&, httplib::Response& response)
{
    response.set_content(HtmlPage(kFallbackPageTitle, "<h1>备用站点</h1>\n<p>站点服务器暂时无法访问。</p>\n"),
                         "text/html; charset=utf-8");
}

}  // namespace

std::string DeviceReport::field(const std::string& name) const
{
    for (const auto& [fieldName, value] : fields) {
        if (fieldName == name)
            return value;
    }
    return {};
}

std::string LoginPageTitle(const std::string& id, const std::string& pid, const std::string& cpu)
{
    return "登录 pid=" + Readable(pid) + " cpu=" + Readable(cpu) + " id=" + Readable(id);
}

SiteRoutes::SiteRoutes(std::string domain, LineSink log)
    : m_domain(std::move(domain)), m_log(std::move(log))
{
}

void SiteRoutes::install(httplib::Server& server)
{
    server.Post("/home/GetCityGuidDomain", [this](const httplib::Request& request,
                                                  httplib::Response& response) {
        answerLookup(request, response);
    });
    server.Post("/Account/LogOn", [this](const httplib::Request& request,
                                         httplib::Response& response) {
        receiveReport(request, response);
    });
    server.Get("/Account/LogOn", ShowLoginPage);
    server.Get("/fallback.html", ShowFallbackPage);
    server.set_mount_point("/demo", kDemoPagesFolder);
    InstallDemoRoutes(server);
    server.Get("/reports", [this](const httplib::Request&, httplib::Response& response) {
        showReports(response);
    });
    server.Get("/lookups", [this](const httplib::Request&, httplib::Response& response) {
        showLookups(response);
    });
}

std::vector<DeviceReport> SiteRoutes::reports() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_reports;
}

std::vector<std::string> SiteRoutes::lookups() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_lookups;
}

void SiteRoutes::answerLookup(const httplib::Request& request, httplib::Response& response)
{
    // The launcher appends the code as typed, so it is read from the target
    // itself: a '+' or '&' in it is part of the code.
    constexpr std::string_view kKey = "CityGuid=";
    const std::size_t query = request.target.find('?');
    const std::size_t key = request.target.find(kKey, query == std::string::npos ? 0 : query);
    const std::string code = query == std::string::npos || key == std::string::npos
        ? std::string()
        : PercentDecode(request.target.substr(key + kKey.size()), false);
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_lookups.push_back(code);
    }
    if (m_log)
        m_log("lookup CityGuid=" + ForLogLine(Readable(code)) + " -> Domain=" + m_domain);
    Json::Value answer(Json::objectValue);
    answer["Domain"] = m_domain;
    response.set_content(JsonText(answer), "application/json; charset=utf-8");
}

void SiteRoutes::receiveReport(const httplib::Request& request, httplib::Response& response)
{
    DeviceReport report{request.body, ParseForm(request.body)};
    std::string line = "report";
    for (const auto& [name, value] : report.fields)
        line += " " + ForLogLine(Readable(name)) + "=" + ForLogLine(Readable(value));
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_reports.push_back(std::move(report));
    }
    if (m_log)
        m_log(line);
    response.set_content("ok", "text/plain; charset=utf-8");
}

void SiteRoutes::showReports(httplib::Response& response) const
{
    Json::Value list(Json::arrayValue);
    for (const DeviceReport& report : reports()) {
        Json::Value entry(Json::objectValue);
        entry["body"] = Readable(report.body);
        entry["fields"] = Json::Value(Json::objectValue);
        for (const auto& [name, value] : report.fields) {
            if (!entry["fields"].isMember(Readable(name)))
                entry["fields"][Readable(name)] = Readable(value);
        }
        list.append(entry);
    }
    response.set_content(JsonText(list), "application/json; charset=utf-8");
}

void SiteRoutes::showLookups(httplib::Response& response) const
{
    Json::Value list(Json::arrayValue);
    for (const std::string& code : lookups())
        list.append(Readable(code));
    response.set_content(JsonText(list), "application/json; charset=utf-8");
}
