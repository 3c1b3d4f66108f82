#include "plot/qt/PlotPaneWidget.h"

#include "controls/ScrollBarControl.h"
#include "plot/PlotFrame.h"
#include "plot/PlotView.h"
#include "controls/qt/ScrollBarActions.h"
#include "platform/qt/CapsLock.h"
#include "platform/qt/QtCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace tonewell {

PlotPaneWidget::PlotPaneWidget(PlotView& view, const Names& names, QWidget* parent)
    : QWidget(parent),
      horizontalModel_(view.frame().horizontal),
      modelA_(view.frame().barA),
      modelB_(view.frame().barB),
      view_(view) {
    setObjectName(names.objectName);
    setAccessibleName(names.name);
    setAccessibleDescription(QString::fromLatin1(names.tapHelp));
    setWhatsThis(QString::fromLatin1(names.tapHelp));
    // The picture covers the whole widget: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMinimumSize(160, 80);
    horizontalBar_ = makeBar(horizontalModel_, Qt::Horizontal, names.horizontalBar);
    barA_ = makeBar(modelA_, Qt::Vertical, names.barA);
    barB_ = makeBar(modelB_, Qt::Vertical, names.barB);
    view.setRepaintHandler([this] { update(); });
}

PlotPaneWidget::~PlotPaneWidget() {
    view_.setRepaintHandler({});
    horizontalModel_.setObserver({});
    modelA_.setObserver({});
    modelB_.setObserver({});
}

QScrollBar* PlotPaneWidget::makeBar(ScrollBarControl& model, Qt::Orientation orientation, const QString& name) {
    auto* bar = new QScrollBar(orientation, this);
    bar->setObjectName(name);
    bar->setAccessibleName(name);
    // One screen is 100 steps, so the thumb shows how much of the whole is in view.
    bar->setPageStep(100);
    bar->setSingleStep(10);
    bar->setCursor(Qt::ArrowCursor);
    // The horizontal bar's thumb travels to the view in 16 bits, as scroll messages carry it.
    const bool sixteenBitThumb = orientation == Qt::Horizontal;
    connect(bar, &QScrollBar::actionTriggered, this,
            [bar, &model, sixteenBitThumb](int action) { ForwardScrollAction(*bar, model, action, sixteenBitThumb); });
    model.setObserver([this, bar, &model] { showModel(bar, model); });
    showModel(bar, model);
    return bar;
}

void PlotPaneWidget::showModel(QScrollBar* bar, const ScrollBarControl& model) {
    const QSignalBlocker blocker(bar);
    bar->setRange(model.minimum(), model.maximum());
    bar->setValue(model.position());
    bar->setEnabled(model.enabled());
    if (&model == &horizontalModel_) {
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

QSize PlotPaneWidget::clientSize() const {
    const int bar =
        horizontalModel_.visible() ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, horizontalBar_) : 0;
    return {std::max(width(), 1), std::max(height() - bar, 1)};
}

void PlotPaneWidget::paintEvent(QPaintEvent*) {
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

void PlotPaneWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showModel(horizontalBar_, horizontalModel_);
    view_.OnSize();
}

void PlotPaneWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    const bool secondCursor =
        CapsLockState(this).value_or(false) || event->modifiers().testFlag(Qt::ShiftModifier);
    view_.OnLButtonDown(at.x(), at.y(), secondCursor);
}

void PlotPaneWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt's own handling takes it as a second press.
    if (event->button() != Qt::LeftButton || !view_.takesDoubleTaps()) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    view_.OnLButtonDblClk(at.x(), at.y());
}

}  // namespace tonewell
