#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <utility>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCMemFile.h"
#include "imaging/Gradient.h"
#include "imaging/tests/ResourceFixture.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

std::string Real(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return Le32(bits);
}

std::string Stops(std::initializer_list<std::pair<uint32_t, float>> stops) {
    std::string out = Le32(uint32_t(stops.size()));
    for (auto [colour, position] : stops) {
        out += Le32(colour) + Real(position);
    }
    return out;
}

class GradientResources : public ImageResourceFile {
protected:
    void SetUp() override {
        ImageResourceFile::SetUp();
        Install(ResBlock(kResGradientTag, 1, "sky",
                         Stops({{0xFFFF0000u, 0.0f}, {0xFF00FF00u, 0.5f}, {0xFF0000FFu, 1.0f}})) +
                ResBlock(kResGradientTag, 2, "beyond", Stops({{0xFF112233u, 2.5f}})) +
                ResBlock(kResGradientTag, 3, "huge", Le32(50000)) +
                ResBlock(kResGradientTag, 4, "partly",
                         Stops({{0xFF445566u, 0.5f}, {0xFF112233u, 2.5f}})));
    }
};

TEST_F(GradientResources, StopsAtTheEndsReplaceTheDefaultOnes) {
    std::unique_ptr<CGradient> g(CGradient::CreateFromRes(S("sky"), nullptr, nullptr));
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->GetLastIndex(), 2);
    EXPECT_EQ(uint32_t(g->Stops()[0].colour), 0xFFFF0000u);
    EXPECT_EQ(uint32_t(g->Stops()[1].colour), 0xFF00FF00u);
    EXPECT_EQ(uint32_t(g->Stops()[2].colour), 0xFF0000FFu);
    EXPECT_EQ(uint32_t(g->GetColourAtPoint(0, 100)), 0xFFFF0000u);
    EXPECT_EQ(g->GetResID(), 1);
}

TEST_F(GradientResources, FailuresAreReportedWithTheirTexts) {
    EXPECT_EQ(CGradient::CreateFromRes(S("beyond"), nullptr, nullptr), nullptr);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].text, "An error occurred reading data from a binary resource file.\n"
                                    "Error adding gradient point.");
    EXPECT_EQ(CGradient::CreateFromRes(3, nullptr, nullptr), nullptr);
    EXPECT_EQ(app.m_Alerts.back().text,
              "An error occurred reading data from a binary resource file.\n"
              "Error reading number of gradient items.");
    EXPECT_EQ(CGradient::CreateFromRes(S("none"), nullptr, nullptr), nullptr);
    EXPECT_EQ(app.m_Alerts.size(), 2u) << "a missing block is not reported";
}

// The stops of a block come all or not at all: the second stop of
// "partly" cannot be added, and the first does not stay either.
TEST_F(GradientResources, AFailedLoadLeavesTheStopsAsTheyWere) {
    CGradient g{CPixel(0xFF000000u), CPixel(0xFFFFFFFFu)};
    g.SetMode(CGradient::eCubic);
    EXPECT_EQ(g.GetFromRes(S("partly"), nullptr, nullptr), eResourceReadError);
    ASSERT_EQ(g.GetLastIndex(), 1);
    EXPECT_EQ(uint32_t(g.Stops()[0].colour), 0xFF000000u);
    EXPECT_EQ(uint32_t(g.Stops()[1].colour), 0xFFFFFFFFu);
    EXPECT_EQ(g.GetMode(), CGradient::eCubic);
    EXPECT_EQ(app.m_Alerts.size(), 1u);
}

// Writes a gradient stream: the header fields, then the stops.
void WriteGradient(gCMemFile& mem, int32_t flag16, int32_t mode,
                   std::initializer_list<std::pair<float, uint32_t>> stops) {
    ASSERT_EQ(mem.WriteUint32(0x67726164u), eNoError);
    ASSERT_EQ(mem.WriteUint32(1), eNoError);
    ASSERT_EQ(mem.WriteFlag(flag16), eNoError);
    ASSERT_EQ(mem.WriteInt32(mode), eNoError);
    ASSERT_EQ(mem.WriteInt32(int32_t(stops.size())), eNoError);
    for (auto [position, colour] : stops) {
        ASSERT_EQ(mem.WriteReal(position), eNoError);
        ASSERT_EQ(mem.WriteUint32(colour), eNoError);
    }
    ASSERT_EQ(mem.Rewind(), eNoError);
}

// Reading or assigning a gradient without memory for its stops leaves the
// gradient whole: its flag and mode do not change without them.
TEST(GradientStream, WithoutMemoryNothingChanges) {
    gCMemFile mem;
    WriteGradient(
        mem, 1, CGradient::eCubic,
        {{0.0f, 0xFF000000u}, {0.4f, 0xFF808080u}, {0.7f, 0xFFA0A0A0u}, {1.0f, 0xFFFFFFFFu}});
    CGradient read{CPixel(0xFF000000u), CPixel(0xFFFFFFFFu)};
    {
        CFailingMemory noMemory;
        EXPECT_EQ(read.Read(&mem), eOutOfMemory);
    }
    EXPECT_EQ(read.Is16Bit(), 0);
    EXPECT_EQ(read.GetMode(), CGradient::eLinear);
    EXPECT_EQ(read.GetLastIndex(), 1);

    ASSERT_EQ(mem.Rewind(), eNoError);
    CGradient source{CPixel(0u), CPixel(0u)};
    ASSERT_EQ(source.Read(&mem), eNoError);
    CGradient assigned{CPixel(0xFF000000u), CPixel(0xFFFFFFFFu)};
    {
        CFailingMemory noMemory;
        assigned = source;
    }
    EXPECT_EQ(assigned.Is16Bit(), 0);
    EXPECT_EQ(assigned.GetMode(), CGradient::eLinear);
    EXPECT_EQ(assigned.GetLastIndex(), 1);
    assigned = source;
    EXPECT_EQ(assigned.Is16Bit(), 1);
    EXPECT_EQ(assigned.GetLastIndex(), 3);
}

TEST(GradientStream, WriteThenReadGivesTheSameGradient) {
    CGradient a{CPixel(0xFF000000u), CPixel(0x80FFFFFFu)};
    a.AddPoint(CPixel(0xFF336699u), 0.3f);
    a.SetMode(CGradient::eCubic);
    a.Set16Bit(1);
    gCMemFile mem;
    ASSERT_EQ(a.Write(&mem), eNoError);
    EXPECT_EQ(mem.GetSize(), 4 + 4 + 4 + 4 + 4 + 3 * 8);

    CGradient b{CPixel(0u), CPixel(0u)};
    ASSERT_EQ(mem.Rewind(), eNoError);
    ASSERT_EQ(b.Read(&mem), eNoError);
    EXPECT_EQ(b.GetMode(), CGradient::eCubic);
    EXPECT_EQ(b.Is16Bit(), 1);
    ASSERT_EQ(b.GetLastIndex(), 2);
    for (int32_t i = 0; i <= 2; ++i) {
        EXPECT_EQ(uint32_t(b.Stops()[i].colour), uint32_t(a.Stops()[i].colour));
        EXPECT_EQ(b.Stops()[i].position, a.Stops()[i].position);
    }
    for (int32_t i = 0; i < CGradient::kTableSize; i += 97) {
        EXPECT_EQ(uint32_t(b.GetInterpColour(uint32_t(i) << 8)),
                  uint32_t(a.GetInterpColour(uint32_t(i) << 8)));
    }
}

TEST(GradientStream, WrongTypeOrVersionChangesNothing) {
    for (auto [type, version] : {std::pair<uint32_t, uint32_t>{0x67726164u, 2},
                                 std::pair<uint32_t, uint32_t>{0x696D6167u, 1}}) {
        gCMemFile mem;
        ASSERT_EQ(mem.WriteUint32(type), eNoError);
        ASSERT_EQ(mem.WriteUint32(version), eNoError);
        ASSERT_EQ(mem.WriteFlag(1), eNoError);
        ASSERT_EQ(mem.WriteInt32(0), eNoError);
        ASSERT_EQ(mem.WriteInt32(0), eNoError);
        ASSERT_EQ(mem.Rewind(), eNoError);
        CGradient g{CPixel(0xFF000000u), CPixel(0xFFFFFFFFu)};
        EXPECT_EQ(g.Read(&mem), eBadParameter);
        EXPECT_EQ(g.GetLastIndex(), 1);
        EXPECT_EQ(g.Is16Bit(), 0);
    }
}

// Reads a linear gradient whose stream holds these stops (position,
// colour) in this order.
void ReadStops(CGradient& g, std::initializer_list<std::pair<float, uint32_t>> stops) {
    gCMemFile mem;
    WriteGradient(mem, 0, CGradient::eLinear, stops);
    ASSERT_EQ(g.Read(&mem), eNoError);
}

TEST(GradientStream, TwoStopsAtOnePositionStartTheNextSegmentWithTheSecond) {
    // Black at 0, red and blue both at 0.5, white at 1, read as stored.
    CGradient g{CPixel(0u), CPixel(0u)};
    ReadStops(g,
              {{0.0f, 0xFF000000u}, {0.5f, 0xFFFF0000u}, {0.5f, 0xFF0000FFu}, {1.0f, 0xFFFFFFFFu}});
    // 0.5 * 4095 -> 2048. Black to red fills 0..2047; blue starts 2048.
    g.Rebuild();
    EXPECT_EQ((uint32_t(g.Table()[2047]) >> 16) & 0xFF, 0xFFu) << "red arrives at 2047";
    EXPECT_EQ(uint32_t(g.Table()[2048]), 0xFF0000FFu) << "blue starts the next segment";
    EXPECT_EQ(uint32_t(g.Table()[4095]), 0xFFFFFFFFu);
}

// Stops far beyond the ends, as a damaged or hostile stream may hold them:
// the table is what the exact arithmetic gives, and building it stays
// defined and quick.
TEST(GradientStream, StopsFarOutsideTheRangeFillTheTableExactly) {
    CGradient g{CPixel(0u), CPixel(0u)};
    ReadStops(g, {{0.0f, 0xFFFF0000u}, {0.5f, 0xFF00FF00u}, {1.0e30f, 0xFF0000FFu}});
    g.Rebuild();
    // Green at 2048 heads for blue so far away that no entry moves from it.
    for (int32_t i = 2048; i < 4095; ++i) {
        ASSERT_EQ(uint32_t(g.Table()[i]), 0xFF00FF00u) << "entry " << i;
    }
    EXPECT_EQ(uint32_t(g.Table()[4095]), 0xFF0000FFu) << "the last stop lies past the end";
    EXPECT_EQ(uint32_t(g.GetColourAtPoint(1.0e30f)), 0xFF0000FFu);
    EXPECT_EQ(uint32_t(g.GetColourAtPoint(-1.0e30f)), 0xFFFF0000u);

    // A stop at minus infinity goes first and reaches no entry.
    CGradient plain{CPixel(0xFFFF0000u), CPixel(0xFF0000FFu)};
    CGradient far{CPixel(0xFFFF0000u), CPixel(0xFF0000FFu)};
    ASSERT_EQ(far.AddPoint(CPixel(0xFF00FF00u), -std::numeric_limits<float>::infinity()), 0);
    plain.Rebuild();
    far.Rebuild();
    for (int32_t i = 0; i < CGradient::kTableSize; ++i) {
        ASSERT_EQ(uint32_t(far.Table()[i]), uint32_t(plain.Table()[i])) << "entry " << i;
    }
}

TEST(GradientStream, DamagedCountIsRefused) {
    gCMemFile mem;
    ASSERT_EQ(mem.WriteUint32(0x67726164u), eNoError);
    ASSERT_EQ(mem.WriteUint32(1), eNoError);
    ASSERT_EQ(mem.WriteFlag(0), eNoError);
    ASSERT_EQ(mem.WriteInt32(0), eNoError);
    ASSERT_EQ(mem.WriteInt32(1 << 28), eNoError);
    ASSERT_EQ(mem.Rewind(), eNoError);
    CGradient g{CPixel(0xFF000000u), CPixel(0xFFFFFFFFu)};
    EXPECT_NE(g.Read(&mem), eNoError);
}

} // namespace
