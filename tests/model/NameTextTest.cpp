#include "model/cmcNameText.h"
#include "model/indCellCall.h"

#include <gtest/gtest.h>

namespace {

// A name typed on a Japanese system for destination 0 keeps what the receiver can show in
// half-width form; elsewhere each character it cannot show is one blank.
TEST(NameTextTest, TypedNamesBecomeTheReceiversBytes) {
    struct Case {
        const char* typed;
        bool japanese;
        const char* field; // 8 bytes
    };
    const Case cases[] = {
        {"Tower", false, "Tower   "},
        {"\xEF\xBC\xA1\xEF\xBC\xA2 1", true, "AB 1    "},        // full-width "ＡＢ" 1
        {"\xE3\x81\x8C\xE3\x81\xA3", true, "\xB6\xDE\xAF     "}, // hiragana がっ
        {"\xE3\x83\x86\xE3\x83\xAC\xE3\x83\x93", true, "\xC3\xDA\xCB\xDE    "}, // テレビ
        {"\xEF\xBD\xB1\xEF\xBD\xB2", true, "\xB1\xB2      "},                   // half-width ｱｲ
        {"\xE6\x9D\xB1X", true, "X       "},                                    // 東 is dropped
        {"\xE6\x9D\xB1X", false, " X      "},                                   // ... or a blank
        {"\xE3\x81\x8C", false, "        "},                                    // kana: one blank
    };
    for (const Case& c : cases)
        EXPECT_EQ(TypedField(c.typed, 8, c.japanese), c.field) << c.typed;
}

TEST(NameTextTest, StoredNamesReadBackAsTheyWereTyped) {
    EXPECT_EQ(FieldText("\xC3\xDA\xCB\xDE AB  "),
              "\xEF\xBE\x83\xEF\xBE\x9A\xEF\xBE\x8B\xEF\xBE\x9E AB");
    EXPECT_EQ(cmcNameCharacter(0x07, true), " ");
    EXPECT_EQ(cmcNameCharacter(0xB1, false), " ");
}

} // namespace
