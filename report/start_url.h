#pragma once

#include <functional>
#include <optional>
#include <string>

#include "identity/device_identity.h"
#include "identity/identity_sources.h"
#include "platform/http_exchange.h"
#include "report/report_text.h"

// The device report, composed and waiting for its exchange.
struct ComposedReport {
    HttpExchangeRequest request;
    std::u16string siteAddress;
    std::u16string startUrl;  // the site address with the identity query
};

// The report's values: the identity fields in the system code page.
ReportValues ReportValuesOf(const DeviceIdentityRecord& identity);

// Gathers the identity from `sources`, fills the launch settings with
// `readLaunchSettings` (between the two identity phases) and composes the
// report. Nothing when a step stops the start URL (it has shown its message).
std::optional<ComposedReport> ComposeDeviceReport(const IdentitySources& sources,
                                                const std::function<bool()>& readLaunchSettings);

// Sets LaunchState.StartUrl from the outcome of the report's exchange and
// shows the outcome's message, if it has one. True when the report was sent.
bool ApplyReportOutcome(const ComposedReport& report, HttpExchangeOutcome outcome);

// Whether applying `outcome` shows a message.
bool ReportOutcomeShowsMessage(HttpExchangeOutcome outcome);

// The two steps above around one exchange through `exchange`, on this thread.
bool PrepareStartUrl(const IdentitySources& sources, const std::function<bool()>& readLaunchSettings,
                     HttpExchange exchange);
