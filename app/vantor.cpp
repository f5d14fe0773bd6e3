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

// Composes the device report here, on this thread, with its messages, and
// sends it on a worker; the outcome is applied, with its message over the main
// window, and the start URL opened once the window runs. Nothing runs in the
// background when the report stops before its exchange.
std::unique_ptr<BackgroundExchange> StartDeviceReport(const ConfigFile& config, CVantorDlg& mainWindow)
{
    std::optional<ComposedReport> report =
        ComposeDeviceReport(LinuxIdentitySources(), [&config] { return ReadLaunchSettings(config); });
    if (!report) {
        mainWindow.OpenStartUrl();
        return nullptr;
    }
    HttpExchangeRequest request = report->request;
    return std::make_unique<BackgroundExchange>(
        PostForm, std::move(request),
        [composed = std::move(*report), &mainWindow](const HttpExchangeResult& result) {
            ApplyReportOutcome(composed, result.outcome);
            mainWindow.OpenStartUrl();
        });
}

}

bool CVantorApp::InitInstance()
{
    if (s_nInitCount != 0)
        return false;
    s_nInitCount = 1;

    CCefBrowserApp browserApp;
    browserApp.Initialize();

    const ConfigFile config = PrepareStart();

    CVantorDlg mainWindow(browserApp.Profile());
    // Sent before the window's first show, which sets up its drawing for a
    // while; the outcome comes back once the window runs. Destroyed before the
    // window: a report still in flight is abandoned.
    const std::unique_ptr<BackgroundExchange> report = StartDeviceReport(config, mainWindow);
    mainWindow.exec();
    return false;
}
