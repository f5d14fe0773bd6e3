#include "app/launch_state.h"

LaunchStateRecord LaunchState;
