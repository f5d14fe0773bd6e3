#include "launch/launch_state.h"

LaunchStateRecord LaunchState;
