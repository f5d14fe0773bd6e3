// Placeholder until site provisioning lands.
#include "config/site_provisioning.h"

bool LookUpSiteServer(std::u16string) { return false; }
