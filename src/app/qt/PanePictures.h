#pragma once
// The panes' pictures for the views' PNG export: each view drawn at its pane's drawing size by
// the same picture code as tonewell-cli's render, so the file shows what the pane shows. UI
// thread; the panes must outlive it (it forgets a pane that is destroyed).

#include "app/ViewExport.h"

#include <QPointer>

namespace tonewell {

class CScopeView;
class CSpectrumView;
class ScopeViewWidget;
class SpectrumViewWidget;

class PanePictures : public ViewPictures {
public:
    PanePictures(CScopeView& scope, ScopeViewWidget* scopePane, CSpectrumView& spectrum, SpectrumViewWidget* spectrumPane);

    bool writeScopePicture(const std::filesystem::path& path) override;
    bool writeSpectrumPicture(const std::filesystem::path& path) override;

private:
    CScopeView& scope_;
    QPointer<ScopeViewWidget> scopePane_;
    CSpectrumView& spectrum_;
    QPointer<SpectrumViewWidget> spectrumPane_;
};

}  // namespace tonewell
