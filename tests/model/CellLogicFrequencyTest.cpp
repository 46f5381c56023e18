#include "model/cmcFrequency.h"

#include <gtest/gtest.h>

namespace {

struct SnapCase {
    uint32_t typed;
    int band;
    bool offset;
    uint32_t stored;
};

TEST(CellLogicFrequencyTest, SnapsToTheNearestGridOfTheBand) {
    const SnapCase cases[] = {
        {145012500, 6, false, 145012500}, // 6.25 kHz grid, distance 0
        {145012600, 6, false, 145012500}, // 6.25 kHz point 100 Hz away beats the 5 kHz grid
        {118008300, 5, false, 118008333}, // the air band's 8.33 kHz grid
        {118008300, 6, false, 118010000}, // without it, the 5 kHz point 1,700 Hz away
        {1602000, 1, false, 1602000},     // a multiple of 9 kHz stays in medium wave
        {1603000, 1, false, 1605000},     // other medium-wave values snap as usual
        {145000000, 6, false, 145000000},
        {199995000, 6, true, OffsetLimitHz}, // offsets stop at 159.9975 MHz
        {600000, 6, true, 600000},
        {74999, 6, false, 75000}, // rounding up crosses into the next 75 kHz span
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapFrequency(c.typed, c.band, c.offset), c.stored)
            << c.typed << " in band " << c.band;
}

TEST(CellLogicFrequencyTest, SnappingNearTheTopOfTheRangeDoesNotWrap) {
    const uint32_t snapped = SnapFrequency(UINT32_MAX, 10, false);
    EXPECT_LE(snapped, UINT32_MAX);
    EXPECT_GT(snapped, UINT32_MAX - 10000u); // the grid point below, not a tiny wrapped value
}

TEST(CellLogicFrequencyTest, TrainFrequenciesRoundToTenHertzWithinTheirRange) {
    EXPECT_EQ(RoundTrainFrequency(2284), 2280u);
    EXPECT_EQ(RoundTrainFrequency(2285), 2290u);
    EXPECT_EQ(RoundTrainFrequency(100), 300u);
    EXPECT_EQ(RoundTrainFrequency(9000), 3000u);
}

TEST(CellLogicFrequencyTest, ShowsMegahertzWithSixDecimalsAndThreePlaces) {
    EXPECT_EQ(FormatMegahertz(145000000), "145.000000");
    EXPECT_EQ(FormatMegahertz(76000000), " 76.000000");
    EXPECT_EQ(FormatMegahertz(150000), "  0.150000");
    EXPECT_EQ(FormatMegahertz(1300000000), "1300.000000");
}

TEST(CellLogicFrequencyTest, ReadsTypedTextAsTheCellsDo) {
    EXPECT_EQ(ParseMegahertz("145", 150000, 1300000000), 145000000u);
    EXPECT_EQ(ParseMegahertz(" 145.0125 MHz", 150000, 1300000000), 145012500u);
    EXPECT_EQ(ParseMegahertz("0.0000005", 0, 1300000000), 1u); // half away from zero
    EXPECT_EQ(ParseMegahertz("0.0000004", 0, 1300000000), 0u);
    EXPECT_EQ(ParseMegahertz("99999", 150000, 1300000000), 1300000000u);
    EXPECT_EQ(ParseMegahertz("-5", 150000, 1300000000), 150000u);
    EXPECT_EQ(ParseMegahertz(".5", 0, 1300000000), 500000u);
    EXPECT_FALSE(ParseMegahertz("", 150000, 1300000000));
    EXPECT_FALSE(ParseMegahertz("abc", 150000, 1300000000));
    EXPECT_FALSE(ParseMegahertz("-.", 150000, 1300000000));
    // Only the first nine kept characters count: "123456789" of "1234567890".
    EXPECT_EQ(ReadDecimal("1234567890", 0), 123456789);
    EXPECT_EQ(ReadDecimal("-2.5", 0), -3);
    EXPECT_EQ(ReadDecimal("2.4", 0), 2);
}

} // namespace
