#include "platform/message_box.h"

#include <cstdio>

namespace {

void WriteToStandardError(const std::u16string& text)
{
    // Without a window system the text still reaches someone.
    std::string bytes;
    for (char16_t unit : text)
        bytes.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    std::fprintf(stderr, "%s\n", bytes.c_str());
}

MessageBoxSink g_sink = WriteToStandardError;

}

void SetMessageBoxSink(MessageBoxSink sink)
{
    g_sink = sink ? sink : WriteToStandardError;
}

void ShowMessageBox(const std::u16string& text)
{
    g_sink(text);
}
