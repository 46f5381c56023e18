#include "model/cmcEeprom.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(EepromTest, SetSizeClearsEveryByteEvenAtTheSameSize) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    ASSERT_EQ(image.GetSize(), ImageSize);
    image.SetByte(5, 0xAB);
    image.SetSize(ImageSize);
    EXPECT_EQ(image.GetByte(5), 0);
    image.SetSize(0);
    EXPECT_EQ(image.GetSize(), 0);
    image.Fill(0x55); // nothing to fill
    EXPECT_EQ(image.Data(), nullptr);
}

TEST(EepromTest, EqualityCoversSizeAndEveryByteIncludingTheSpareOnes) {
    cmcEeprom a, b;
    a.SetSize(ImageSize);
    b.SetSize(ImageSize);
    EXPECT_TRUE(a.IsEqual(b));
    b.SetByte(ImageSize - 1, 1); // above the map
    EXPECT_TRUE(a.IsDifferent(b));
    cmcEeprom prefix;
    prefix.SetSize(ImageSize - 1);
    a.SetSize(ImageSize);
    EXPECT_FALSE(a.IsEqual(prefix));
    cmcEeprom emptyA, emptyB;
    EXPECT_TRUE(emptyA.IsEqual(emptyB));
}

TEST(EepromTest, BlockCopiesOutsideTheImageCopyNothing) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    const uint8_t source[3] = {1, 2, 3};
    image.SetBytes(ImageSize - 2, source, 3);
    EXPECT_EQ(image.GetByte(ImageSize - 2), 0);
    image.SetBytes(ImageSize - 3, source, 3);
    EXPECT_EQ(image.GetByte(ImageSize - 1), 3);
    image.SetBytes(-1, source, 3);
    image.SetBytes(0, source, 0);
    EXPECT_EQ(image.GetByte(0), 0);
    uint8_t out[3] = {9, 9, 9};
    image.GetBytes(ImageSize - 2, out, 3);
    EXPECT_EQ(out[0], 9);
}

TEST(EepromTest, AssignMakesAnIndependentCopy) {
    cmcEeprom a, b;
    a.SetSize(ImageSize);
    a.SetByte(100, 7);
    b.Assign(a);
    EXPECT_TRUE(b.IsEqual(a));
    a.SetByte(100, 8);
    EXPECT_EQ(b.GetByte(100), 7);
}

TEST(EepromTest, FormatMarkerIsCaseSensitive) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    EXPECT_FALSE(image.HasFormatMarker());
    image.SetBytes(MarkerAddress, reinterpret_cast<const uint8_t*>("TarnCloneFormat3"), 16);
    EXPECT_TRUE(image.HasFormatMarker());
    image.SetBytes(MarkerAddress, reinterpret_cast<const uint8_t*>("tarnCloneFormat3"), 16);
    EXPECT_FALSE(image.HasFormatMarker());
}

TEST(EepromDeathTest, OutOfRangeByteAccessIsFatal) {
    EXPECT_DEATH(
        {
            cmcFakePlatform platform;
            cmcEeprom image;
            image.SetSize(16);
            image.SetByte(16, 0);
        },
        "Out of EEPROM image address \\(SetByte\\)\\.");
    EXPECT_DEATH(
        {
            cmcFakePlatform platform;
            cmcEeprom image;
            image.GetByte(-1);
        },
        "Out of EEPROM image address \\(GetByte\\)\\.");
}

} // namespace
