#pragma once
// The menu command "Signal Generator": the generator dialog of the instrument, shown modally
// over the main window. The instrument's output runs on after it closes. UI thread.

#include "generator/GeneratorDialog.h"

class QWidget;

namespace tonewell {

class Instrument;

// What the generator dialog edits and drives: the instrument's own settings, tone lists,
// library, calibration, output and run state.
GeneratorDialogParts GeneratorDialogPartsOf(Instrument& instrument);

// Returns when the dialog has closed.
void ShowGeneratorDialog(QWidget* parent, Instrument& instrument);

}  // namespace tonewell
