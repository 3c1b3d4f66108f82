#include "spectrum/qt/SpectrumViewWidget.h"

#include "spectrum/CSpectrumView.h"

namespace tonewell {

SpectrumViewWidget::SpectrumViewWidget(CSpectrumView& view, QWidget* parent)
    : PlotPaneWidget(view,
                     {QStringLiteral("spectrumView"), QStringLiteral("Spectrum analyzer"), kSpectrumTapHelp,
                      QStringLiteral("Spectrum analyzer frequency scroll bar"),
                      QStringLiteral("Spectrum channel A scroll bar"), QStringLiteral("Spectrum channel B scroll bar")},
                     parent) {}

}  // namespace tonewell
