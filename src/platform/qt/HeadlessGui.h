#pragma once
// Drawing text into images needs a QGuiApplication. Tools without a window call this first.

namespace tonewell {

// When no Qt application exists yet, creates a QGuiApplication on the offscreen platform (no
// display needed, the same fonts whatever the desktop) that lives until the program ends, and
// keeps Qt's warnings off stderr. Does nothing when one exists. Call on the thread that draws.
void EnsureGuiApplication();

}  // namespace tonewell
