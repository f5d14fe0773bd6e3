#include "report/report_text.h"

namespace {

bool StaysAsIs(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '*' || byte == '-' || byte == '.' ||
           byte == '_';
}

}

std::string FormEncode(const std::string& bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (StaysAsIs(byte)) {
            encoded.push_back(c);
        } else if (byte == ' ') {
            encoded.push_back('+');
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 0x0F]);
        }
    }
    return encoded;
}

std::string ComposeReportBody(const ReportValues& values)
{
    return "id=" + FormEncode(values.id) + "&pid=" + FormEncode(values.pid) +
           "&d=" + FormEncode(values.d) + "&cpu=" + FormEncode(values.cpu) +
           "&MixedMACs=" + FormEncode(values.mixedMacs) +
           "&WinAccount=" + FormEncode(values.winAccount) +
           "&WinDomain=" + FormEncode(values.winDomain);
}

std::string ComposeStartQuery(const std::string& id, const std::string& pid,
                              const std::string& cpu)
{
    return "version=1.20140927&id=" + FormEncode(id) + "&pid=" + FormEncode(pid) +
           "&cpu=" + FormEncode(cpu);
}

std::u16string ComposeSiteAddress(const std::u16string& host, const std::u16string& port,
                                  const std::u16string& path)
{
    return u"http://" + host + u":" + port + path;
}
