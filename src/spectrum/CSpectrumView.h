#pragma once
// The spectrum analyser's view: the record of the document as an amplitude or phase spectrum or
// an auto- or cross-correlation (a 4 x 4 grid, or the dB and logarithmic grids that replace it,
// one trace per shown channel, axis labels with units, the title, the peak readouts, two cursors
// with their readout), set by the settings its bars' controller hands it and scrolled by a
// frequency bar and an A and a B bar. A drawing pass first prepares the picture (the spectrum
// recomputed when spectrumDirty is set, layout, points, cursor pixels), then draws it without
// changing anything, through a Canvas, so the same picture goes to the window, to a PNG file
// and to a recording canvas in tests. UI thread only; the parts it is given must outlive it.

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <string>
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
#include "shared/InstrumentConfiguration.h"
#include "shared/ProgramState.h"
#include "shared/RangeCode.h"
#include "spectrum/SpectrumAnalysis.h"
#include "spectrum/SpectrumFrameHooks.h"
#include "spectrum/SpectrumScaleModes.h"
#include "spectrum/SpectrumSettings.h"

namespace tonewell {

inline constexpr int kSpectrumScrollBarAId = 65045;
inline constexpr int kSpectrumScrollBarBId = 65046;

// What the view reads and writes besides its own state.
struct SpectrumViewParts {
    const CSignalDoc& document;                // the record, its DC offsets and note
    SpectrumAnalysis& analysis;                // the computing state the view configures and reads
    const AcquisitionParameters& acquisition;  // samplingRate while the record is empty
    InstrumentConfiguration& configuration;    // colours, onePointPerRaster, removeDcInSpectrum
    const RunState& run;                       // inputRunning
    RedrawState& redraw;                       // spectrumPendingDraws
    const PaneFlags& panes;                    // a hidden pane draws nothing
    Shell& shell;
};

class CSpectrumView : public PlotView {
public:
    explicit CSpectrumView(const SpectrumViewParts& parts);

    // The frame the view lives in (may be null).
    void setFrameHooks(SpectrumFrameHooks* hooks) { frameHooks_ = hooks; }

    // A new, opened or reformatted record: no cursors, no pending draw, the point arrays at
    // their minimum, the scroll bars back at their start, the spectrum to be recomputed; false
    // (after reporting exhausted memory) when the arrays could not be had.
    bool reset();
    // The settings to draw with: the analysis takes the type, window and N (a size it cannot
    // allocate is reported and nothing is computed until another), the bars rescale to new
    // multipliers, cursors on a channel now "Off" go, and the spectrum is recomputed.
    void apply(const SpectrumSettings& settings);
    const SpectrumSettings& settings() const { return settings_; }
    // The tone measurements of the record: an amplitude spectrum shows a line per shown channel
    // above its peak readouts, the plot giving up the rows they take.
    void setReadout(MeasurementReadout readout);
    // A tap: above the plot's corners the cursor channel changes, on the plot a cursor is set,
    // anywhere else the cursors go.
    void OnLButtonDown(std::int32_t x, std::int32_t y, bool secondCursor) override;
    // A double tap: below the plot the X axis scale dialog, beside it the Y axis scale dialog,
    // both only for an amplitude spectrum and never while input monitoring runs.
    bool takesDoubleTaps() const override { return true; }
    void OnLButtonDblClk(std::int32_t x, std::int32_t y) override;

    // Hz (seconds for the correlations) at a column, and back.
    float PixelToX(std::int32_t x) const;
    std::int32_t XToPixel(float value) const;
    // A channel's (0 = A, 1 = B) Y value at a row, and back, in the cursor's terms: volts,
    // degrees or a coefficient; a fraction of the peak on a normalised axis; on a dB axis the
    // amplitude 10^(D/20)/sqrt(2).
    float PixelToY(int channel, std::int32_t y) const;
    std::int32_t YToPixel(int channel, float value) const;
    // The row of a result value of a channel as its trace draws it.
    std::int32_t ResultToPixel(int channel, float value) const;

private:
    // The horizontal mapping of the current state (X1, X3).
    struct XAxis {
        bool valid = false;      // a mapping exists (a log axis needs a range above fs/2N)
        bool log = false;
        bool correlation = false;
        double width = 0.0;      // W
        double offset = 0.0;     // xOffset, pixels
        double step = 0.0;       // xStep: points (log: decades) per pixel
        double centre = 0.0;     // correlations: z W / 2, the pixel of lag 0 before panning
        double centreIndex = 0;  // correlations: P / 2, the point of lag 0
        double unitsPerPixel = 0.0;  // linear: Hz or seconds per pixel
        double firstFrequency = 0.0; // log: fs / N, the frequency of point 1
        // Fractional point index at column x (0 = plotLeft).
        double indexAt(double x) const;
        // Column of point index i (log: i >= 1).
        double columnOf(double index) const;
    };
    // The vertical mapping of one channel (Y1-Y3).
    struct YAxis {
        double origin = 0.0;   // yOrigin, row of 0 (dB: of 0 dB)
        double scale = 0.0;    // yScale, pixels per unit (dB: per dB)
        bool db = false;
        bool normalized = false;
        double dbOffset = 0.0; // dB of a result: 20 log10(v) + dbOffset
        double perUnit = 0.0;  // normalised volt axis: pixels per fraction of the peak
    };

    double samplingFrequency() const;
    double sampleInterval() const;
    bool recordHasA() const;
    bool recordHasB() const;
    bool showA() const { return !settings_.yRangeA.isOff(); }
    bool showB() const { return !settings_.yRangeB.isOff() && settings_.type != SpectrumType::CrossCorrelation; }
    bool logAxis() const;
    bool dbAxis() const;
    bool normalizedAxis() const;
    XAxis xAxis() const;
    YAxis yAxis(int channel) const;
    double channelPeak(int channel) const;

    // Not while the pane is hidden.
    bool mayDraw() override { return parts_.panes.spectrumShown; }
    // The spectrum recomputed when it is dirty, layout, points and cursor pixels for the
    // canvas's size; shows the out-of-memory message (and falls back to one point per column)
    // when points run out.
    void prepare(const Canvas& canvas) override;
    void computePoints();
    std::uint32_t fillPoints(CanvasPoint* out, int channel, const XAxis& x) const;


    void draw(Canvas& canvas) const override;
    // A label or heading beside the plot on a channel's side (A left, B right).
    void drawSideText(Canvas& canvas, int channel, std::int32_t y, const std::string& text) const;
    void drawDbGrid(Canvas& canvas, const PlotColours& colours) const;
    void drawLogGrid(Canvas& canvas, const PlotColours& colours) const;
    void drawXLabels(Canvas& canvas, const PlotColours& colours) const;
    void drawYLabels(Canvas& canvas, const PlotColours& colours) const;
    void drawTitle(Canvas& canvas, const PlotColours& colours) const;
    void drawPeakReadouts(Canvas& canvas, const PlotColours& colours) const;
    // The channels (0 = A, 1 = B) whose measurement lines are drawn, in order.
    std::vector<int> measurementLines() const;
    void drawMeasurementLines(Canvas& canvas, const PlotColours& colours) const;
    void drawCursorReadout(Canvas& canvas, const PlotColours& colours) const;

    SpectrumViewParts parts_;
    SpectrumFrameHooks* frameHooks_ = nullptr;
    SpectrumAnalysis& analysis_;
    std::uint64_t analysedRevision_ = 0;  // the document revision the analysis was last asked for

    bool onePointPerColumn_ = false;
    SpectrumSettings settings_;
    MeasurementReadout readout_;
};

}  // namespace tonewell
