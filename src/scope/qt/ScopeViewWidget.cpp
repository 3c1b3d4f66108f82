#include "scope/qt/ScopeViewWidget.h"

#include "controls/qt/ScrollBarActions.h"
#include "platform/qt/CapsLock.h"
#include "platform/qt/QtCanvas.h"
#include "scope/CScopeView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace tonewell {

ScopeViewWidget::ScopeViewWidget(CScopeView& view, QWidget* parent) : QWidget(parent), view_(view) {
    setObjectName(QStringLiteral("scopeView"));
    setAccessibleName(QStringLiteral("Oscilloscope"));
    setAccessibleDescription(QString::fromLatin1(kScopeTapHelp));
    setWhatsThis(QString::fromLatin1(kScopeTapHelp));
    // The picture covers the whole widget: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMinimumSize(160, 80);
    timeBar_ = makeBar(view.hScrollBar, Qt::Horizontal, QStringLiteral("Oscilloscope time scroll bar"));
    barA_ = makeBar(view.scrollBarA, Qt::Vertical, QStringLiteral("Channel A scroll bar"));
    barB_ = makeBar(view.scrollBarB, Qt::Vertical, QStringLiteral("Channel B scroll bar"));
    view.setRepaintHandler([this] { update(); });
}

ScopeViewWidget::~ScopeViewWidget() {
    view_.setRepaintHandler({});
    view_.hScrollBar.setObserver({});
    view_.scrollBarA.setObserver({});
    view_.scrollBarB.setObserver({});
}

QScrollBar* ScopeViewWidget::makeBar(ScrollBarControl& model, Qt::Orientation orientation, const QString& name) {
    auto* bar = new QScrollBar(orientation, this);
    bar->setObjectName(name);
    bar->setAccessibleName(name);
    // One screen is 100 steps, so the thumb shows how much of the whole is in view.
    bar->setPageStep(100);
    bar->setSingleStep(10);
    bar->setCursor(Qt::ArrowCursor);
    // The time bar's thumb travels to the view in 16 bits, as scroll messages carry it.
    const bool sixteenBitThumb = orientation == Qt::Horizontal;
    connect(bar, &QScrollBar::actionTriggered, this,
            [bar, &model, sixteenBitThumb](int action) { ForwardScrollAction(*bar, model, action, sixteenBitThumb); });
    model.setObserver([this, bar, &model] { showModel(bar, model); });
    showModel(bar, model);
    return bar;
}

void ScopeViewWidget::showModel(QScrollBar* bar, const ScrollBarControl& model) {
    const QSignalBlocker blocker(bar);
    bar->setRange(model.minimum(), model.maximum());
    bar->setValue(model.position());
    bar->setEnabled(model.enabled());
    if (bar == timeBar_) {
        const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
        bar->setGeometry(0, height() - extent, width(), extent);
        if (bar->isHidden() == model.visible()) {
            bar->setHidden(!model.visible());
            // The drawing area changed height.
            view_.OnSize();
        }
        return;
    }
    const ScrollBarControl::Geometry& g = model.geometry();
    bar->setGeometry(g.x, g.y, g.width, g.height);
    bar->setHidden(!model.visible());
}

QSize ScopeViewWidget::clientSize() const {
    const int bar = view_.hScrollBar.visible() ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, timeBar_) : 0;
    return {std::max(width(), 1), std::max(height() - bar, 1)};
}

void ScopeViewWidget::paintEvent(QPaintEvent*) {
    const QSize size = clientSize();
    if (backBuffer_.size() != size) {
        backBuffer_ = QImage(size, QImage::Format_RGB32);
        backBuffer_.fill(Qt::black);
    }
    {
        QtCanvas canvas(backBuffer_, font());
        view_.OnDraw(canvas);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, backBuffer_);
}

void ScopeViewWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showModel(timeBar_, view_.hScrollBar);
    view_.OnSize();
}

void ScopeViewWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    const bool secondCursor =
        CapsLockState(this).value_or(false) || event->modifiers().testFlag(Qt::ShiftModifier);
    view_.OnLButtonDown(at.x(), at.y(), secondCursor);
}

}  // namespace tonewell
