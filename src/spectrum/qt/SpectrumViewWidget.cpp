#include "spectrum/qt/SpectrumViewWidget.h"

#include "spectrum/CSpectrumView.h"

#include <QMouseEvent>

namespace tonewell {

SpectrumViewWidget::SpectrumViewWidget(CSpectrumView& view, QWidget* parent)
    : PlotPaneWidget({view.frame(), QStringLiteral("Spectrum analyzer frequency scroll bar"),
                      QStringLiteral("Spectrum channel A scroll bar"), QStringLiteral("Spectrum channel B scroll bar")},
                     {[&view](Canvas& canvas) { view.OnDraw(canvas); }, [&view] { view.OnSize(); },
                      [&view](int x, int y, bool secondCursor) { view.OnLButtonDown(x, y, secondCursor); }},
                     parent),
      view_(view) {
    setObjectName(QStringLiteral("spectrumView"));
    setAccessibleName(QStringLiteral("Spectrum analyzer"));
    setAccessibleDescription(QString::fromLatin1(kSpectrumTapHelp));
    setWhatsThis(QString::fromLatin1(kSpectrumTapHelp));
    view.setRepaintHandler([this] { update(); });
}

SpectrumViewWidget::~SpectrumViewWidget() { view_.setRepaintHandler({}); }

void SpectrumViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        PlotPaneWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    view_.OnLButtonDblClk(at.x(), at.y());
}

}  // namespace tonewell
