#include "files/cmcCsvNames.h"
#include "files/cmcCsvText.h"
#include "files/cmcCsvValues.h"
#include "files/cmcLoadFile.h"

#include <gtest/gtest.h>

namespace {

TEST(CsvText, SeparatorsFollowTheDecimalSeparator) {
    struct Case {
        char system, decimal, field;
    } cases[] = {{'.', '.', ','}, {',', ',', ';'}, {'\'', '.', ','}, {0, '.', ','}};
    for (const Case& c : cases) {
        clsCsvSeparators separators = clsCsvSeparators::FromDecimal(c.system);
        EXPECT_EQ(separators.decimal, c.decimal) << int(c.system);
        EXPECT_EQ(separators.field, c.field) << int(c.system);
    }
}

TEST(CsvText, MegahertzIsReadFromTheWholeFieldOrNotAtAll) {
    struct Case {
        const char* text;
        char decimal;
        std::optional<int64_t> hertz;
    } cases[] = {
        {"145.500000", '.', 145500000},
        {" 145.5 ", '.', 145500000},
        {"145,500000", ',', 145500000},
        {"145", '.', 145000000},
        {".15", '.', 150000},
        {"118.0083333", '.', 118008333}, // rounded to the nearest hertz
        {"118.0083335", '.', 118008334},
        {"-1.5", '.', -1500000},
        {"145.500000", ',', std::nullopt}, // the other separator is not a number
        {"1.2.3", '.', std::nullopt},
        {"145.5MHz", '.', std::nullopt},
        {"", '.', std::nullopt},
        {".", '.', std::nullopt},
        {"-", '.', std::nullopt},
        {"1-45", '.', std::nullopt},
        {"99999999999999999999", '.', std::nullopt}, // refused, not wrapped
        {"1e3", '.', std::nullopt},
        {"\t145.5\t", '.', 145500000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CsvParseMegahertz(c.text, c.decimal), c.hertz) << c.text;
}

TEST(CsvText, IntegersAreStrictAndRangeChecked) {
    EXPECT_EQ(CsvParseInteger(" 0042 ", 0, 1600), 42);
    EXPECT_EQ(CsvParseInteger("1600", 0, 1600), 1600);
    EXPECT_EQ(CsvParseInteger("1601", 0, 1600), std::nullopt);
    EXPECT_EQ(CsvParseInteger("-1", 0, 1600), std::nullopt);
    EXPECT_EQ(CsvParseInteger("12a", 0, 1600), std::nullopt);
    EXPECT_EQ(CsvParseInteger("", 0, 1600), std::nullopt);
    EXPECT_EQ(CsvParseInteger("9223372036854775808", 0, INT64_MAX), std::nullopt);
}

TEST(CsvText, MegahertzIsWrittenWithSixDecimals) {
    EXPECT_EQ(CsvFormatMegahertz(145500000, '.'), "145.500000");
    EXPECT_EQ(CsvFormatMegahertz(145500000, ','), "145,500000");
    EXPECT_EQ(CsvFormatMegahertz(150000, '.'), "0.150000");
    EXPECT_EQ(CsvFormatMegahertz(4294967295u, '.'), "4294.967295");
}

TEST(CsvText, FieldsSplitAtSeparatorsOutsideQuotes) {
    using Fields = std::vector<std::string>;
    EXPECT_EQ(CsvSplitFields("a,b,,c", ','), (Fields{"a", "b", "", "c"}));
    EXPECT_EQ(CsvSplitFields("", ','), (Fields{""}));
    EXPECT_EQ(CsvSplitFields("a;b,c", ';'), (Fields{"a", "b,c"}));
    EXPECT_EQ(CsvSplitFields("\"x,y\",z", ','), (Fields{"x,y", "z"}));
    EXPECT_EQ(CsvSplitFields(" \"say \"\"hi\"\"\" ,z", ','), (Fields{"say \"hi\" ", "z"}));
    // A quote never closed, or one inside a field, is an ordinary character.
    EXPECT_EQ(CsvSplitFields("\"open,z", ','), (Fields{"\"open", "z"}));
    EXPECT_EQ(CsvSplitFields("ab\"c,d", ','), (Fields{"ab\"c", "d"}));
}

TEST(CsvText, SpellingsMatchWithoutCaseAfterTrimming) {
    EXPECT_EQ(CsvLookup(csvlist::Dup, "dup+"), 2);
    EXPECT_EQ(CsvLookup(csvlist::Dup, "  DUP+ "), 2);
    EXPECT_EQ(CsvLookup(csvlist::Dup, "DUP"), std::nullopt);
    EXPECT_EQ(CsvLookup(csvlist::ToneMode, "tsql r"), 3);
    EXPECT_EQ(CsvSpell(csvlist::ToneMode, 3), "TSQL-R");
    EXPECT_EQ(CsvSpell(csvlist::ToneMode, 1), "NOT_FOUND");
    EXPECT_EQ(CsvSpell(csvlist::Tone, 49), "254.1Hz");
    EXPECT_EQ(CsvSpell(csvlist::Dtcs, 103), "754");
    EXPECT_EQ(CsvSpell(csvlist::Step, 19), "-");
    EXPECT_EQ(CsvLookup(csvlist::Icon, "race car"), 3);
}

TEST(CsvText, LinesEndAtAnyLineEndAndTheByteOrderMarkIsDropped) {
    cmcLoadFile file;
    ASSERT_TRUE(file.LoadText("\xEF\xBB\xBF"
                              "a\r\nb\nc\rd"));
    ASSERT_EQ(file.Count(), 4);
    EXPECT_EQ(file.LineAt(0), "a");
    EXPECT_EQ(file.LineAt(3), "d"); // a last line without a line end is kept whole
    EXPECT_EQ(file.LineAt(4), "");
    EXPECT_FALSE(file.LoadText(""));
    EXPECT_FALSE(file.Load("/nonexistent/file.csv"));
}

TEST(CsvText, KeySearchStopsAtSectionsAndComparesKeysWithoutCase) {
    cmcLoadFile file;
    file.LoadText("[Type]\nDATAVER = 1.00-00\ndata=Basic Search ENG\n\n[Next]\nAPP=x\n");
    file.SetIndex(1);
    EXPECT_EQ(file.ValueOfKey("DATA", true), ""); // "DATAVER" is not "DATA"; "data" lacks case
    file.SetIndex(1);
    EXPECT_EQ(file.ValueOfKey("DATAVER", true), "1.00-00");
    file.SetIndex(1);
    EXPECT_EQ(file.ValueOfKey("APP", true), "");
    EXPECT_EQ(file.Index(), 1);
    EXPECT_EQ(file.ValueOfKey("APP", false), "x");
    file.SetIndex(2);
    EXPECT_TRUE(file.NextLine());
    EXPECT_EQ(file.Index(), 4); // the empty line is passed over
}

TEST(CsvText, NamesKeepOneByteForEachCharacter) {
    EXPECT_EQ(CsvNameToImage("Marine 16", false).bytes, "Marine 16");
    clsCsvName accented = CsvNameToImage("K\xC3\xB6ln", false); // one blank for the o-umlaut
    EXPECT_EQ(accented.bytes, "K ln");
    EXPECT_TRUE(accented.replaced);
    EXPECT_EQ(CsvNameToImage("a\tb", false).bytes, "a b");
    // Japanese text mode: full-width katakana, voiced marks and letters become half-width.
    EXPECT_EQ(CsvNameToImage("\xE3\x82\xAC\xEF\xBC\xA1", true).bytes, "\xB6\xDE"
                                                                      "A");
    EXPECT_EQ(CsvNameToImage("\xEF\xBD\xB1", true).bytes, "\xB1"); // half-width katakana A
    EXPECT_FALSE(CsvNameToImage("\xB1", true).replaced);           // a Shift-JIS byte
    EXPECT_TRUE(CsvNameToImage("\xE6\xBC\xA2", true).replaced);    // a kanji has no place
    EXPECT_EQ(CsvNameFromImage(std::string("A,B;C\x01\xB1\0xyz", 10), false), "A B C  ");
    EXPECT_EQ(CsvNameFromImage("\xB1", true), "\xEF\xBD\xB1");
}

} // namespace
