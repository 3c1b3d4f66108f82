#pragma once
// A Qt scroll bar's actions handed to its ScrollBarControl as the user's scrolling. The model
// decides where the bar stands, so the bar is put back to the model's position afterwards.
// UI thread.

#include "controls/ScrollBarControl.h"

class QScrollBar;

namespace tonewell {

// The longest thumb move handed over in one report when positions travel in 16 bits: the view
// rebuilds a full position from 16 bits only for moves shorter than that.
inline constexpr int kLongestThumbStep = 12000;

// action is a QAbstractSlider::SliderAction. A drag of a bar whose model takes the thumb in 16
// bits (sixteenBitThumb) is handed over in steps of at most kLongestThumbStep.
void ForwardScrollAction(QScrollBar& bar, ScrollBarControl& model, int action, bool sixteenBitThumb);

}  // namespace tonewell
