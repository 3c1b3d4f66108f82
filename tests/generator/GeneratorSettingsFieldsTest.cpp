#include "generator/GeneratorSettingsFields.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

TEST(GeneratorSettingsFields, EveryFieldKindIsSetByName) {
    GeneratorSettings settings;
    EXPECT_EQ(SetGeneratorSettingsField(settings, "waveformIndexA", "PinkNoise"), "");
    EXPECT_EQ(settings.waveformIndexA, 6);
    EXPECT_EQ(SetGeneratorSettingsField(settings, "waveformIndexB", "3"), "");
    EXPECT_EQ(settings.waveformIndexB, 3);
    EXPECT_EQ(SetGeneratorSettingsField(settings, "phaseDifference", "-90"), "");
    EXPECT_EQ(settings.phaseDifference, -90);
    EXPECT_EQ(SetGeneratorSettingsField(settings, "frequencyB", "4294967295"), "");
    EXPECT_EQ(settings.frequencyB, 4294967295u);
    EXPECT_EQ(SetGeneratorSettingsField(settings, "sweepLinearA", "0"), "");
    EXPECT_FALSE(settings.sweepLinearA);
    EXPECT_EQ(SetGeneratorSettingsField(settings, "sweepEnabled", "true"), "");
    EXPECT_TRUE(settings.sweepEnabled);
    EXPECT_EQ(GeneratorSettingsFieldNames().size(), 19u);
}

TEST(GeneratorSettingsFields, BadTextIsRefusedAndChangesNothing) {
    GeneratorSettings settings;
    const GeneratorSettings before = settings;
    EXPECT_NE(SetGeneratorSettingsField(settings, "frequencyA", "-5"), "");
    EXPECT_NE(SetGeneratorSettingsField(settings, "frequencyA", "4294967296"), "");
    EXPECT_NE(SetGeneratorSettingsField(settings, "frequencyA", "12abc"), "");
    EXPECT_NE(SetGeneratorSettingsField(settings, "frequencyA", ""), "");
    EXPECT_NE(SetGeneratorSettingsField(settings, "waveformIndexA", "Sinus"), "");
    EXPECT_NE(SetGeneratorSettingsField(settings, "sweepEnabled", "yes"), "");
    EXPECT_NE(SetGeneratorSettingsField(settings, "noSuchField", "1"), "");
    EXPECT_EQ(settings.frequencyA, before.frequencyA);
    EXPECT_EQ(settings.waveformIndexA, before.waveformIndexA);
    EXPECT_EQ(settings.sweepEnabled, before.sweepEnabled);
}

}  // namespace
}  // namespace tonewell
