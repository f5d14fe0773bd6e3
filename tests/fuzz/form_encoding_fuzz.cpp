// Form encoding of the report's values, whatever bytes they hold: each value
// decodes back to itself and stays one field.

#include "report/report_text.h"
#include "tests/fuzz/fuzz_locale.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsPlain(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '*'
        || c == '-' || c == '.' || c == '_';
}

// The server's reading of one encoded value.
std::string FormDecode(const std::string& encoded)
{
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%') {
            FUZZ_CHECK(i + 2 < encoded.size());
            const int high = HexValue(encoded[i + 1]);
            const int low = HexValue(encoded[i + 2]);
            FUZZ_CHECK(high >= 0 && low >= 0);
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            FUZZ_CHECK(IsPlain(c));
            decoded += c;
        }
    }
    return decoded;
}

std::vector<std::string> Fields(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('&', start);
        fields.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

void CheckField(const std::string& field, const std::string& name, const std::string& value)
{
    FUZZ_CHECK(field.rfind(name + "=", 0) == 0);
    FUZZ_CHECK(FormDecode(field.substr(name.size() + 1)) == value);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    ReportValues values;
    std::string* const members[] = {&values.id,        &values.pid,        &values.d,
                                    &values.cpu,       &values.mixedMacs,  &values.winAccount,
                                    &values.winDomain};
    for (std::string* member : members)
        *member = input.ConsumeRandomLengthString(256);

    const char* const names[] = {"id", "pid", "d", "cpu", "MixedMACs", "WinAccount", "WinDomain"};
    const std::vector<std::string> body = Fields(ComposeReportBody(values));
    FUZZ_CHECK(body.size() == 7);
    for (std::size_t i = 0; i < body.size(); ++i)
        CheckField(body[i], names[i], *members[i]);

    const std::vector<std::string> query = Fields(ComposeStartQuery(values.id, values.pid, values.cpu));
    FUZZ_CHECK(query.size() == 4);
    FUZZ_CHECK(query[0] == "version=1.20140927");
    CheckField(query[1], "id", values.id);
    CheckField(query[2], "pid", values.pid);
    CheckField(query[3], "cpu", values.cpu);
    return 0;
}
