#include "platform/ReportOutOfMemory.h"

#include "platform/Shell.h"

namespace tonewell {

void ReportOutOfMemory(Shell& shell) {
    shell.showMessage(kOutOfMemoryMessage);
    shell.postCommand(kCommandFileClose);
}

}  // namespace tonewell
