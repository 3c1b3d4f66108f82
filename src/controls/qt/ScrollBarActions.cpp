#include "controls/qt/ScrollBarActions.h"

#include <QScrollBar>

#include <algorithm>

namespace tonewell {

void ForwardScrollAction(QScrollBar& bar, ScrollBarControl& model, int action, bool sixteenBitThumb) {
    using Action = ScrollBarControl::Action;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: model.userScroll(Action::LineDown); break;
        case QAbstractSlider::SliderSingleStepSub: model.userScroll(Action::LineUp); break;
        case QAbstractSlider::SliderPageStepAdd: model.userScroll(Action::PageDown); break;
        case QAbstractSlider::SliderPageStepSub: model.userScroll(Action::PageUp); break;
        case QAbstractSlider::SliderToMinimum: model.userScroll(Action::Top); break;
        case QAbstractSlider::SliderToMaximum: model.userScroll(Action::Bottom); break;
        case QAbstractSlider::SliderMove: {
            const int target = bar.sliderPosition();
            if (!sixteenBitThumb) {
                model.userScroll(Action::ThumbTrack, target);
                break;
            }
            int position = model.position();
            while (position != target) {
                const int next = position + std::clamp(target - position, -kLongestThumbStep, kLongestThumbStep);
                model.userScroll(Action::ThumbTrack, next);
                if (model.position() == position) break;  // the model refused the move
                position = model.position();
            }
            break;
        }
        default: return;
    }
    bar.setSliderPosition(model.position());
}

}  // namespace tonewell
