#pragma once

#include "platform/message_box.h"

#include <string>
#include <vector>

// Records the texts of the message boxes shown while it lives.
class MessageRecorder {
public:
    MessageRecorder()
    {
        Texts().clear();
        SetMessageBoxSink([](const std::u16string& text) { Texts().push_back(text); });
    }
    ~MessageRecorder() { SetMessageBoxSink(nullptr); }

    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<std::u16string>& texts() const { return Texts(); }

private:
    static std::vector<std::u16string>& Texts()
    {
        static std::vector<std::u16string> texts;
        return texts;
    }
};
