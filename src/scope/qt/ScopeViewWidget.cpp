#include "scope/qt/ScopeViewWidget.h"

#include "scope/CScopeView.h"

namespace tonewell {

ScopeViewWidget::ScopeViewWidget(CScopeView& view, QWidget* parent)
    : PlotPaneWidget({view.frame(), QStringLiteral("Oscilloscope time scroll bar"),
                      QStringLiteral("Channel A scroll bar"), QStringLiteral("Channel B scroll bar")},
                     {[&view](Canvas& canvas) { view.OnDraw(canvas); }, [&view] { view.OnSize(); },
                      [&view](int x, int y, bool secondCursor) { view.OnLButtonDown(x, y, secondCursor); }},
                     parent),
      view_(view) {
    setObjectName(QStringLiteral("scopeView"));
    setAccessibleName(QStringLiteral("Oscilloscope"));
    setAccessibleDescription(QString::fromLatin1(kScopeTapHelp));
    setWhatsThis(QString::fromLatin1(kScopeTapHelp));
    view.setRepaintHandler([this] { update(); });
}

ScopeViewWidget::~ScopeViewWidget() { view_.setRepaintHandler({}); }

}  // namespace tonewell
