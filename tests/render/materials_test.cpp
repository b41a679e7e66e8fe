// The material preset table and the choice of the chain balls' preset, checked value by value
// without a window.
#include <gtest/gtest.h>

#include <iterator>

#include "core/game_state.h"
#include "render/materials.h"
#include "support/game_test.h"

namespace {

struct ExpectedPreset {
    int number;
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float shininess;
};

// The 31 presets as the game's design gives them: R, G, B, A of ambient, diffuse and specular,
// then the shininess. Each decimal is the shortest that converts exactly to its float, so every
// comparison below is exact.
// clang-format off
const ExpectedPreset expected_presets[] = {
    {1, {0.329412f, 0.223529f, 0.027451f, 1.0f}, {0.780392f, 0.568627f, 0.113725f, 1.0f}, {0.992157f, 0.941176f, 0.807843f, 1.0f}, 27.8974f},
    {2, {0.19125f, 0.07355f, 0.0225f, 1.0f}, {0.7038f, 0.27048f, 0.0828f, 1.0f}, {0.0256777f, 0.137622f, 0.086014f, 1.0f}, 12.8f},
    {3, {0.1f, 0.1f, 0.4f, 0.2f}, {0.2f, 0.3f, 0.9f, 0.4f}, {0.1f, 0.1f, 0.7f, 0.8f}, 5.0f},
    {4, {0.1215f, 0.1745f, 0.0215f, 1.0f}, {0.07568f, 0.61424f, 0.07568f, 1.0f}, {0.633f, 0.727811f, 0.633f, 1.0f}, 76.8f},
    {5, {0.15375f, 0.05f, 0.06625f, 1.0f}, {0.18275f, 0.17f, 0.22525f, 1.0f}, {0.232741f, 0.428634f, 0.446435f, 1.0f}, 38.4f},
    {6, {0.05375f, 0.05f, 0.06625f, 1.0f}, {0.18275f, 0.17f, 0.22525f, 1.0f}, {0.332741f, 0.328634f, 0.346435f, 1.0f}, 38.4f},
    {7, {0.19225f, 0.19225f, 0.19225f, 1.0f}, {0.50754f, 0.50754f, 0.50754f, 1.0f}, {0.508273f, 0.508273f, 0.508273f, 1.0f}, 51.2f},
    {8, {0.3f, 0.0f, 0.0f, 1.0f}, {0.9f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, 0.0f},
    {9, {0.0f, 0.3f, 0.0f, 1.0f}, {0.0f, 0.9f, 0.0f, 1.0f}, {0.2f, 1.0f, 0.2f, 1.0f}, 8.0f},
    {10, {0.329412f, 0.223529f, 0.027451f, 1.0f}, {0.780392f, 0.568627f, 0.113725f, 1.0f}, {0.992157f, 0.941176f, 0.807843f, 1.0f}, 27.8974f},
    {11, {0.2125f, 0.1275f, 0.054f, 1.0f}, {0.714f, 0.4284f, 0.18144f, 1.0f}, {0.393548f, 0.271906f, 0.166721f, 1.0f}, 25.6f},
    {12, {0.25f, 0.148f, 0.06475f, 1.0f}, {0.4f, 0.2368f, 0.1036f, 1.0f}, {0.774597f, 0.458561f, 0.200621f, 1.0f}, 76.8f},
    {13, {0.25f, 0.25f, 0.25f, 1.0f}, {0.4f, 0.4f, 0.4f, 1.0f}, {0.774597f, 0.774597f, 0.774597f, 1.0f}, 76.8f},
    {14, {0.19125f, 0.0735f, 0.0225f, 1.0f}, {0.7038f, 0.27048f, 0.0828f, 1.0f}, {0.256777f, 0.137622f, 0.086014f, 1.0f}, 12.8f},
    {15, {0.2295f, 0.08825f, 0.0275f, 1.0f}, {0.5508f, 0.2118f, 0.066f, 1.0f}, {0.580594f, 0.223257f, 0.0695701f, 1.0f}, 51.2f},
    {16, {0.24725f, 0.1995f, 0.0745f, 1.0f}, {0.75164f, 0.60648f, 0.22648f, 1.0f}, {0.628281f, 0.555802f, 0.366065f, 1.0f}, 51.2f},
    {17, {0.24725f, 0.2245f, 0.0645f, 1.0f}, {0.34615f, 0.3143f, 0.0903f, 1.0f}, {0.797357f, 0.723991f, 0.208006f, 1.0f}, 83.2f},
    {18, {0.105882f, 0.058824f, 1.0f, 0.0f}, {0.427451f, 0.470588f, 1.0f, 0.0f}, {0.333333f, 0.333333f, 1.0f, 0.0f}, 9.84615f},
    {19, {0.1f, 0.1f, 0.0f, 1.0f}, {0.7f, 0.7f, 0.1f, 1.0f}, {0.3f, 0.3f, 0.0f, 1.0f}, 0.0f},
    {20, {0.23125f, 0.23125f, 0.23125f, 1.0f}, {0.2775f, 0.2775f, 0.2775f, 1.0f}, {0.773911f, 0.773911f, 0.773911f, 1.0f}, 89.6f},
    {21, {0.0215f, 0.1745f, 0.0215f, 1.0f}, {0.07568f, 0.61424f, 0.07568f, 1.0f}, {0.633f, 0.727811f, 0.633f, 1.0f}, 76.8f},
    {22, {0.135f, 0.2225f, 0.1575f, 1.0f}, {0.54f, 0.89f, 0.63f, 1.0f}, {0.316228f, 0.316228f, 0.316228f, 1.0f}, 12.8f},
    {23, {0.329412f, 0.223529f, 0.027451f, 1.0f}, {0.780392f, 0.568627f, 0.113725f, 1.0f}, {0.992157f, 0.941176f, 0.807843f, 1.0f}, 1.0f},
    {24, {0.25f, 0.20725f, 0.20725f, 0.922f}, {1.0f, 0.829f, 0.829f, 0.922f}, {0.296648f, 0.296648f, 0.296648f, 0.922f}, 11.264f},
    {25, {0.1745f, 0.01175f, 0.04136f, 0.55f}, {0.61424f, 0.04136f, 0.04136f, 0.55f}, {0.727811f, 0.626959f, 0.626959f, 0.55f}, 76.8f},
    {26, {0.1f, 0.18725f, 0.1745f, 0.8f}, {0.396f, 0.74151f, 0.69102f, 0.8f}, {0.297254f, 0.30829f, 0.306678f, 0.8f}, 12.8f},
    {27, {0.0f, 0.0f, 0.0f, 1.0f}, {0.01f, 0.01f, 0.01f, 1.0f}, {0.5f, 0.5f, 0.5f, 1.0f}, 32.0f},
    {28, {0.02f, 0.02f, 0.02f, 1.0f}, {0.01f, 0.01f, 0.01f, 1.0f}, {0.4f, 0.4f, 0.4f, 1.0f}, 10.0f},
    {29, {0.2745f, 0.01175f, 0.04136f, 0.55f}, {0.61424f, 0.04136f, 0.04136f, 0.55f}, {0.727811f, 0.626959f, 0.626959f, 0.55f}, 76.8f},
    {30, {0.0f, 0.5f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f}, {0.4f, 1.0f, 0.4f, 1.0f}, 0.0f},
    {31, {0.205882f, 0.058824f, 1.0f, 0.0f}, {0.427451f, 0.470588f, 1.0f, 0.0f}, {0.333333f, 0.333333f, 1.0f, 0.0f}, 9.84615f},
};
// clang-format on

void expect_colour(const float (&actual)[4], const float (&expected)[4], const char* which)
{
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(actual[i], expected[i]) << which << " component " << i;
    }
}

TEST(MaterialPresets, EveryPresetFromOneToThirtyOneHoldsItsDesignedColoursAndShininess)
{
    ASSERT_EQ(std::size(expected_presets), 31u);
    for (const ExpectedPreset& expected : expected_presets) {
        SCOPED_TRACE(::testing::Message() << "preset " << expected.number);
        const Material* preset = material_preset(expected.number);
        ASSERT_NE(preset, nullptr);
        expect_colour(preset->ambient, expected.ambient, "ambient");
        expect_colour(preset->diffuse, expected.diffuse, "diffuse");
        expect_colour(preset->specular, expected.specular, "specular");
        EXPECT_EQ(preset->shininess, expected.shininess);
    }
}

TEST(MaterialPresets, EachNumberHasARecordOfItsOwnEvenWhereTheValuesRepeat)
{
    EXPECT_NE(material_preset(1), material_preset(10));
    EXPECT_NE(material_preset(18), material_preset(31));
}

TEST(MaterialPresets, ThereIsNoPresetZeroNorOneBeyondThirtyOne)
{
    EXPECT_EQ(material_preset(0), nullptr);
    EXPECT_EQ(material_preset(32), nullptr);
    EXPECT_EQ(material_preset(-1), nullptr);
}

using BallMaterial = GameTest;

TEST_F(BallMaterial, ChainBallsTakeThePresetNumberedByBallMaterialAtBothEndsOfTheRange)
{
    ball_material = 1;
    EXPECT_EQ(ball_preset(), material_preset(1));
    ball_material = 31;
    EXPECT_EQ(ball_preset(), material_preset(31));
}

TEST_F(BallMaterial, BallMaterialZeroOrThirtyTwoSelectsNoPresetSoTheLastAppliedOneStays)
{
    ball_material = 0;
    EXPECT_EQ(ball_preset(), nullptr);
    ball_material = 32;
    EXPECT_EQ(ball_preset(), nullptr);
}

}  // namespace
