#include "plot/PlotFrame.h"

#include <algorithm>
#include <optional>

namespace tonewell {

PlotFrame::PlotFrame(int barAId, int barBId) : barA(barAId, Orientation::Vertical), barB(barBId, Orientation::Vertical) {
    horizontal.setScrollHandler([this](ScrollBarControl::Action action, int position) {
        // Scroll messages carry the thumb in 16 bits; the frame rebuilds the full position.
        scrollHorizontal(action, static_cast<std::int16_t>(position));
    });
    barA.setScrollHandler([this](ScrollBarControl::Action action, int position) { scrollVertical(0, action, position); });
    barB.setScrollHandler([this](ScrollBarControl::Action action, int position) { scrollVertical(1, action, position); });
    horizontal.setVisible(false);
    barA.setVisible(false);
    barB.setVisible(false);
    sync();
}

void PlotFrame::setHandlers(std::function<void()> scrolled, std::function<void(std::string_view)> refused) {
    scrolled_ = std::move(scrolled);
    refused_ = std::move(refused);
}

void PlotFrame::sync() {
    horizontal.setRange(0, horizontal_.maximum);
    horizontal.setPosition(horizontal_.position);
    barA.setRange(0, a_.maximum);
    barA.setPosition(a_.position);
    barB.setRange(0, b_.maximum);
    barB.setPosition(b_.position);
}

void PlotFrame::resetScroll() {
    horizontal_ = {0, 10};
    a_ = b_ = {50, 100};
    sync();
}

void PlotFrame::rescale(std::uint32_t xMultiplier, std::uint32_t aMultiplier, std::uint32_t bMultiplier) {
    horizontal_ = RescaleTimeScroll(horizontal_, static_cast<int>(xMultiplier));
    a_ = RescaleValueScroll(a_, static_cast<int>(aMultiplier));
    b_ = RescaleValueScroll(b_, static_cast<int>(bMultiplier));
    sync();
}

void PlotFrame::setHorizontal(std::int32_t position, std::int32_t maximum) {
    horizontal_ = {std::clamp(position, 0, maximum), maximum};
    horizontal.setRange(0, horizontal_.maximum);
    horizontal.setPosition(horizontal_.position);
}

void PlotFrame::scrollHorizontal(ScrollBarControl::Action action, std::int16_t trackPosition) {
    using Action = ScrollBarControl::Action;
    const std::int32_t maximum = horizontal_.maximum;
    std::int32_t position = horizontal_.position;
    switch (action) {
        case Action::LineUp: position -= 10; break;
        case Action::LineDown: position += 10; break;
        case Action::PageUp: position -= maximum / 10; break;
        case Action::PageDown: position += maximum / 10; break;
        case Action::Top: position = 0; break;
        case Action::Bottom: position = maximum; break;
        case Action::ThumbTrack: {
            const std::optional<std::int32_t> widened = WidenThumbPosition(horizontal_.position, trackPosition);
            if (!widened) {
                if (refused_) refused_(kMultiplierTooLargeMessage);
                return;
            }
            position = *widened;
            break;
        }
        case Action::ThumbPosition:
        case Action::EndScroll: return;
    }
    setHorizontal(position, maximum);
    if (scrolled_) scrolled_();
}

void PlotFrame::scrollVertical(int channel, ScrollBarControl::Action action, std::int32_t trackPosition) {
    using Action = ScrollBarControl::Action;
    ScrollRange& scroll = channel == 0 ? a_ : b_;
    const std::int32_t maximum = scroll.maximum;
    std::int32_t next = scroll.position;
    switch (action) {
        case Action::LineUp: next -= 10; break;
        case Action::LineDown: next += 10; break;
        case Action::PageUp: next -= maximum / 10; break;
        case Action::PageDown: next += maximum / 10; break;
        case Action::ThumbTrack: next = trackPosition; break;
        case Action::Top: next = 0; break;
        case Action::Bottom: next = maximum; break;
        case Action::ThumbPosition:
        case Action::EndScroll: return;
    }
    scroll.position = std::clamp(next, 0, maximum);
    (channel == 0 ? barA : barB).setPosition(scroll.position);
    if (scrolled_) scrolled_();
}

void PlotFrame::layout(std::int32_t width, std::int32_t height, TextExtent character, std::uint32_t xMultiplier,
                       const PlotMargins& margins) {
    const LayoutInputs inputs{width, height, character, xMultiplier, margins};
    if (inputs == laidOutFor_) return;
    laidOutFor_ = inputs;
    if (xMultiplier < 2) {
        horizontal.setVisible(false);
        setHorizontal(0, 10);
    } else {
        horizontal.setVisible(true);
    }
    clientRect_ = {0, 0, width, height};
    if (margins.barA) {
        barA.setGeometry({clientRect_.left, clientRect_.top, kScrollBarWidth, height});
        barA.setVisible(true);
        clientRect_.left += kScrollBarWidth;
    } else {
        barA.setVisible(false);
    }
    if (margins.barB) {
        barB.setGeometry({clientRect_.right - kScrollBarWidth, clientRect_.top, kScrollBarWidth, height});
        barB.setVisible(true);
        clientRect_.right -= kScrollBarWidth;
    } else {
        barB.setVisible(false);
    }
    const std::int32_t cw = character.width;
    const std::int32_t ch = character.height;
    plotRect_.left = margins.labelsLeft ? clientRect_.left + 4 * cw : clientRect_.left + 3;
    plotRect_.right = margins.labelsRight ? clientRect_.right - 4 * cw : clientRect_.right - 3;
    plotRect_.top = margins.twoReadoutRows ? clientRect_.top + 2 * (ch - 3) : clientRect_.top + ch + 2;
    plotRect_.top += margins.measurementRows * ch;
    plotRect_.bottom = clientRect_.bottom - 2 * ch + 7;
    // A window too small for the margins still gets a plot of one pixel.
    plotRect_.right = std::max(plotRect_.right, plotRect_.left);
    plotRect_.bottom = std::max(plotRect_.bottom, plotRect_.top);
}

}  // namespace tonewell
