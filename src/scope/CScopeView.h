#pragma once
// The oscilloscope view: the record of the document as a time-domain picture (a 4 x 4 grid, the
// traces of channels A and B, A+B, A-B or a Lissajous figure of A against B, axis labels with
// units, the title, the Mean/RMS or Max/Min lines, two cursors with their readout, trigger
// markers), scaled by the seven oscilloscope selectors and scrolled by a time bar and an A and a
// B bar. Everything is drawn through a Canvas, so the same picture goes to the window, to a PNG
// file and to a recording canvas in tests. UI thread only; the parts it is given must outlive it.

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <vector>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/SignalDoc.h"
#include "controls/ScrollBarControl.h"
#include "platform/Canvas.h"
#include "platform/Shell.h"
#include "scope/ScopeBars.h"
#include "scope/ScopeCursor.h"
#include "scope/ScopeFrameHooks.h"
#include "shared/InstrumentConfiguration.h"
#include "shared/ProgramState.h"
#include "shared/RangeCode.h"
#include "shared/RangeTables.h"

namespace tonewell {

inline constexpr int kScopeScrollBarAId = 65043;
inline constexpr int kScopeScrollBarBId = 65044;

// What the view reads and writes besides its own state.
struct ScopeViewParts {
    CSignalDoc& document;                       // the record, its statistics and note
    ScopeBars& bars;                            // the seven selectors
    const RangeTables& tables;                  // the values of the selectors' rows
    const AcquisitionParameters& acquisition;   // trigger settings, levelEdited, samplingRate, samplingBits
    InstrumentConfiguration& configuration;     // colours, onePointPerRaster, input calibration
    const RunState& run;                        // displayInScopeActive
    RedrawState& redraw;                        // scopeRelayout, scopePendingDraws
    int& startupStage;
    Shell& shell;
};

// The plot area with inclusive edges, as the view's arithmetic counts them:
// W = right - left + 1, H = bottom - top + 1.
struct PlotRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t width() const { return right - left + 1; }
    std::int32_t height() const { return bottom - top + 1; }
    friend bool operator==(const PlotRect&, const PlotRect&) = default;
};

class CScopeView {
public:
    static constexpr std::uint32_t kTraceCapacityMin = 8192;
    static constexpr std::int32_t kScrollBarWidth = 16;

    explicit CScopeView(const ScopeViewParts& parts);
    CScopeView(const CScopeView&) = delete;
    CScopeView& operator=(const CScopeView&) = delete;

    // The frame the view lives in (may be null: drawn as if its pane were shown).
    void setFrameHooks(ScopeFrameHooks* hooks) { frameHooks_ = hooks; }
    // Called whenever the view wants to be painted again (the widget schedules a paint).
    void setRepaintHandler(std::function<void()> handler) { repaintHandler_ = std::move(handler); }

    // A new or opened document: scroll state reset, the point arrays allocated, the type and
    // ranges taken from the panel (during start-up) or fitted to the record (afterwards).
    void OnInitialUpdate();
    // The window's drawing pass: checks the pane and the start-up split, draws the picture on a
    // canvas the size of the client area, counts a pending record down and ends the relayout.
    void OnDraw(Canvas& canvas);
    // The whole picture, laid out for the canvas's size; pictures for files use it directly.
    void drawPicture(Canvas& canvas);
    // The window changed size: the next draw lays out again.
    void OnSize();
    // The time bar; trackPosition carries the thumb position in 16 bits as scroll messages do.
    void OnHScroll(ScrollBarControl::Action action, std::int16_t trackPosition);
    // The A or B bar (told apart by the bar).
    void OnVScroll(ScrollBarControl::Action action, std::int32_t trackPosition, const ScrollBarControl& bar);
    // A tap at (x, y); secondCursor chooses cursor 2 (the Caps Lock toggle, or Shift).
    void OnLButtonDown(std::int32_t x, std::int32_t y, bool secondCursor);

    void ReadSelectors();
    void ApplyRanges();
    void OnTypeChanged();
    void UpdateSelectorStates();
    void AutoRange();
    // Asks for a paint (record arrived, selectors changed...).
    void invalidate();

    // Seconds (Lissajous: channel-A volts) at a column, and back.
    float PixelToTime(std::int32_t x) const;
    std::int32_t TimeToPixel(float t) const;
    // Volts at a row, and back (Lissajous: both use the B scale).
    float PixelToValueA(std::int32_t y) const;
    float PixelToValueB(std::int32_t y) const;
    std::int32_t ValueToPixelA(float v) const;
    std::int32_t ValueToPixelB(float v) const;

    // An arrow of the given length pointing up (negative size: down) from a short base line at
    // (x, y), in a one-pixel pen of the colour.
    static void DrawArrowMarker(Canvas& canvas, std::int32_t x, std::int32_t y, std::int32_t size, Colour colour);

    // The scroll bars: the time bar at the bottom of the window and the A and B bars at its left
    // and right edges, placed and shown by the layout. The view sets their range and position.
    ScrollBarControl hScrollBar{0, Orientation::Horizontal};
    ScrollBarControl scrollBarA{kScopeScrollBarAId, Orientation::Vertical};
    ScrollBarControl scrollBarB{kScopeScrollBarBId, Orientation::Vertical};

    // The most points a trace array may hold: growing past it fails as exhausted memory does.
    std::size_t traceAllocationLimit = std::numeric_limits<std::size_t>::max() / 64;

    // State of the last layout and draw.
    // The oscilloscope type (0 A and B, 1 A+B, 2 A-B, 3 Lissajous) the document's statistics are
    // computed for; the frame opens documents with it.
    int scopeType() const { return scopeType_; }
    const CanvasRect& clientRect() const { return clientRect_; }
    const PlotRect& plotRect() const { return plotRect_; }
    std::span<const CanvasPoint> tracePointsA() const { return {tracePointsA_.data(), traceCountA_}; }
    std::span<const CanvasPoint> tracePointsB() const { return {tracePointsB_.data(), traceCountB_}; }
    std::uint32_t traceCountA() const { return traceCountA_; }
    std::uint32_t traceCountB() const { return traceCountB_; }
    std::uint32_t traceCapacity() const { return traceCapacity_; }
    bool rasterMode() const { return rasterMode_; }
    std::int32_t triggerMarkerX() const { return triggerMarkerX_; }
    std::int32_t charWidth() const { return charWidth_; }
    std::int32_t charHeight() const { return charHeight_; }
    const std::array<ScopeCursor, 2>& cursors() const { return cursors_; }
    int cursorChannel() const { return cursorChannel_; }
    bool showMaxMin() const { return showMaxMin_; }
    std::uint32_t xMultiplier() const { return xMultiplier_; }
    std::uint32_t aMultiplier() const { return aMultiplier_; }
    std::uint32_t bMultiplier() const { return bMultiplier_; }
    RangeCode xRange() const { return xRange_; }
    RangeCode aRange() const { return aRange_; }
    RangeCode bRange() const { return bRange_; }
    RangeCode aRangeAuto() const { return aRangeAuto_; }
    RangeCode bRangeAuto() const { return bRangeAuto_; }
    std::int32_t hScrollPos() const { return hScrollPos_; }
    std::int32_t hScrollMax() const { return hScrollMax_; }
    std::int32_t aScrollPos() const { return aScrollPos_; }
    std::int32_t aScrollMax() const { return aScrollMax_; }
    std::int32_t bScrollPos() const { return bScrollPos_; }
    std::int32_t bScrollMax() const { return bScrollMax_; }

private:
    // The mapping of one channel's codes to pixels: pixel = origin + code x scale.
    struct ChannelScale {
        double origin = 0.0;
        double scale = 0.0;
    };
    struct Colours;

    void layout(std::int32_t width, std::int32_t height);
    void syncScrollBars();
    void computeTracePoints();
    bool reallocateTraces(std::size_t points);
    std::uint32_t fillTrace(std::vector<CanvasPoint>& points, int channel, const ChannelScale& scale) const;

    void drawGrid(Canvas& canvas, const Colours& colours) const;
    void drawTraces(Canvas& canvas, const Colours& colours);
    void drawTitle(Canvas& canvas, const Colours& colours) const;
    void drawMeasurementLines(Canvas& canvas, const Colours& colours) const;
    void drawLabels(Canvas& canvas, const Colours& colours) const;
    void drawTriggerMarkers(Canvas& canvas, const Colours& colours);
    void drawCursors(Canvas& canvas, const Colours& colours);

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

    // The type, with the document's statistics recomputed when it changes.
    void setScopeType(int type);
    void clearCursors();
    void setTimeScroll(std::int32_t position, std::int32_t maximum);
    RangeCode autoRangeCode(bool hasChannel, const VoltageRange& range, ListControl& selector);
    void repaint();

    ScopeViewParts parts_;
    ScopeFrameHooks* frameHooks_ = nullptr;
    std::function<void()> repaintHandler_;

    std::vector<CanvasPoint> tracePointsA_;
    std::vector<CanvasPoint> tracePointsB_;
    std::vector<CanvasPoint> lissajousPoints_;  // (A column, B row) pairs of the figure
    std::uint32_t traceCapacity_ = 0;
    std::uint32_t traceCountA_ = 0;
    std::uint32_t traceCountB_ = 0;
    bool rasterMode_ = false;

    std::int32_t hScrollPos_ = 0, aScrollPos_ = 50, bScrollPos_ = 50;
    std::int32_t hScrollMax_ = 10, aScrollMax_ = 100, bScrollMax_ = 100;

    CanvasRect clientRect_;
    PlotRect plotRect_;
    std::int32_t laidOutWidth_ = -1;
    std::int32_t laidOutHeight_ = -1;

    std::uint32_t xMultiplier_ = 1, aMultiplier_ = 0, bMultiplier_ = 0;
    RangeCode xRange_{0x300A};
    RangeCode aRange_;
    RangeCode bRange_;
    RangeCode aRangeAuto_;
    RangeCode bRangeAuto_;
    int scopeType_ = 0;

    std::array<ScopeCursor, 2> cursors_{};
    int cursorChannel_ = 0;
    bool showMaxMin_ = false;

    std::int32_t charWidth_ = 8;
    std::int32_t charHeight_ = 16;
    std::int32_t triggerMarkerX_ = 0;
};

}  // namespace tonewell
