#include "app/vantor.h"

#include <cstdint>

#include "browser/cefbrowserapp.h"
#include "browser/vantordlg.h"
#include "config/config_file.h"
#include "config/dialog_info.h"
#include "config/site_provisioning.h"
#include "identity/identity_sources_linux.h"
#include "launch/launch_state.h"
#include "platform/http_exchange.h"
#include "report/start_url.h"

CVantorApp theApp;

namespace {

std::int32_t s_nInitCount = 0;

void ProvisionSite(HttpExchange exchange)
{
    CDIalog_info dialog;
    dialog.exec();
    LaunchState.SiteCode = dialog.m_strCode;
    LookUpSiteServer(LaunchState.SiteCode, exchange);
}

// The start's steps with this PC's identity sources and the one exchange.
void PrepareStart()
{
    const HttpExchange exchange = PostForm;
    const std::u16string configPath = GetConfigFilePath();
    ConfigFile config = ReadConfigFile(configPath);
    if (ReadServerSetting(config).empty()) {
        ProvisionSite(exchange);
        // Provisioning may have written the file.
        config = ReadConfigFile(configPath);
    }
    PrepareStartUrl(LinuxIdentitySources(), [&config] { return ReadLaunchSettings(config); }, exchange);
}

}

bool CVantorApp::InitInstance()
{
    if (s_nInitCount != 0)
        return false;
    s_nInitCount = 1;

    CCefBrowserApp browserApp;
    browserApp.Initialize();

    PrepareStart();

    CVantorDlg mainWindow(browserApp.Profile());
    mainWindow.exec();
    return false;
}
