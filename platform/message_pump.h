#pragma once

// Long computations on the UI thread hand pending window events to the
// application between steps; the Qt layer installs the real pump.
using MessagePump = void (*)();

void SetMessagePump(MessagePump pump);
void PumpMessages();
