#pragma once

#include "platform/input_method/input_method.h"

#include <memory>

// The input method Qt hands the program's keys to, which QT_IM_MODULE names for Qt as the
// desktop set it up: Fcitx 5 ("fcitx", "fcitx5") or IBus ("ibus"). Any other, or none, is
// an input method that cannot be asked, and nothing is done.
std::unique_ptr<IInputMethod> runningInputMethod();
