#include "report/start_url.h"

#include "identity/device_identity.h"
#include "launch/build_config.h"
#include "launch/launch_state.h"
#include "platform/code_page.h"
#include "platform/exchange_message.h"
#include "platform/message_box.h"
#include "report/report_text.h"

namespace {

std::u16string AsciiToWide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

}

ReportValues ReportValuesOf(const DeviceIdentityRecord& identity)
{
    ReportValues values;
    values.id = ToNarrow(identity.MachineId);
    values.pid = ToNarrow(identity.MacHash);
    values.d = ToNarrow(identity.DiskHash);
    values.cpu = ToNarrow(identity.TimeToken);
    values.mixedMacs = ToNarrow(ToWide(identity.MacText));
    values.winAccount = ToNarrow(identity.WinAccount);
    values.winDomain = ToNarrow(identity.WinDomain);
    return values;
}

std::optional<ComposedReport> ComposeDeviceReport(const IdentitySources& sources,
                                                const std::function<bool()>& readLaunchSettings)
{
    if (!ReadAccountAndDomain(sources))
        return std::nullopt;
    if (!readLaunchSettings())
        return std::nullopt;
    GatherDeviceValues(sources);

    const ReportValues values = ReportValuesOf(DeviceIdentity);
    ComposedReport report;
    report.request.body = ComposeReportBody(values);
    const std::string query = ComposeStartQuery(values.id, values.pid, values.cpu);

    // Asked once more for its messages alone; nothing below uses the text.
    QueryMacText(DeviceIdentity.MacText, sources.listAdapters());

    report.siteAddress = ComposeSiteAddress(LaunchState.HttpServer, LaunchState.Port, LaunchState.Path);
    report.request.address = ToNarrow(report.siteAddress);
    report.startUrl = report.siteAddress + u"?" + AsciiToWide(query);
    return report;
}

bool ApplyReportOutcome(const ComposedReport& report, HttpExchangeOutcome outcome)
{
    if (outcome == HttpExchangeOutcome::SendFailed)
        LaunchState.StartUrl = AsciiToWide(BuildConfig::kFallbackUrl);
    if (outcome != HttpExchangeOutcome::Sent) {
        if (const auto message = ExchangeFailureMessage(outcome, report.siteAddress))
            ShowMessageBox(*message);
        return false;
    }
    LaunchState.StartUrl = report.startUrl;
    return true;
}

bool ReportOutcomeShowsMessage(HttpExchangeOutcome outcome)
{
    return ExchangeFailureMessage(outcome, std::u16string()).has_value();
}

bool PrepareStartUrl(const IdentitySources& sources, const std::function<bool()>& readLaunchSettings,
                     HttpExchange exchange)
{
    const std::optional<ComposedReport> report = ComposeDeviceReport(sources, readLaunchSettings);
    return report && ApplyReportOutcome(*report, exchange(report->request).outcome);
}
