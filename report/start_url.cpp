#include "report/start_url.h"

#include "app/build_config.h"
#include "app/launch_state.h"
#include "config/config_file.h"
#include "identity/conversions.h"
#include "identity/device_identity.h"
#include "identity/identity_sources_linux.h"
#include "platform/message_box.h"
#include "report/http_exchange.h"
#include "report/report_text.h"

namespace {

std::u16string AsciiToWide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

}

bool PrepareStartUrl()
{
    return PrepareStartUrl(LinuxIdentitySources());
}

bool PrepareStartUrl(const IdentitySources& sources)
{
    if (!ReadAccountAndDomain(sources))
        return false;
    if (!ReadLaunchSettings())
        return false;
    GatherDeviceValues(sources);

    const DeviceIdentityRecord& identity = DeviceIdentity;
    ReportValues values;
    values.id = ToNarrow(identity.MachineId);
    values.pid = ToNarrow(identity.MacHash);
    values.d = ToNarrow(identity.DiskHash);
    values.cpu = ToNarrow(identity.TimeToken);
    values.mixedMacs = ToNarrow(ToWide(identity.MacText));
    values.winAccount = ToNarrow(identity.WinAccount);
    values.winDomain = ToNarrow(identity.WinDomain);
    HttpExchangeRequest report;
    report.body = ComposeReportBody(values);
    const std::string query = ComposeStartQuery(values.id, values.pid, values.cpu);

    // Asked once more for its messages alone; nothing below uses the text.
    QueryMacText(DeviceIdentity.MacText, sources.listAdapters());

    const std::u16string siteAddress =
        ComposeSiteAddress(LaunchState.HttpServer, LaunchState.Port, LaunchState.Path);
    report.address = ToNarrow(siteAddress);

    switch (PostForm(report).outcome) {
    case HttpExchangeOutcome::SplitFailed:
        ShowMessageBox(siteAddress);
        return false;
    case HttpExchangeOutcome::NoConnection:
        ShowMessageBox(u"无法连接到主服务器");
        return false;
    case HttpExchangeOutcome::NoRequest:
        ShowMessageBox(u"找不到网址");
        return false;
    case HttpExchangeOutcome::SendFailed:
        LaunchState.StartUrl = AsciiToWide(BuildConfig::kFallbackUrl);
        return false;
    case HttpExchangeOutcome::Sent:
        break;
    }
    LaunchState.StartUrl = siteAddress + u"?" + AsciiToWide(query);
    return true;
}
