#include "ModelFixture.h"

#include "model/cmcImageCorrection.h"
#include "model/cmcMemoryMap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

using namespace memmap;

namespace {

constexpr uint32_t A = 3, F = 0, W = 1, M = 2; // Auto, FM, WFM, AM
constexpr uint32_t SA = 15, S5 = 0, S9 = 4, S12 = 6, S15 = 7, S20 = 8, S25 = 9, S50 = 11;

struct Band {
    double mhz, offsetMhz;
    uint32_t mode, step;
};
struct Expected {
    int destination;
    Band bands[11];
    double edges[3][2]; // lower, upper in MHz
};

const Expected Table[] = {
    {0,
     {{0.15, 0, A, SA},
      {1.62, 0, A, SA},
      {5, 0, A, SA},
      {51, 0, A, SA},
      {76, 0, A, SA},
      {118, 0, A, SA},
      {145, 0, A, SA},
      {370, 0, A, SA},
      {433, 5, A, SA},
      {850, 0, A, SA},
      {1295, 20, A, SA}},
     {{0.15, 1300}, {144, 146}, {430, 440}}},
    {5,
     {{0.15, 0, A, SA},
      {1.62, 0, A, SA},
      {5, 0, A, SA},
      {51, 0.5, A, SA},
      {76, 0, A, SA},
      {118, 0, A, SA},
      {146.01, 0.6, A, SA},
      {370, 0, A, SA},
      {440, 5, A, SA},
      {850, 0, A, SA},
      {1295, 0, A, SA}},
     {{0.15, 1300}, {137, 174}, {400, 470}}},
    {1,
     {{0.15, 0, M, S5},
      {1.62, 0, M, S9},
      {5, 0, M, S5},
      {51, 0.5, F, S25},
      {88, 0, W, S50},
      {118, 0, M, S25},
      {145, 0.6, F, S25},
      {370, 0, F, S12},
      {430, 7.6, F, S25},
      {850, 0, F, S12},
      {1295, 0, F, S25}},
     {{0.15, 1300}, {144, 146}, {430, 440}}},
    {2,
     {{0.15, 0, M, S5},
      {1.62, 0, M, S9},
      {5, 0, M, S5},
      {51, 0.5, F, S20},
      {88, 0, W, S50},
      {118, 0, M, S25},
      {145, 0.6, F, S25},
      {370, 0, F, S12},
      {430, 1.6, F, S25},
      {850, 0, F, S12},
      {1295, 0, F, S20}},
     {{0.15, 1300}, {144, 146}, {430, 440}}},
    {3,
     {{0.15, 0, M, S5},
      {1.62, 0, M, S9},
      {5, 0, M, S5},
      {51, 0.5, F, S20},
      {88, 0, W, S50},
      {118, 0, M, S25},
      {145, 0.6, F, S25},
      {370, 0, F, S12},
      {432, 4.6, F, S25},
      {850, 0, F, S12},
      {1295, 0, F, S20}},
     {{0.15, 1300}, {144, 146}, {432, 438}}},
    {4,
     {{0.15, 0, M, S5},
      {1.62, 0, M, S9},
      {5, 0, M, S5},
      {51, 0.5, F, S20},
      {88, 0, W, S50},
      {118, 0, M, S25},
      {145, 0.6, F, S25},
      {370, 0, F, S12},
      {430, 7.6, F, S25},
      {850, 0, F, S12},
      {1295, 0, F, S20}},
     {{0.15, 1298}, {144, 146}, {430, 438}}},
    {7,
     {{0.15, 0, M, S5},
      {1.62, 0, M, S9},
      {5, 0, M, S5},
      {51, 0.5, F, S20},
      {76, 0, W, S50},
      {118, 0, M, S25},
      {146.01, 0.6, F, S15},
      {370, 0, F, S12},
      {430, 5, F, S25},
      {850, 0, F, S12},
      {1295, 0, F, S20}},
     {{0.15, 1300}, {137, 174}, {430, 440}}},
    {11,
     {{0.15, 0, M, S5},
      {1.62, 0, M, S9},
      {5, 0, M, S5},
      {51, 0, F, S20},
      {88, 0, W, S50},
      {118, 0, M, S25},
      {145, 0.6, F, S25},
      {370, 0, F, S12},
      {430, 7.6, F, S25},
      {850, 0, F, S12},
      {1295, 0, F, S20}},
     {{0.15, 1300}, {144, 146}, {430, 440}}},
    {12,
     {{0.15, 0, M, S5},
      {1.62, 0, M, S9},
      {5, 0, M, S5},
      {50, 0, F, S20},
      {88, 0, W, S50},
      {118, 0, M, S25},
      {145, 0.6, F, S25},
      {370, 0, F, S12},
      {430, 7.6, F, S25},
      {850, 0, F, S12},
      {1295, 0, F, S20}},
     {{144, 440}, {144, 146}, {430, 440}}},
    {13,
     {{0.15, 0, M, S5},
      {1.62, 0, M, S9},
      {5, 0, M, S5},
      {51, 0.5, F, S20},
      {88, 0, W, S50},
      {118, 0, M, S25},
      {145, 0.6, F, S25},
      {370, 0, F, S12},
      {430, 7.6, F, S25},
      {850, 0, F, S12},
      {1295, 0, F, S20}},
     {{144, 438}, {144, 146}, {430, 438}}},
};

uint32_t Hz(double mhz) {
    return uint32_t(mhz * 1e6 + 0.5);
}

TEST(DefaultImageTest, BandMemoriesAndEdgesPerDestination) {
    for (const Expected& expected : Table) {
        SCOPED_TRACE(expected.destination);
        indDestination destination(expected.destination);
        cmcEeprom image;
        image.SetSize(ImageSize);
        FillDefaultImage(image, expected.destination);
        datCh record(&image, nullptr, &destination);
        for (int band = 0; band < 11; ++band) {
            const Band& b = expected.bands[band];
            record.Load(datKind::Band, band);
            EXPECT_EQ(record.frequency, Hz(b.mhz)) << band;
            EXPECT_EQ(record.offset, Hz(b.offsetMhz)) << band;
            EXPECT_EQ(record.mode, b.mode) << band;
            EXPECT_EQ(record.tuningStep, b.step) << band;
            EXPECT_EQ(record.duplex, 0);
            EXPECT_EQ(record.tone, 8u);
            EXPECT_EQ(record.trainFrequency, 2280u);
            EXPECT_EQ(image.GetByte(BandMemoryAddress(band) + 13) & 3, band == 0 ? 2 : 0);
            EXPECT_EQ(image.GetByte(BandMemoryAddress(band) + 14), 0xFF);
        }
        EXPECT_EQ(0, std::memcmp(image.Data() + BandMemoryAddress(11),
                                 image.Data() + BandMemoryAddress(6), ChannelSize));
        // Channels 0 and 1 are copies of band memories 6 and 8.
        EXPECT_EQ(0, std::memcmp(image.Data(), image.Data() + BandMemoryAddress(6), ChannelSize));
        EXPECT_EQ(0, std::memcmp(image.Data() + ChannelSize, image.Data() + BandMemoryAddress(8),
                                 ChannelSize));
        const char* names[] = {"ALL", "VHF", "UHF"};
        for (int edge = 0; edge < 3; ++edge) {
            record.Load(datKind::PgSrch, edge);
            EXPECT_EQ(record.NameText(), names[edge]);
            EXPECT_EQ(record.secondFrequency, Hz(expected.edges[edge][0]));
            EXPECT_EQ(record.frequency, Hz(expected.edges[edge][1]));
        }
        record.Load(datKind::PgSrch, 3);
        EXPECT_FALSE(record.InUse());
        EXPECT_TRUE(image.HasFormatMarker());
        EXPECT_EQ(image.GetByte(MapSize), 0); // above the map nothing is written
    }
}

TEST(DefaultImageTest, TenDistinctImagesAndImage0OutsideTheRange) {
    std::set<std::vector<uint8_t>> distinct;
    for (int destination = 0; destination < 14; ++destination) {
        const uint8_t* bytes = DefaultImageBytes(destination);
        distinct.insert(std::vector<uint8_t>(bytes, bytes + MapSize));
    }
    EXPECT_EQ(distinct.size(), 10u);
    for (int destination : {6, 8, 9, 10, 14, 99, -1})
        EXPECT_EQ(0, std::memcmp(DefaultImageBytes(destination), DefaultImageBytes(0), MapSize))
            << destination;
    cmcEeprom small;
    small.SetSize(100);
    FillDefaultImage(small, 0); // too small: left alone
    EXPECT_EQ(small.GetByte(0), 0);
}

TEST(DefaultImageTest, CommonSettingsAndOrganisationDefaults) {
    const uint8_t* bytes = DefaultImageBytes(0);
    const int expected[][2] = {{4, 10},   {5, 2},  {6, 1},    {7, 0xFF},  {11, 2},
                               {13, 10},  {16, 1}, {19, 120}, {20, 5},    {23, 19},
                               {27, 2},   {28, 8}, {31, 1},   {32, 0x13}, {36, 0x46},
                               {41, 200}, {49, 1}, {60, 1},   {59, 0},    {63, 0xFF}};
    for (const auto& setting : expected)
        EXPECT_EQ(bytes[CommonSettings + setting[0]], setting[1]) << setting[0];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + CategoryNames), 16),
              "HAM             ");
    EXPECT_EQ(bytes[CategoryIcons], 12);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + GroupNames), 16),
              "Initial         ");
    EXPECT_EQ(Get32(bytes, OrganisationWords + 4), 4u);
    EXPECT_EQ(Get32(bytes, OrganisationWords + 8), 0xFFFFFFFFu);
    EXPECT_EQ(Get16(bytes, OrderList + 4), 0xFFFF);
    EXPECT_EQ(bytes[AutoWriteOrder], 0xFF);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + LinkNames + 16 * 9), 16),
              "P-LINK No.9     ");
}

// New, then Save: what a new document writes is the default image itself.
class DefaultImageFixedPointTest : public ::testing::TestWithParam<int> {};

TEST_P(DefaultImageFixedPointTest, AdoptingAndPreparingForSaveChangeNothing) {
    const int d = GetParam();
    indDestination destination(d);
    cmcEeprom image;
    image.SetSize(ImageSize);
    FillDefaultImage(image, d);
    cmcOrganisation organisation(image, &destination);
    EXPECT_EQ(AdoptLoadedImage(organisation), 0);
    PrepareForSave(organisation);
    for (int a = 0; a < MapSize; ++a)
        ASSERT_EQ(image.GetByte(a), DefaultImageBytes(d)[a]) << "address " << a;
}

INSTANTIATE_TEST_SUITE_P(Destinations, DefaultImageFixedPointTest,
                         ::testing::Values(0, 1, 2, 3, 4, 5, 7, 11, 12, 13));

} // namespace
