#include "app/vantor.h"

#include <cstdint>
#include <memory>
#include <optional>

#include <QEventLoop>

#include "browser/cefbrowserapp.h"
#include "browser/vantordlg.h"
#include "config/config_file.h"
#include "config/dialog_info.h"
#include "config/site_lookup_window.h"
#include "config/site_provisioning.h"
#include "identity/identity_sources_linux.h"
#include "launch/launch_state.h"
#include "platform/background_exchange.h"
#include "platform/http_exchange.h"
#include "report/start_url.h"

CVantorApp theApp;

namespace {

std::int32_t s_nInitCount = 0;

// PostForm on a worker thread; the windows stay live until the answer is in.
HttpExchangeResult PostFormWhileWindowsRun(const HttpExchangeRequest& request)
{
    HttpExchangeResult result;
    QEventLoop answered;
    const BackgroundExchange exchange(PostForm, request, [&](const HttpExchangeResult& answer) {
        result = answer;
        answered.quit();
    });
    answered.exec();
    return result;
}

void ProvisionSite()
{
    CDIalog_info dialog;
    dialog.exec();
    LaunchState.SiteCode = dialog.m_strCode;
    SiteLookupWindow lookupWindow;
    lookupWindow.ShowInPlaceOf(dialog);
    LookUpSiteServer(LaunchState.SiteCode, PostFormWhileWindowsRun);
}

// The configuration of this start, after provisioning when none is there.
ConfigFile PrepareStart()
{
    const std::u16string configPath = GetConfigFilePath();
    ConfigFile config = ReadConfigFile(configPath);
    if (ReadServerSetting(config).empty()) {
        ProvisionSite();
        // Provisioning may have written the file.
        config = ReadConfigFile(configPath);
    }
    return config;
}

// Brings the report's outcome and the main window together: the engine
// starts between the report's sending and the window's making.
struct StartUrlTarget {
    CVantorDlg* window = nullptr;
    bool decided = false;  // LaunchState.StartUrl is final

    void Decided()
    {
        decided = true;
        if (window)
            window->OpenStartUrl();
    }

    void WindowMade(CVantorDlg& mainWindow)
    {
        window = &mainWindow;
        if (decided)
            mainWindow.OpenStartUrl();
    }
};

// Composes the device report here, on this thread, with its messages, and
// sends it on a worker; its outcome is applied, and the start URL opened,
// when it comes back. Nothing runs in the background when the report stops
// before its exchange.
std::unique_ptr<BackgroundExchange> StartDeviceReport(const ConfigFile& config, StartUrlTarget& target)
{
    std::optional<ComposedReport> report =
        ComposeDeviceReport(LinuxIdentitySources(), [&config] { return ReadLaunchSettings(config); });
    if (!report) {
        target.Decided();
        return nullptr;
    }
    HttpExchangeRequest request = report->request;
    return std::make_unique<BackgroundExchange>(
        PostForm, std::move(request), [composed = std::move(*report), &target](const HttpExchangeResult& result) {
            ApplyReportOutcome(composed, result.outcome);
            target.Decided();
        });
}

// A report already answered opens its start URL with the window's first show,
// with no waiting page before it. An outcome with a message waits for the
// window, to show over it.
void TakeAnswerBeforeShow(BackgroundExchange& report)
{
    const std::optional<HttpExchangeResult> result = report.EndedResult();
    if (result && !ReportOutcomeShowsMessage(result->outcome))
        report.HandOverNow();
}

}

bool CVantorApp::InitInstance()
{
    if (s_nInitCount != 0)
        return false;
    s_nInitCount = 1;

    const ConfigFile config = PrepareStart();

    // The report travels while the engine starts and the window is made.
    StartUrlTarget target;
    std::unique_ptr<BackgroundExchange> report = StartDeviceReport(config, target);
    CCefBrowserApp browserApp;
    browserApp.Initialize();

    CVantorDlg mainWindow(browserApp.Profile());
    target.WindowMade(mainWindow);
    if (report)
        TakeAnswerBeforeShow(*report);
    mainWindow.exec();
    // A report still in flight is abandoned before the window goes.
    report.reset();
    return false;
}
