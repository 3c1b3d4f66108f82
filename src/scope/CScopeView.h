#pragma once
// The oscilloscope view: the record of the document as a time-domain picture (a 4 x 4 grid, the
// traces of channels A and B, A+B, A-B or a Lissajous figure of A against B, axis labels with
// units, the title, the Mean/RMS or Max/Min lines, two cursors with their readout, trigger
// markers), scaled by the settings its bars' controller hands it and scrolled by a time bar and
// an A and a B bar. A drawing pass first prepares the picture (layout, trace points, cursor pixels), then
// draws it without changing anything, through a Canvas, so the same picture goes to the window,
// to a PNG file and to a recording canvas in tests. UI thread only; the parts it is given must
// outlive it.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/SignalDoc.h"
#include "platform/Canvas.h"
#include "platform/Shell.h"
#include "plot/MeasurementReadout.h"
#include "plot/PlotCursor.h"
#include "plot/PlotFrame.h"
#include "plot/PlotGeometry.h"
#include "plot/PointBuffers.h"
#include "plot/PlotView.h"
#include "scope/ScopeFrameHooks.h"
#include "scope/ScopeSettings.h"
#include "shared/InstrumentConfiguration.h"
#include "shared/ProgramState.h"
#include "shared/RangeCode.h"

namespace tonewell {

inline constexpr int kScopeScrollBarAId = 65043;
inline constexpr int kScopeScrollBarBId = 65044;

// What the view reads and writes besides its own state.
struct ScopeViewParts {
    const CSignalDoc& document;                 // the record, its statistics and note
    const AcquisitionParameters& acquisition;   // trigger settings, levelEdited, samplingRate, samplingBits
    InstrumentConfiguration& configuration;     // colours, onePointPerRaster, input calibration
    RedrawState& redraw;                        // scopePendingDraws
    const PaneFlags& panes;                     // a hidden pane draws nothing
    Shell& shell;
};

class CScopeView : public PlotView {
public:
    explicit CScopeView(const ScopeViewParts& parts);

    // The frame the view lives in (may be null: drawn as if its pane were shown).
    void setFrameHooks(ScopeFrameHooks* hooks) { frameHooks_ = hooks; }

    // A new, opened or reformatted record: the bars hidden, the point arrays allocated at their
    // minimum, the scroll bars back at their start, no pending draw; false (after reporting
    // exhausted memory) when the arrays could not be had.
    bool reset();
    // The scales to draw with: the bars rescale to new multipliers and cursors on a channel now
    // "Off" go.
    void apply(const ScopeSettings& settings);
    const ScopeSettings& settings() const { return settings_; }
    // The tone measurements of the record, whose frequencies join the Mean/RMS and Max/Min
    // lines of channels shown apart (not A+B or A-B).
    void setReadout(MeasurementReadout readout);
    // A tap: above the plot Mean/RMS and Max/Min swap, above its corners the cursor channel
    // changes, on the plot a cursor is set, anywhere else the cursors go.
    void OnLButtonDown(std::int32_t x, std::int32_t y, bool secondCursor) override;

    // Seconds (Lissajous: channel-A volts) at a column.
    float PixelToTime(std::int32_t x) const;
    // Volts at a row, and back (Lissajous: both use the B scale).
    float PixelToValueA(std::int32_t y) const;
    float PixelToValueB(std::int32_t y) const;
    std::int32_t ValueToPixelA(float v) const;

    // An arrow of the given length pointing up (negative size: down) from a short base line at
    // (x, y), in a one-pixel pen of the colour.
    static void DrawArrowMarker(Canvas& canvas, std::int32_t x, std::int32_t y, std::int32_t size, Colour colour);

private:
    // The mapping of one channel's codes to pixels: pixel = origin + code x scale.
    struct ChannelScale {
        double origin = 0.0;
        double scale = 0.0;
    };

    // Not while the pane is hidden, nor while the frame first gives the pane the whole height.
    bool mayDraw() override;
    // Layout, trace points, cursor pixels and the trigger instant for the canvas's size; shows
    // the out-of-memory message (and falls back to one point per column) when points run out.
    void prepare(const Canvas& canvas) override;
    void computeTracePoints();
    std::uint32_t fillTrace(CanvasPoint* out, int channel, const ChannelScale& scale) const;

    void draw(Canvas& canvas) const override;
    // The trigger level and instant are marked (a trigger mode, type 0, a level set).
    bool triggerMarked() const;
    void drawTraces(Canvas& canvas, const PlotColours& colours) const;
    void drawTitle(Canvas& canvas, const PlotColours& colours) const;
    void drawMeasurementLines(Canvas& canvas, const PlotColours& colours) const;
    void drawLabels(Canvas& canvas, const PlotColours& colours) const;
    void drawTriggerMarkers(Canvas& canvas, const PlotColours& colours) const;
    void drawCursorReadout(Canvas& canvas, const PlotColours& colours) const;

    // Record facts used all over.
    std::uint32_t sampleCount() const;
    bool recordHasA() const;
    bool recordHasB() const;
    double sampleInterval() const;

    // Pieces of the scales.
    double timeOffsetPixels() const;     // XOFF
    double secondsPerPixel() const;      // xRange / xMultiplier / W
    double voltsPerPixelA() const;       // Lissajous: per column
    double voltsPerPixelB() const;
    double zeroA() const;                // Y0 of A (Lissajous: X0, a column)
    double zeroB() const;
    ChannelScale codeScale(int channel) const;
    std::int32_t TimeToPixel(float t) const;
    std::int32_t ValueToPixelB(float v) const;


    ScopeViewParts parts_;
    ScopeFrameHooks* frameHooks_ = nullptr;

    std::vector<CanvasPoint> lissajousPoints_;  // (A column, B row) pairs of the figure
    bool rasterMode_ = false;

    ScopeSettings settings_;
    MeasurementReadout readout_;
    bool showMaxMin_ = false;
    std::int32_t triggerMarkerX_ = 0;
};

}  // namespace tonewell
