#pragma once
// What the document asks of the main frame's front panel: the panel steps of a new document and
// the sampling toolbar's selections after a file was opened. The front panel implements it;
// called on the UI thread.

#include <cstdint>
#include <string_view>

namespace tonewell {

class CSignalDoc;

class DocumentFrameHooks {
public:
    virtual ~DocumentFrameHooks() = default;

    // The panel steps of New, by the frame's start-up stage: above 0 empty the note
    // (document.EmptyNote()), reset the panel to its defaults and apply it; at -1 empty the
    // note and apply the loaded panel. Applying offers to save a modified document
    // (document.SaveModified()) and then sets document.skipSavePrompt.
    virtual void ApplyNewDocumentPanel(CSignalDoc& document) = 0;

    // After a file was opened: the record length box shows text ("%d" of N).
    virtual void ShowRecordLength(std::string_view text) = 0;

    // After a file was opened: channels "A" (bothChannels false) or "A&B", and whether the
    // trigger source list is enabled.
    virtual void SelectChannels(bool bothChannels, bool triggerSourceEnabled) = 0;

    // Selects the resolution list entry of bits and sets samplingBits; false (selection and
    // samplingBits unchanged) when the list has no such entry.
    virtual bool SelectResolution(int bits) = 0;

    // Selects the sampling frequency list entry of samplesPerSecond and sets samplingRate;
    // false (unchanged) when the list has no such entry.
    virtual bool SelectSamplingFrequency(std::uint32_t samplesPerSecond) = 0;
};

}  // namespace tonewell
