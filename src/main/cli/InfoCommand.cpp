// info: a record's format, ranges, note and statistics as key=value lines.

#include "main/cli/Commands.h"

#include <iostream>

namespace tonewell::cli {
namespace {

int RunInfo(const Arguments& arguments) {
    // The reader's messages belong to the listing, as message= lines.
    ConsoleInstrument console(std::cout, "message=");
    const CSignalDoc& document = console.instrument.document;
    if (!LoadConfigurationOption(arguments, console.instrument.configuration)) return kExitRefused;
    const int scopeType = std::stoi(arguments.get("scope-type").value_or("0"));
    if (!console.instrument.document.OnOpenDocument(arguments.file, scopeType)) {
        // A refusal goes to stderr as well, as with every other command.
        for (const std::string& message : console.shell.messages()) std::cerr << message << "\n";
        return Refused(console.shell, "cannot open " + arguments.file);
    }

    const bool holdsA = document.samplingType != kSamplingTypeB;
    const bool holdsB = document.samplingType != kSamplingTypeA;
    std::cout << "samplingType=" << int(document.samplingType) << "\n"
              << "channels=" << document.riffHeader.format.channels << "\n"
              << "samplesPerSec=" << document.riffHeader.format.samplesPerSecond << "\n"
              << "bitsPerSample=" << document.riffHeader.format.bitsPerSample << "\n"
              << "sampleCount=" << document.sampleCount << "\n"
              << "intervalMantissa=" << document.intervalMantissa << "\n"
              << "intervalExponent=" << int(document.intervalExponent) << "\n";
    if (holdsA)
        std::cout << "resolutionA=" << int(document.resolutionA) << "\n"
                  << "rangeMaxA=" << document.rangeMaxA << "\n"
                  << "rangeMinA=" << document.rangeMinA << "\n"
                  << "rangeExponentA=" << int(document.rangeExponentA) << "\n"
                  << "zeroA=" << document.zeroA << "\n";
    if (holdsB)
        std::cout << "resolutionB=" << int(document.resolutionB) << "\n"
                  << "rangeMaxB=" << document.rangeMaxB << "\n"
                  << "rangeMinB=" << document.rangeMinB << "\n"
                  << "rangeExponentB=" << int(document.rangeExponentB) << "\n"
                  << "zeroB=" << document.zeroB << "\n";
    std::cout << "note=" << document.notes << "\n";
    if (holdsA)
        std::cout << "maxA=" << FloatText(document.maxA) << "\n"
                  << "minA=" << FloatText(document.minA) << "\n"
                  << "meanA=" << FloatText(document.meanA) << "\n"
                  << "rmsA=" << FloatText(document.rmsA) << "\n";
    if (holdsB)
        std::cout << "maxB=" << FloatText(document.maxB) << "\n"
                  << "minB=" << FloatText(document.minB) << "\n"
                  << "meanB=" << FloatText(document.meanB) << "\n"
                  << "rmsB=" << FloatText(document.rmsB) << "\n";
    std::cout << "dcOffsetCodesA=" << document.dcOffsets.dcOffsetCodesA << "\n"
              << "dcOffsetCodesB=" << document.dcOffsets.dcOffsetCodesB << "\n";
    return kExitOk;
}

}  // namespace

Command InfoCommand() {
    const std::vector<std::string> scopeTypes = SelectorValueTexts(Id::ScopeType);
    return {{"info", "FILE.wav",
      "Opens a WAV record as File > Open does and prints its format, ranges, note and\n"
      "statistics as key=value lines; every message the reader showed is a message= line.",
      {{"scope-type", Joined(scopeTypes, "|"), scopeTypes, false,
        "oscilloscope type the statistics are computed for: 0 A and B, 1 A+B, 2 A-B, 3 X-Y"},
       kConfigOption}},
     RunInfo};
}

}  // namespace tonewell::cli
