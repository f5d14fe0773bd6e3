#pragma once

#include <string>

// The program's one modal message: a warning with a single OK button. The Qt
// layer installs the real box; tests install a recorder.
using MessageBoxSink = void (*)(const std::u16string& text);

void SetMessageBoxSink(MessageBoxSink sink);
void ShowMessageBox(const std::u16string& text);
