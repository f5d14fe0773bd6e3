#include "app/vantor.h"

#include <cstdint>

#include "app/launch_state.h"
#include "browser/cefbrowserapp.h"
#include "browser/vantordlg.h"
#include "config/config_file.h"
#include "config/dialog_info.h"
#include "config/site_provisioning.h"
#include "report/start_url.h"

CVantorApp theApp;

namespace {

std::int32_t s_nInitCount = 0;

void ProvisionSite()
{
    CDIalog_info dialog;
    dialog.exec();
    LaunchState.SiteCode = dialog.m_strCode;
    LookUpSiteServer(LaunchState.SiteCode);
}

}

bool CVantorApp::InitInstance()
{
    if (s_nInitCount != 0)
        return false;
    s_nInitCount = 1;

    CCefBrowserApp browserApp;
    browserApp.Initialize();

    const std::u16string configPath = GetConfigFilePath();
    if (ReadServerSetting(configPath).empty())
        ProvisionSite();

    PrepareStartUrl();

    CVantorDlg mainWindow(browserApp.Profile());
    mainWindow.exec();
    return false;
}
