#pragma once

#include <string>

// The device report and the start URL's query, composed from code-page bytes.
// Every value is form-encoded, so a '&', '=', blank or line feed inside a value
// reaches the server as part of that value.

struct ReportValues {
    std::string id;
    std::string pid;
    std::string d;
    std::string cpu;
    std::string mixedMacs;
    std::string winAccount;
    std::string winDomain;
};

// application/x-www-form-urlencoded form of one value: letters, digits and
// "*-._" stay, a blank becomes '+', every other byte becomes %XX.
std::string FormEncode(const std::string& bytes);

// "id=..&pid=..&d=..&cpu=..&MixedMACs=..&WinAccount=..&WinDomain=.."
std::string ComposeReportBody(const ReportValues& values);

// "version=1.20140927&id=..&pid=..&cpu=.."
std::string ComposeStartQuery(const std::string& id, const std::string& pid,
                              const std::string& cpu);

// "http://" host ":" port path, nothing else between them.
std::u16string ComposeSiteAddress(const std::u16string& host, const std::u16string& port,
                                  const std::u16string& path);
