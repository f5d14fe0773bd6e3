// Placeholder until the device report lands.
#include "report/start_url.h"

bool PrepareStartUrl() { return false; }
