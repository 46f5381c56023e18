#include "CsvFixture.h"
#include "files/cmcCsvValues.h"
#include "files/cmcOtherList.h"
#include "support/TestEnvironment.h"

#include <algorithm>

namespace {

std::string dataFile(const std::string& name) {
    return (testenv::dataFolder() / "other" / name).string();
}

std::vector<std::string> noteTexts(const clsOtherPlanRow& row) {
    std::vector<std::string> texts;
    for (const clsOtherNote& note : row.notes)
        texts.push_back(OtherNoteText(note));
    return texts;
}

const clsOtherPlanRow* rowOfLine(const clsOtherPlan& plan, int line) {
    for (const clsOtherPlanRow& row : plan.rows)
        if (row.line == line) return &row;
    return nullptr;
}

clsOtherPlan planOf(CsvDocument& document, const clsOtherRead& read, bool japanese = false) {
    return OtherPlan(read.table, read.mapping, document.ReadOptions(japanese),
                     document.Organisation());
}

// The stored channels of a category, in order.
std::vector<datCh> channelsOfCategory(CsvDocument& document, int category) {
    std::vector<datCh> channels;
    cmcOrganisation& organisation = document.Organisation();
    for (int slot = organisation.FirstChannelOfCategory(category);
         slot <= organisation.LastChannelOfCategory(category); ++slot)
        channels.push_back(document.Record(datKind::Mch, slot));
    return channels;
}

std::string nameOf(CsvDocument& document, const datCh& channel) {
    return CsvTrimRight(document.Record(datKind::Name, int(channel.nameIndex)).NameField());
}

std::string groupName(CsvDocument& document, int group) {
    return CsvTrimRight(document.Record(datKind::Group, group).NameField());
}

} // namespace

TEST(OtherText, DecodingTakesUtf8WithOrWithoutMarkAndShiftJisOtherwise) {
    struct Case {
        std::string bytes;
        std::optional<std::string> text;
        bool shiftJis;
    };
    const Case cases[] = {
        {"Name,Freq\r\n", "Name,Freq\r\n", false},
        {"\xEF\xBB\xBFName,Freq", "Name,Freq", false},
        {"\xE3\x83\x86\xE3\x82\xB9", "\xE3\x83\x86\xE3\x82\xB9", false}, // テス in UTF-8
        {"\x83\x65\x83\x58\x83\x67", "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88", true}, // テスト
        {"\xC3\xBD\xC4", "\xEF\xBE\x83\xEF\xBD\xBD\xEF\xBE\x84", true}, // half-width ﾃｽﾄ
        {"\xE3\x83", "\xE7\xB9\x9D", true},             // cut UTF-8 reads as Shift-JIS 繝
        {"\xC0\xAF", "\xEF\xBE\x80\xEF\xBD\xAF", true}, // overlong UTF-8 "/" is ﾀｯ
        {"ab\x81", std::nullopt, true},                 // a lead byte without its pair
    };
    for (const Case& c : cases) {
        bool shiftJis = false;
        EXPECT_EQ(CsvDecodeText(c.bytes, shiftJis), c.text) << c.bytes;
        EXPECT_EQ(shiftJis, c.shiftJis) << c.bytes;
    }
}

TEST(OtherText, RecordsKeepLineEndsInsideQuotesAndSeparatorsAreDetected) {
    EXPECT_EQ(CsvSplitRecords("a,b\r\nc,\"two\r\nlines\"\nd\re"),
              (std::vector<std::string>{"a,b", "c,\"two\r\nlines\"", "d", "e"}));
    EXPECT_EQ(CsvDetectSeparator("Name,Frequency,Mode"), ',');
    EXPECT_EQ(CsvDetectSeparator("Name;Frequency;\"a,b,c\""), ';');
    EXPECT_EQ(CsvDetectSeparator("Name\tFrequency\tMode"), '\t');
    EXPECT_EQ(CsvDetectSeparator("Frequency"), ',');
}

TEST(OtherRead, FormatsAreDetectedFromTheirFiles) {
    struct Case {
        const char* file;
        int format;
        std::vector<int> lines; // the rows' lines
        std::vector<std::string> groups;
    };
    const Case cases[] = {
        {"generic.csv", otherformat::Generic, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {}},
        {"bookmarks.csv",
         otherformat::Bookmarks,
         {7, 8, 9, 10, 11},
         {"Air", "Marine", "Air", "", ""}},
        {"scanner.csv",
         otherformat::Scanner,
         {3, 4, 6, 7},
         {"Bank 1", "Bank 1", "Bank 2", "Bank 2"}},
    };
    for (const Case& c : cases) {
        const clsOtherRead read = OtherReadFile(dataFile(c.file), otherformat::Auto);
        ASSERT_EQ(read.error, "") << c.file;
        EXPECT_EQ(read.table.format, c.format) << c.file;
        std::vector<int> lines;
        std::vector<std::string> groups;
        for (const clsOtherTable::Row& row : read.table.rows) {
            lines.push_back(row.line);
            groups.push_back(row.group);
        }
        EXPECT_EQ(lines, c.lines) << c.file;
        if (!c.groups.empty()) {
            EXPECT_EQ(groups, c.groups) << c.file;
        }
        EXPECT_GE(read.mapping[OtherField::Frequency], 0) << c.file;
    }
}

TEST(OtherPlan, GenericRowsAreMappedWithTheirNotes) {
    CsvDocument document;
    const clsOtherRead read = OtherReadFile(dataFile("generic.csv"), otherformat::Auto);
    const clsOtherPlan plan = planOf(document, read);
    struct Case {
        int line;
        bool imported;
        std::string mode, tone, duplex, offset, step, skip;
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {2, true, "FM", "OFF", "OFF", "", "5kHz", "OFF", {}},
        {3, true, "FM", "OFF", "OFF", "", "6.25kHz", "SKIP", {"NFM → FM"}},
        // TSQL takes cToneFreq, not the 88.5 placeholder of rToneFreq.
        {4, true, "FM", "TSQL 100.0", "DUP-", "0.6", "12.5kHz", "PSKIP", {}},
        // "Tone" is encode only: nothing for a receiver.
        {5, true, "FM", "OFF", "DUP+", "0.6", "5kHz", "OFF", {"tone 88.5 not used"}},
        // The receive side of "NR" is reversed.
        {6, true, "FM", "DTCS 754R", "OFF", "", "12.5kHz", "OFF", {}},
        {7, true, "FM", "OFF", "OFF", "", "5kHz", "OFF", {"cross tone not carried"}},
        {8, true, "AM", "OFF", "OFF", "", "25kHz", "OFF", {}},
        {9, false, "", "", "", "", "", "", {"not imported: DV"}},
        {10, false, "", "", "", "", "", "", {"not imported: out of range"}},
        // Split: the offset column is the transmit frequency.
        {11,
         true,
         "FM",
         "OFF",
         "DUP+",
         "0.6",
         "5kHz",
         "OFF",
         {"step 2.50 kHz → 5kHz", "split → DUP+"}},
        {12, false, "", "", "", "", "", "", {"not imported: USB"}},
    };
    ASSERT_EQ(plan.rows.size(), std::size(cases));
    for (const Case& c : cases) {
        const clsOtherPlanRow* row = rowOfLine(plan, c.line);
        ASSERT_NE(row, nullptr) << c.line;
        EXPECT_EQ(row->imported, c.imported) << c.line;
        EXPECT_EQ(noteTexts(*row), c.notes) << c.line;
        if (!c.imported) continue;
        EXPECT_EQ(row->mode, c.mode) << c.line;
        EXPECT_EQ(row->tone, c.tone) << c.line;
        EXPECT_EQ(row->duplex, c.duplex) << c.line;
        if (!c.offset.empty()) {
            EXPECT_EQ(row->offset, c.offset) << c.line;
        }
        EXPECT_EQ(row->step, c.step) << c.line;
        EXPECT_EQ(row->skip, c.skip) << c.line;
    }
    EXPECT_EQ(rowOfLine(plan, 8)->name, "Airport, tower"); // a quoted comma stays
    EXPECT_EQ(plan.importable, 8);
    EXPECT_EQ(plan.leftOut, 3);
    EXPECT_EQ(plan.noted, 4);
}

TEST(OtherPlan, ToneTextsAndFlagsOfScannerAndColumnLists) {
    CsvDocument document;
    struct Case {
        std::string tone, lockout, priority;
        std::string wantTone, wantSkip, wantPriority;
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {"D023N", "No", "Yes", "DTCS 023N", "OFF", "ON", {}},
        {"DCS 754I", "yes", "0", "DTCS 754R", "SKIP", "OFF", {}},
        {"127.3", "1", "no", "TSQL 127.3", "SKIP", "OFF", {}},
        {"CTCSS 88.5 Hz", "", "", "TSQL 88.5", "OFF", "OFF", {}},
        {"99.9", "", "", "OFF", "OFF", "OFF", {"tone 99.9 not on the receiver"}},
        {"D999", "", "", "OFF", "OFF", "OFF", {"tone D999 not on the receiver"}},
        {"off", "", "", "OFF", "OFF", "OFF", {}},
    };
    for (const Case& c : cases) {
        const std::string text =
            "Channel,Name,Frequency,Modulation,CTCSS/DCS,Delay,Lockout,Priority\n"
            "1,X,155.475000,FM," +
            c.tone + ",2," + c.lockout + "," + c.priority + "\n";
        const clsOtherRead read = OtherReadText(text, otherformat::Auto);
        ASSERT_EQ(read.table.format, otherformat::Scanner);
        const clsOtherPlan plan = planOf(document, read);
        ASSERT_EQ(plan.rows.size(), 1u);
        EXPECT_EQ(plan.rows[0].tone, c.wantTone) << c.tone;
        EXPECT_EQ(plan.rows[0].skip, c.wantSkip) << c.lockout;
        EXPECT_EQ(plan.rows[0].priority, c.wantPriority) << c.priority;
        EXPECT_EQ(noteTexts(plan.rows[0]), c.notes) << c.tone;
    }
}

TEST(OtherPlan, ColumnListsGuessUnitsAndSeparators) {
    CsvDocument document;
    struct Case {
        std::string text;
        OtherUnit unit;
        std::vector<uint32_t> hertz;
    };
    const Case cases[] = {
        {"Freq,Description\n145.5,a\n433.125,b\n", OtherUnit::MHz, {145500000, 433125000}},
        {"Freq;Description\n145,5;a\n433,125;b\n", OtherUnit::MHz, {145500000, 433125000}},
        {"Freq\tDescription\n145500\ta\n433125\tb\n", OtherUnit::kHz, {145500000, 433125000}},
        {"Freq,Description\r\n145500000,a\r\n433125000,b\r\n",
         OtherUnit::Hz,
         {145500000, 433125000}},
        {"Frequency (kHz),Description\n1000,AM station\n", OtherUnit::kHz, {1000000}},
    };
    for (const Case& c : cases) {
        const clsOtherRead read = OtherReadText(c.text, otherformat::Auto);
        ASSERT_EQ(read.error, "");
        EXPECT_EQ(read.table.format, otherformat::Columns);
        EXPECT_EQ(read.mapping.unit, c.unit) << c.text;
        EXPECT_EQ(read.mapping[OtherField::Name], 1) << c.text;
        const clsOtherPlan plan = planOf(document, read);
        std::vector<uint32_t> hertz;
        for (const clsOtherPlanRow& row : plan.rows)
            hertz.push_back(row.hertz);
        EXPECT_EQ(hertz, c.hertz) << c.text;
    }
}

TEST(OtherPlan, MapTextPicksColumnsByNameOrNumber) {
    const clsOtherRead read =
        OtherReadText("Col A,Col B,Col C\nAlpha,446006.25,NFM\n", otherformat::Columns);
    clsOtherMapping mapping = read.mapping;
    std::string error;
    ASSERT_TRUE(
        OtherApplyMap("frequency=Col B,name=1,mode=3,unit=kHz", read.table, mapping, error));
    EXPECT_EQ(mapping[OtherField::Frequency], 1);
    EXPECT_EQ(mapping[OtherField::Name], 0);
    EXPECT_EQ(mapping[OtherField::Mode], 2);
    EXPECT_EQ(mapping.unit, OtherUnit::kHz);
    EXPECT_EQ(OtherMapText(mapping), "frequency=2,name=1,mode=3,unit=kHz");
    clsOtherMapping again;
    ASSERT_TRUE(OtherApplyMap(OtherMapText(mapping), read.table, again, error));
    EXPECT_EQ(again.columns, mapping.columns);
    for (const char* bad :
         {"frequency", "colour=1", "frequency=Col D", "frequency=4", "unit=GHz"}) {
        clsOtherMapping untouched = mapping;
        EXPECT_FALSE(OtherApplyMap(bad, read.table, untouched, error)) << bad;
        EXPECT_EQ(error, "GI_Mess_Other_BadMap");
    }
    EXPECT_EQ(OtherHeaderKey(read.table), "col a|col b|col c");
}

TEST(OtherPlan, NamesAreCutAndKanaBecomeHalfWidth) {
    CsvDocument document;
    // テスト and a long name, written in Shift-JIS.
    const std::string text = "Name,Frequency\n\x83\x65\x83\x58\x83\x67,145.0\n"
                             "A name of twenty chars,146.0\n\xE2\x82\xAC uro,147.0\n";
    const clsOtherRead read = OtherReadText(text, otherformat::Auto);
    ASSERT_EQ(read.error, "");
    EXPECT_TRUE(read.table.shiftJis);
    const clsOtherPlan japanese = planOf(document, read, true);
    EXPECT_EQ(japanese.rows[0].name, "\xEF\xBE\x83\xEF\xBD\xBD\xEF\xBE\x84"); // ﾃｽﾄ
    EXPECT_EQ(noteTexts(japanese.rows[0]), std::vector<std::string>{});
    EXPECT_EQ(japanese.rows[1].name, "A name of twenty");
    EXPECT_EQ(noteTexts(japanese.rows[1]), std::vector<std::string>{"name cut"});
    const clsOtherPlan english = planOf(document, read, false);
    EXPECT_EQ(noteTexts(english.rows[0]), std::vector<std::string>{"characters shown as blanks"});
}

// The preview names the group a row goes to as the receiver will show it.
TEST(OtherPlan, GroupsAreNamedAsTheReceiverShowsThem) {
    CsvDocument document;
    const std::string text = "Frequency,Group\n145.0,A bank with a long name\n146.0,\n"
                             "147.0,\x83\x65\x83\x58\x83\x67\n";
    const clsOtherRead read = OtherReadText(text, otherformat::Auto);
    ASSERT_EQ(read.error, "");
    const clsOtherPlan plan = planOf(document, read, true);
    ASSERT_EQ(plan.rows.size(), 3u);
    clsOtherTarget target;
    cmcOrganisation& organisation = document.Organisation();
    const std::string names[] = {"A bank with a lo", "Group",
                                 "\xEF\xBE\x83\xEF\xBD\xBD\xEF\xBE\x84"}; // ﾃｽﾄ
    for (size_t r = 0; r < 3; ++r)
        EXPECT_EQ(OtherRowGroupName(plan.rows[r], target, organisation), names[r]) << r;

    // Into a group of the document: that group's name, whatever the row's label.
    target.newGroups = false;
    target.group = 0;
    datCh group = document.Record(datKind::Group, 0);
    group.SetName("Airband");
    group.Store(datKind::Group, 0);
    EXPECT_EQ(OtherRowGroupName(plan.rows[0], target, organisation), "Airband");

    // The import names the new groups so.
    target.newGroups = true;
    const clsCsvImportResult result =
        OtherImportLines(plan, target, organisation, document.Events(), document.ReadOptions(true));
    ASSERT_TRUE(result.accepted);
    const int first = organisation.FirstGroupOfCategory(organisation.CategoryCount() - 1);
    EXPECT_EQ(document.Record(datKind::Group, first).NameField(), "A bank with a lo");
}

TEST(OtherImport, BanksBecomeGroupsOfANewCategory) {
    CsvDocument document;
    cmcOrganisation& organisation = document.Organisation();
    const int categories = organisation.CategoryCount();
    const clsOtherRead read = OtherReadFile(dataFile("scanner.csv"), otherformat::Auto);
    const clsOtherPlan plan = planOf(document, read);
    clsOtherTarget target;
    target.categoryName = "Scanner";
    ASSERT_TRUE(OtherCanImport(organisation, target));
    const clsCsvImportResult result =
        OtherImportLines(plan, target, organisation, document.Events(), document.ReadOptions());
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.imported, 4);
    EXPECT_EQ(result.corrected, 0);
    ASSERT_EQ(organisation.CategoryCount(), categories + 1);
    EXPECT_EQ(CsvTrimRight(document.Record(datKind::Category, categories).NameField()), "Scanner");
    const int first = organisation.FirstGroupOfCategory(categories);
    ASSERT_EQ(organisation.GroupsOfCategory(categories), 2);
    EXPECT_EQ(groupName(document, first), "Bank 1");
    EXPECT_EQ(groupName(document, first + 1), "Bank 2");
    const std::vector<datCh> channels = channelsOfCategory(document, categories);
    ASSERT_EQ(channels.size(), 4u);
    EXPECT_EQ(channels[0].frequency, 154430000u);
    EXPECT_EQ(channels[0].toneMode, 5); // DTCS
    EXPECT_EQ(channels[0].priority, 1);
    EXPECT_EQ(channels[1].skip, 1);
    EXPECT_EQ(channels[1].toneMode, 2); // TSQL
    EXPECT_EQ(CsvSpell(csvlist::Tone, channels[1].tone), "127.3Hz");
    EXPECT_EQ(nameOf(document, channels[2]), "Weather");
}

TEST(OtherImport, ANameOverTwoLinesStaysOneChannel) {
    CsvDocument document;
    cmcOrganisation& organisation = document.Organisation();
    const clsOtherRead read = OtherReadText(
        "Name,Frequency\r\n\"Two\r\nlines\",145.5\r\nNext,146.5\r\n", otherformat::Auto);
    ASSERT_EQ(read.table.rows.size(), 2u);
    clsOtherTarget target;
    target.categoryName = "Lines";
    const clsCsvImportResult result = OtherImportLines(planOf(document, read), target, organisation,
                                                       document.Events(), document.ReadOptions());
    EXPECT_EQ(result.imported, 2);
    const std::vector<datCh> channels =
        channelsOfCategory(document, organisation.CategoryCount() - 1);
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(nameOf(document, channels[0]), "Two  lines");
    EXPECT_EQ(channels[1].frequency, 146500000u);
}

TEST(OtherImport, RowsFollowTheLastChannelOfAGroup) {
    CsvDocument document;
    cmcOrganisation& organisation = document.Organisation();
    const int before = organisation.ChannelsOfGroup(0);
    const int categories = organisation.CategoryCount();
    const clsOtherRead read = OtherReadFile(dataFile("bookmarks.csv"), otherformat::Auto);
    clsOtherTarget target;
    target.newGroups = false;
    target.group = 0;
    const clsCsvImportResult result = OtherImportLines(planOf(document, read), target, organisation,
                                                       document.Events(), document.ReadOptions());
    EXPECT_EQ(result.imported, 4);
    EXPECT_EQ(organisation.CategoryCount(), categories);
    ASSERT_EQ(organisation.ChannelsOfGroup(0), before + 4);
    // Rows of one tag stand together: Tower and Guard (Air), then Channel 16, Broadcast.
    const int last = organisation.LastChannelOfGroup(0);
    std::vector<uint32_t> frequencies;
    for (int slot = last - 3; slot <= last; ++slot)
        frequencies.push_back(document.Record(datKind::Mch, slot).frequency);
    EXPECT_EQ(frequencies, (std::vector<uint32_t>{118100000, 121500000, 156800000, 98100000}));
}

TEST(OtherImport, GenericExportReadsBackAsTheSameChannels) {
    CsvDocument document;
    cmcOrganisation& organisation = document.Organisation();
    const clsOtherRead read = OtherReadFile(dataFile("generic.csv"), otherformat::Auto);
    clsOtherTarget target;
    target.categoryName = "Generic";
    OtherImportLines(planOf(document, read), target, organisation, document.Events(),
                     document.ReadOptions());
    const int category = organisation.CategoryCount() - 1;
    const std::vector<datCh> original = channelsOfCategory(document, category);

    const std::string exported = OtherExportGenericText(organisation);
    clsOtherRead back = OtherReadText(exported, otherformat::Auto);
    ASSERT_EQ(back.table.format, otherformat::Generic);
    std::string error;
    ASSERT_TRUE(OtherApplyMap("group=Comment", back.table, back.mapping, error));
    const clsOtherPlan plan = planOf(document, back);
    EXPECT_EQ(plan.leftOut, 0);
    OtherImportLines(plan, target, organisation, document.Events(), document.ReadOptions());
    // The document's own channels came back first; the imported category's channels last.
    const std::vector<datCh> again = channelsOfCategory(document, organisation.CategoryCount() - 1);
    ASSERT_GE(again.size(), original.size());
    const size_t start = again.size() - original.size();
    for (size_t i = 0; i < original.size(); ++i) {
        const datCh& a = original[i];
        const datCh& b = again[start + i];
        EXPECT_EQ(a.frequency, b.frequency) << i;
        EXPECT_EQ(a.mode, b.mode) << i;
        EXPECT_EQ(a.tuningStep, b.tuningStep) << i;
        EXPECT_EQ(a.duplex, b.duplex) << i;
        if (a.duplex) {
            EXPECT_EQ(a.offset, b.offset) << i;
        }
        EXPECT_EQ(a.toneMode, b.toneMode) << i;
        if (a.toneMode == 2) {
            EXPECT_EQ(a.tone, b.tone) << i;
        }
        if (a.toneMode == 5) {
            EXPECT_EQ(a.dtcsCode, b.dtcsCode) << i;
        }
        EXPECT_EQ(a.dtcsPolarity, b.dtcsPolarity) << i;
        EXPECT_EQ(a.skip, b.skip) << i;
        EXPECT_EQ(nameOf(document, a), nameOf(document, b)) << i;
    }
}

TEST(OtherRead, BadFilesGiveAMessageAndChangeNothing) {
    struct Case {
        std::string bytes;
        int format;
        std::string error;
    };
    const Case cases[] = {
        {"", otherformat::Auto, "GI_Mess_Other_NoHeader"},
        {"\r\n\r\n", otherformat::Auto, "GI_Mess_Other_NoHeader"},
        {std::string("\xFF\xFF\x00\x01", 4), otherformat::Auto, "GI_Mess_Other_Unreadable"},
        {"Location,Name,Tone\n1,a,\n", otherformat::Generic, "GI_Mess_Other_NoFrequency"},
        // A list of chosen columns may lack a frequency until the user picks one.
        {"Location,Name,Duplex\n1,a,+\n", otherformat::Auto, ""},
    };
    for (const Case& c : cases) {
        const clsOtherRead read = OtherReadText(c.bytes, c.format);
        EXPECT_EQ(read.error, c.error) << c.bytes;
        EXPECT_LT(read.mapping[OtherField::Frequency], 0) << c.bytes;
    }
    CsvDocument document;
    const std::vector<uint8_t> image(document.Image().Data(),
                                     document.Image().Data() + document.Image().GetSize());
    const clsOtherRead read = OtherReadText("Freq\nabc\n20000000000\n", otherformat::Auto);
    const clsOtherPlan plan = planOf(document, read);
    EXPECT_EQ(plan.importable, 0);
    EXPECT_EQ(noteTexts(plan.rows[0]), std::vector<std::string>{"not imported: no frequency"});
    EXPECT_EQ(noteTexts(plan.rows[1]), std::vector<std::string>{"not imported: out of range"});
    clsOtherTarget target;
    const clsCsvImportResult result = OtherImportLines(plan, target, document.Organisation(),
                                                       document.Events(), document.ReadOptions());
    EXPECT_EQ(result.imported, 0);
    EXPECT_EQ(std::vector<uint8_t>(document.Image().Data(),
                                   document.Image().Data() + document.Image().GetSize()),
              image);
}
