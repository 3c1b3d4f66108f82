// The Audio Device choice over the sound card and the loopback cable: the lists with the system
// default first, which backend opens the next device, a remembered device that has gone, and
// the environment that overrides the choice.

#include "platform/audio/ChosenAudioBackend.h"

#include <gtest/gtest.h>

#include "platform/audio/LoopbackCable.h"

namespace tonewell {
namespace {

// A sound card of fixed devices; its devices are a manual loopback cable's, counted.
class SoundCardDouble : public AudioBackend {
public:
    explicit SoundCardDouble(std::vector<AudioDeviceInfo> devices) : devices_(std::move(devices)) {}
    AudioBackendKind kind() const override { return AudioBackendKind::PortAudio; }
    std::string displayName() const override { return "Card"; }
    std::unique_ptr<AudioOutput> createOutput() override {
        opened.push_back("output " + chosen.output);
        return cable_.createOutput();
    }
    std::unique_ptr<AudioInput> createInput() override {
        opened.push_back("input " + chosen.input);
        return cable_.createInput();
    }
    std::vector<AudioDeviceInfo> devices() const override { return devices_; }
    void chooseDevices(const AudioDeviceChoice& choice) override { chosen = choice; }

    AudioDeviceChoice chosen;
    std::vector<std::string> opened;

private:
    std::vector<AudioDeviceInfo> devices_;
    LoopbackCable cable_;
};

// The cable, counting what it opens.
class CountingCable : public LoopbackCable {
public:
    std::unique_ptr<AudioOutput> createOutput() override {
        ++outputs;
        return LoopbackCable::createOutput();
    }
    std::unique_ptr<AudioInput> createInput() override {
        ++inputs;
        return LoopbackCable::createInput();
    }
    int outputs = 0;
    int inputs = 0;
};

const std::vector<AudioDeviceInfo> kCardDevices{
    {"ALSA: Speakers", true, false, true, false},
    {"ALSA: Microphone", false, true, false, true},
    {"ALSA: USB Headset", true, true, false, false},
};

struct Rig {
    explicit Rig(std::vector<AudioDeviceInfo> devices = kCardDevices) {
        auto cardOwned = std::make_unique<SoundCardDouble>(std::move(devices));
        auto cableOwned = std::make_unique<CountingCable>();
        card = cardOwned.get();
        cable = cableOwned.get();
        backend = std::make_unique<ChosenAudioBackend>(std::move(cardOwned), std::move(cableOwned));
        backend->setReport([this](const std::string& text) { reports.push_back(text); });
    }
    SoundCardDouble* card;
    CountingCable* cable;
    std::unique_ptr<ChosenAudioBackend> backend;
    std::vector<std::string> reports;
};

TEST(LoopbackCableDevices, TheCableIsOneDeviceBothWaysAndItsOwnDefault) {
    LoopbackCable cable;
    EXPECT_EQ(cable.devices(), (std::vector<AudioDeviceInfo>{{"Loopback cable", true, true, true, true}}));
}

TEST(ChosenAudioBackendTest, ListsTheDefaultFirstThenEveryDeviceOfTheDirectionAndTheCable) {
    Rig rig;
    EXPECT_EQ(rig.backend->outputChoices(),
              (std::vector<std::string>{"", "ALSA: Speakers", "ALSA: USB Headset", "Loopback cable"}));
    EXPECT_EQ(rig.backend->inputChoices(),
              (std::vector<std::string>{"", "ALSA: Microphone", "ALSA: USB Headset", "Loopback cable"}));
}

TEST(ChosenAudioBackendTest, TheNextStartOpensTheChosenDeviceOfEachDirection) {
    Rig rig;
    auto first = rig.backend->createOutput();  // the default: the card has a default output
    rig.backend->chooseDevices({"ALSA: USB Headset", "Loopback cable"});
    auto second = rig.backend->createOutput();
    auto input = rig.backend->createInput();
    EXPECT_EQ(rig.card->opened, (std::vector<std::string>{"output ", "output ALSA: USB Headset"}));
    EXPECT_EQ(rig.cable->inputs, 1);
    EXPECT_EQ(rig.cable->outputs, 0);
    EXPECT_EQ(rig.backend->displayName(), "PortAudio: ALSA: USB Headset / input: Loopback cable");
    EXPECT_TRUE(rig.reports.empty());
}

TEST(ChosenAudioBackendTest, ARememberedDeviceThatHasGoneFallsBackToTheDefaultWithOneMessage) {
    Rig rig;
    rig.backend->chooseDevices({"ALSA: Old Headset", "ALSA: Microphone"});
    auto first = rig.backend->createOutput();
    first.reset();
    auto again = rig.backend->createOutput();
    auto input = rig.backend->createInput();
    EXPECT_EQ(rig.card->opened, (std::vector<std::string>{"output ", "output ", "input ALSA: Microphone"}));
    EXPECT_EQ(rig.reports,
              std::vector<std::string>{"The audio device \"ALSA: Old Headset\" is not available; the system default is used."});
    // The setting still shows the remembered device, after the ones present.
    EXPECT_EQ(rig.backend->outputChoices().back(), "ALSA: Old Headset");
    EXPECT_EQ(rig.backend->displayName(), "PortAudio: ALSA: Speakers / input: PortAudio: ALSA: Microphone");
}

TEST(ChosenAudioBackendTest, WithoutADefaultOutputOnTheCardTheDefaultIsTheCable) {
    Rig rig({{"ALSA: Microphone", false, true, false, true}});
    auto output = rig.backend->createOutput();
    auto input = rig.backend->createInput();
    EXPECT_EQ(rig.cable->outputs, 1);
    EXPECT_EQ(rig.cable->inputs, 1);
    EXPECT_TRUE(rig.card->opened.empty());
    EXPECT_EQ(rig.backend->displayName(), "Loopback cable");
}

TEST(ChosenAudioBackendTest, TheEnvironmentsBackendServesWhateverIsChosen) {
    auto cableOwned = std::make_unique<CountingCable>();
    CountingCable& cable = *cableOwned;
    auto backend = ChosenAudioBackend::decidedByEnvironment(std::move(cableOwned));
    backend->chooseDevices({"ALSA: USB Headset", "ALSA: USB Headset"});
    auto output = backend->createOutput();
    auto input = backend->createInput();
    EXPECT_TRUE(backend->environmentDecides());
    EXPECT_EQ(cable.outputs, 1);
    EXPECT_EQ(cable.inputs, 1);
    EXPECT_EQ(backend->choice().output, "ALSA: USB Headset");  // kept for when it no longer decides
    EXPECT_EQ(backend->displayName(), "Loopback cable");
}

}  // namespace
}  // namespace tonewell
