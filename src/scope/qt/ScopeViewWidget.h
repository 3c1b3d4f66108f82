#pragma once
// The oscilloscope's window: the plot pane over CScopeView, with the time bar at its bottom.
// UI thread; the view must outlive the widget.

#include "plot/qt/PlotPaneWidget.h"

namespace tonewell {

class CScopeView;

// What the widget says about taps, for its help text.
inline constexpr const char* kScopeTapHelp =
    "Tap the plot to place cursor 1; with Caps Lock on, or with Shift held, the tap places cursor 2. "
    "Tap above the plot to switch between Mean/RMS and Max/Min, above its left or right corner to "
    "measure channel A or B, and anywhere else outside it to clear the cursors.";

class ScopeViewWidget : public PlotPaneWidget {
    Q_OBJECT
public:
    explicit ScopeViewWidget(CScopeView& view, QWidget* parent = nullptr);

    QScrollBar* timeBar() const { return horizontalBar(); }
};

}  // namespace tonewell
