#include "platform/message_pump.h"

namespace {
MessagePump g_pump = nullptr;
}

void SetMessagePump(MessagePump pump)
{
    g_pump = pump;
}

void PumpMessages()
{
    if (g_pump)
        g_pump();
}
