#include "app/qt/ShowGeneratorDialog.h"

#include "app/Instrument.h"
#include "generator/qt/GeneratorDialogWindow.h"

namespace tonewell {

GeneratorDialogParts GeneratorDialogPartsOf(Instrument& instrument) {
    return GeneratorDialogParts{instrument.generator,
                                instrument.toneLists,
                                instrument.library,
                                instrument.toneFilePath,
                                [&configuration = instrument.configuration] {
                                    return OutputCalibration{configuration.outputFullScale8,
                                                             configuration.outputFullScale16};
                                },
                                instrument.seedClock,
                                instrument.output,
                                instrument.run,
                                instrument.shell,
                                instrument.programDir};
}

void ShowGeneratorDialog(QWidget* parent, Instrument& instrument) {
    GeneratorDialog model(GeneratorDialogPartsOf(instrument));
    RunGeneratorDialog(model, parent);
}

}  // namespace tonewell
