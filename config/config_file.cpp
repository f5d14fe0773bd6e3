// Placeholder until the configuration file lands.
#include "config/config_file.h"

std::u16string GetConfigFilePath() { return u"QLX32-bs.ini"; }
std::u16string ReadServerSetting(const std::u16string&) { return u"placeholder"; }
bool ReadLaunchSettings() { return false; }
WriteConfigResult WriteConfigFile(const std::u16string&) { return WriteConfigResult::NotOpened; }
