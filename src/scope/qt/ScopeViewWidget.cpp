#include "scope/qt/ScopeViewWidget.h"

#include "scope/CScopeView.h"

namespace tonewell {

ScopeViewWidget::ScopeViewWidget(CScopeView& view, QWidget* parent)
    : PlotPaneWidget(view,
                     {QStringLiteral("scopeView"), QStringLiteral("Oscilloscope"), kScopeTapHelp,
                      QStringLiteral("Oscilloscope time scroll bar"), QStringLiteral("Channel A scroll bar"),
                      QStringLiteral("Channel B scroll bar")},
                     parent) {}

}  // namespace tonewell
