#pragma once

#include <httplib.h>

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The demo's directory server and office site server in one, as routes on a
// cpp-httplib server (the site_server program, or a test's own server):
//
//   POST /home/GetCityGuidDomain?CityGuid=CODE
//       {"Domain":"<domain>"} for any code; the code (percent-decoded, '+' kept)
//       is recorded.
//   POST /Account/LogOn
//       a device report: the form body with id, pid, d, cpu, MixedMACs,
//       WinAccount and WinDomain; recorded, answered with 200 and a short text.
//   GET  /Account/LogOn?version=V&id=I&pid=P&cpu=C
//       the login page; its title is LoginPageTitle(I, P, C), that is
//       "登录 pid=P cpu=C id=I", and its text shows version, id, pid and cpu.
//       Below it, links to every page of tools/demo-pages, by file name.
//   GET  /demo/NAME.html
//       a page of tools/demo-pages: each shows one capability of the launcher.
//   GET  /demo-files/...
//       the slow and broken downloads and the sign-in page of the demo pages
//       (tools/site_server/demo_routes.h).
//   GET  /fallback.html
//       the stand-in for the public fallback site, titled kFallbackPageTitle.
//   GET  /reports
//       the recorded reports, oldest first:
//       [{"body": "<form text as received>", "fields": {"id": "..", ...}}, ..]
//   GET  /lookups
//       the recorded site codes, oldest first: ["CODE", ..]
//
// Texts shown or sent as JSON are UTF-8: decoded bytes that are not UTF-8 are
// read as GBK, the charset the launcher names.

// A device report as received. The values are the decoded bytes; a field that
// comes more than once (a value sent with a raw '&') keeps every occurrence.
struct DeviceReport {
    std::string body;
    std::vector<std::pair<std::string, std::string>> fields;

    // The first value of that field, or empty.
    std::string field(const std::string& name) const;
};

inline constexpr char kFallbackPageTitle[] = "备用站点";

// "登录 pid=<pid> cpu=<cpu> id=<id>" with the values as UTF-8.
std::string LoginPageTitle(const std::string& id, const std::string& pid, const std::string& cpu);

class SiteRoutes {
public:
    // Gets one line per lookup and per report, without its line end.
    using LineSink = std::function<void(const std::string& line)>;

    explicit SiteRoutes(std::string domain, LineSink log = {});

    SiteRoutes(const SiteRoutes&) = delete;
    SiteRoutes& operator=(const SiteRoutes&) = delete;

    // The routes refer to this object, which must outlive the server.
    void install(httplib::Server& server);

    std::vector<DeviceReport> reports() const;
    std::vector<std::string> lookups() const;  // the codes as bytes

private:
    void answerLookup(const httplib::Request& request, httplib::Response& response);
    void receiveReport(const httplib::Request& request, httplib::Response& response);
    void showReports(httplib::Response& response) const;
    void showLookups(httplib::Response& response) const;

    std::string m_domain;
    LineSink m_log;
    mutable std::mutex m_mutex;
    std::vector<DeviceReport> m_reports;
    std::vector<std::string> m_lookups;
};
