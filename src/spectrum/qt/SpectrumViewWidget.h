#pragma once
// The spectrum analyser's window: the plot pane over CSpectrumView, with the frequency bar at its
// bottom; double taps open the axis dialogs. UI thread; the view must outlive the widget.

#include "plot/qt/PlotPaneWidget.h"

namespace tonewell {

class CSpectrumView;

// What the widget says about taps, for its help text.
inline constexpr const char* kSpectrumTapHelp =
    "Tap the plot to place cursor 1; with Caps Lock on, or with Shift held, the tap places cursor 2. "
    "Tap above the plot's left or right corner to measure channel A or B, and anywhere else outside "
    "it to clear the cursors. Double-tap below the plot for the X axis scale, beside it for the Y "
    "axis scale.";

class SpectrumViewWidget : public PlotPaneWidget {
    Q_OBJECT
public:
    explicit SpectrumViewWidget(CSpectrumView& view, QWidget* parent = nullptr);

    QScrollBar* frequencyBar() const { return horizontalBar(); }
};

}  // namespace tonewell
