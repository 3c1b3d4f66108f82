#pragma once
// The Caps Lock toggle, which picks the second measurement cursor of a tap. UI thread.

#include <optional>

class QWidget;

namespace tonewell {

// Whether Caps Lock is on, where the platform can tell: on X11 from the modifier state of a
// pointer query on the window's connection; otherwise from a keyboard's Caps Lock light under
// /sys/class/leds. Nothing when neither can tell (then only Shift+click picks cursor 2).
std::optional<bool> CapsLockState(const QWidget* widget);

}  // namespace tonewell
