// The launcher's own steps before its page load, each timed at its first call
// in a fresh process, as a start makes them, in the folder the launcher starts
// in (its QLX32-bs.ini names the site server).
//
//   startup_steps_bench steps     "configuration S", "identity S", "libcurl S",
//                                 "report S"
//   startup_steps_bench together  "together S": start-up's read of the server
//                                 entry and PrepareStartUrl, as start-up calls them
//
// S in seconds, one line each. A message the steps show goes to standard
// error and makes the run fail.
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "config/config_file.h"
#include "identity/device_identity.h"
#include "identity/identity_sources_linux.h"
#include "launch/launch_state.h"
#include "platform/code_page.h"
#include "platform/curl_library.h"
#include "platform/http_exchange.h"
#include "platform/message_box.h"
#include "platform/qt_services.h"
#include "report/report_text.h"
#include "report/start_url.h"

namespace {

using Clock = std::chrono::steady_clock;

bool s_messageShown = false;

void PrintMessage(const std::u16string& text)
{
    s_messageShown = true;
    std::fprintf(stderr, "message: %s\n", QString::fromStdU16String(text).toUtf8().constData());
}

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool TimeSteps()
{
    Clock::time_point start = Clock::now();
    const ConfigFile config = ReadConfigFile(GetConfigFilePath());
    const bool provisioned = !ReadServerSetting(config).empty();
    const bool configured = provisioned && ReadLaunchSettings(config);
    const double configuration = SecondsSince(start);

    start = Clock::now();
    const IdentitySources sources = LinuxIdentitySources();
    const bool identified = ReadAccountAndDomain(sources);
    GatherDeviceValues(sources);
    const double identity = SecondsSince(start);

    // The launcher loads libcurl at the report's first exchange, on its worker.
    start = Clock::now();
    const bool loaded = LoadCurlLibrary() != nullptr;
    const double library = SecondsSince(start);

    start = Clock::now();
    HttpExchangeRequest report;
    report.body = ComposeReportBody(ReportValuesOf(DeviceIdentity));
    report.address = ToNarrow(
        ComposeSiteAddress(LaunchState.HttpServer, LaunchState.Port, LaunchState.Path));
    const bool sent = PostForm(report).outcome == HttpExchangeOutcome::Sent;
    const double exchange = SecondsSince(start);

    std::printf("configuration %.9f\nidentity %.9f\nlibcurl %.9f\nreport %.9f\n", configuration, identity,
                library, exchange);
    return configured && identified && loaded && sent;
}

bool TimeTogether()
{
    const Clock::time_point start = Clock::now();
    const ConfigFile config = ReadConfigFile(GetConfigFilePath());
    const bool sent = !ReadServerSetting(config).empty()
        && PrepareStartUrl(LinuxIdentitySources(), [&config] { return ReadLaunchSettings(config); },
                           PostForm);
    std::printf("together %.9f\n", SecondsSince(start));
    return sent;
}

}

int main(int argc, char* argv[])
{
    // As in the launcher: the locale set by the application object, and the
    // identity step's event pump.
    QApplication application(argc, argv);
    InstallEventPump();
    SetMessageBoxSink(PrintMessage);
    // Qt's first pass of the event loop loads the font configuration (about
    // 10 ms), a cost of any Qt window, not of the identity step whose pump
    // would otherwise run it here.
    QCoreApplication::processEvents();

    bool succeeded = false;
    if (argc == 2 && std::strcmp(argv[1], "steps") == 0) {
        succeeded = TimeSteps();
    } else if (argc == 2 && std::strcmp(argv[1], "together") == 0) {
        succeeded = TimeTogether();
    } else {
        std::fprintf(stderr, "usage: startup_steps_bench steps|together\n");
        return 2;
    }
    return succeeded && !s_messageShown ? 0 : 1;
}
