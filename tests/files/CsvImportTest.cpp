#include "CsvFixture.h"
#include "files/cmcCsvExport.h"
#include "files/cmcCsvImport.h"
#include "files/cmcLoadFile.h"
#include "support/TestEnvironment.h"

#include <cstring>
#include <sys/stat.h>

namespace {

const std::string ChannelHeader = "CH No,Frequency,Dup,Offset,TS,Mode,ATT,TONE,TSQL Frequency,"
                                  "DTCS Code,DTCS Polarity,Canceller,Canceller Frequency,VSC";

clsCsvImportResult importText(CsvDocument& document, const std::string& text, int kind, int index,
                              bool overwrite) {
    cmcLoadFile file;
    file.LoadText(text);
    return CsvImportLines(file, document.Organisation(), document.Events(), kind, index, overwrite,
                          document.ReadOptions());
}

// Reads one row of a kind-1 file with the header above; the counts of the row.
struct RowRead {
    int number;
    datCh record;
    int discarded = 0;
    int corrected = 0;
};

RowRead readRow(CsvDocument& document, const std::string& header, const std::string& row,
                int kind = csvkind::Mch) {
    cmcCsvRowReader reader(kind, document.ReadOptions());
    EXPECT_TRUE(reader.ReadHeader(header));
    RowRead read{0, document.Organisation().Record()};
    Bank_Info info;
    read.number = reader.ReadRow(row, read.record, read.discarded, read.corrected, info);
    return read;
}

TEST(CsvRowReader, ValuesAndTheirCorrections) {
    CsvDocument document(0); // destination 0 has the canceller and "Auto"
    // Band 6 defaults (destination 0, band memory 6): duplex OFF, Auto mode and step.
    struct Case {
        const char* row;
        int corrected;
        int discarded;
        bool inUse;
    } cases[] = {
        {"0,145.5,dup+,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 0, 0, true},
        {"0,145.5, DUP+ ,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 0, 0, true},
        {"0,145.5,DUP,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 1, 0, true},
        {"0,145.5,OFF,0.6,25kHz,FM-N,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 1, 0, true},
        {"0,145.5,OFF,0.6,25kHz,FM,OFF,OFF,88.5Hz,23,Normal,OFF,2280Hz,OFF", 0, 0, true},
        {"0,145.5,OFF,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280,OFF", 1, 0, true},
        {"0,145.5,OFF,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,1505Hz,OFF", 1, 0, true},
        {"0,145.5,OFF,,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 1, 0, true},
        {"0,145.5,OFF,0.6,-,-,-,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 1, 0, true},
        {"0,145.50001,OFF,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 1, 0, true},
        {"0,0.1,OFF,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 0, 1, false},
        {"0,1300.000001,OFF,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 0, 1, false},
        {"0,145.5MHz,OFF,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF", 0, 1, false},
        {"0,,DUP,x,x,x,x,x,x,x,x,x,x,x", 0, 0, false}, // a blank row: nothing counted
        {"0,145.5", 1, 0, true}, // every present column empty: one corrected row
        {"0,145.5,OFF,0.6,25kHz,FM,OFF,OFF,88.5Hz,023,Normal,OFF,2280Hz,OFF,extra", 0, 0, true},
    };
    for (const Case& c : cases) {
        RowRead read = readRow(document, ChannelHeader, c.row);
        EXPECT_EQ(read.number, 0) << c.row;
        EXPECT_EQ(read.corrected, c.corrected) << c.row;
        EXPECT_EQ(read.discarded, c.discarded) << c.row;
        EXPECT_EQ(read.record.InUse(), c.inUse) << c.row;
    }
}

TEST(CsvRowReader, ReadValuesLandInTheRecord) {
    CsvDocument document(0);
    RowRead read = readRow(document, ChannelHeader,
                           "7,145.5,DUP-,0.6,12.5kHz,FM-N,ON,TSQL R,254.1Hz,23,Reverse,TRAIN2,"
                           "1505Hz,ON");
    EXPECT_EQ(read.number, 7);
    const datCh& r = read.record;
    EXPECT_EQ(r.frequency, 145500000u);
    EXPECT_EQ(r.duplex, 1);
    EXPECT_EQ(r.offset, 600000u);
    EXPECT_EQ(r.tuningStep, 6u);
    EXPECT_EQ(r.mode, 0u);
    EXPECT_EQ(r.attenuator, 1u);
    EXPECT_EQ(r.toneMode, 3);
    EXPECT_EQ(r.tone, 49u);
    EXPECT_EQ(r.dtcsCode, 0);
    EXPECT_EQ(r.dtcsPolarity, 1);
    EXPECT_EQ(r.canceller, 2u);
    EXPECT_EQ(r.trainFrequency, 1510u);
    EXPECT_EQ(r.vsc, 1u);

    // Missing columns leave their fields at 0 and count nothing.
    RowRead minimal = readRow(document, "Frequency,CH No", "145.5,3");
    EXPECT_EQ(minimal.number, 3);
    EXPECT_EQ(minimal.corrected, 0);
    EXPECT_EQ(minimal.record.duplex, 0);
}

TEST(CsvRowReader, RowNumbersAreRangeChecked) {
    CsvDocument document(1);
    const std::string edgeHeader = "No,Name,Frequency Low,Frequency High";
    struct Case {
        int kind;
        const char* header;
        const char* row;
        int number;
        int discarded;
    } cases[] = {
        {csvkind::Mch, "CH No,Frequency", "1600,145", 1600, 0},
        {csvkind::Mch, "CH No,Frequency", "1601,145", CsvRefusedRow, 1},
        {csvkind::Mch, "CH No,Frequency", "-1,145", CsvRefusedRow, 1},
        {csvkind::Mch, "CH No,Frequency", "x,145", CsvRefusedRow, 1},
        {csvkind::Mch, "CH No,Frequency", " , ", CsvRefusedRow, 0}, // a spreadsheet's blank row
        {csvkind::PgSrch, "No,Name,Frequency Low,Frequency High", "25,,144,146", 25, 0},
        {csvkind::PgSrch, "No,Name,Frequency Low,Frequency High", "26,,144,146", CsvRefusedRow, 1},
        {csvkind::BasicCh, "CH No,Frequency", "100,145", 100, 0},
        {csvkind::BasicPg, "No,Frequency Low,Frequency High", "21,144,146", CsvRefusedRow, 1},
    };
    for (const Case& c : cases) {
        RowRead read = readRow(document, c.header, c.row, c.kind);
        EXPECT_EQ(read.number, c.number) << c.row;
        EXPECT_EQ(read.discarded, c.discarded) << c.row;
    }
}

TEST(CsvRowReader, NamesAndNameNumbers) {
    CsvDocument document(1);
    RowRead edge = readRow(document, "No,Name,Frequency Low,Frequency High",
                           "3,Airband with a long name,118,136.975", csvkind::PgSrch);
    EXPECT_EQ(edge.record.NameField(), "Airband with a l");
    EXPECT_EQ(edge.corrected, 1);
    EXPECT_EQ(edge.record.secondFrequency, 118000000u);

    struct Case {
        const char* text;
        const char* stored;
        bool ok;
    } cases[] = {{"No12", "12 ", true},  {"no7", "7  ", true},    {"No1x3", "1  ", false},
                 {"xo123", "123", true}, {"No", "   ", false},    {"12", "   ", false},
                 {"", "   ", true},      {"No1234", "123", false}};
    for (const Case& c : cases) {
        std::string number;
        EXPECT_EQ(CsvNameNumberToImage(c.text, number), c.ok) << c.text;
        EXPECT_EQ(number, c.stored) << c.text;
    }
}

TEST(CsvHeader, NamesMatchWithoutCaseAndBlanksAndRequiredColumnsMustBeThere) {
    CsvDocument document(1);
    cmcCsvRowReader reader(csvkind::Mch, document.ReadOptions());
    EXPECT_TRUE(reader.ReadHeader(" ch no ,  FREQUENCY,dup"));
    EXPECT_EQ(reader.ColumnPosition(CsvColumn::Frequency), 1);
    EXPECT_EQ(reader.ColumnPosition(CsvColumn::Dup), 2);
    EXPECT_FALSE(reader.ReadHeader("CH No,Freq"));
    EXPECT_FALSE(reader.ReadHeader("CH No\tFrequency")) << "tabs are not separators";
    cmcCsvRowReader edges(csvkind::PgSrch, document.ReadOptions());
    EXPECT_FALSE(edges.ReadHeader("No,Frequency High"));
    EXPECT_TRUE(edges.ReadHeader("No,Frequency Low,Frequency High"));
}

// A header without its required columns changes nothing and says so.
TEST(CsvImport, RefusedHeaderChangesNothing) {
    CsvDocument document(1);
    testenv::TempFolder folder;
    cmcEeprom before;
    before.SetSize(ImageSize);
    before.Assign(document.Image());
    const std::vector<std::string> inputs = {"CH No,Freq\r\n0,145\r\n", "",
                                             std::string("\x00\xff\x13garbage\x01,\r\n\x7f", 15),
                                             "CH No\tFrequency\r\n0\t145\r\n"};
    for (const std::string& input : inputs) {
        testenv::writeFile(folder.file("in.csv"), input);
        document.Platform().messages.clear();
        document.Platform().messages.script({answer::Ok});
        clsCsvImportResult result =
            CsvImport(folder.file("in.csv"), document.Organisation(), document.Events(),
                      csvkind::Mch, 0, true, document.ReadOptions());
        EXPECT_FALSE(result.accepted);
        EXPECT_TRUE(document.Image().IsEqual(before));
        ASSERT_EQ(document.Messages().size(), 2u);
        EXPECT_EQ(document.Messages()[1], "File error.\n\nIllegal data.");
    }
}

TEST(CsvImport, OverwriteAsksFirstAndCancelChangesNothing) {
    CsvDocument document(1);
    testenv::TempFolder folder;
    testenv::writeFile(folder.file("in.csv"), "CH No,Frequency\r\n0,150\r\n");
    document.Platform().messages.script({answer::Cancel});
    clsCsvImportResult result =
        CsvImport(folder.file("in.csv"), document.Organisation(), document.Events(), csvkind::Mch,
                  0, true, document.ReadOptions());
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(document.Messages().size(), 1u);
    EXPECT_EQ(document.Organisation().TotalChannels(), 2);
    EXPECT_EQ(document.Record(datKind::Mch, 0).frequency, 145000000u);
}

// A channel list is read whole, so anything that is no ordinary small file must read as
// empty at once: an endless device, a named pipe nobody writes to, a huge file.
TEST(CsvImport, DevicesPipesAndHugeFilesReadAsEmpty) {
    testenv::TempFolder folder;
    const std::string list = folder.file("list.csv");
    testenv::writeFile(list, "\xEF\xBB\xBF"
                             "a\r\nb\rc\n");
    cmcLoadFile file;
    ASSERT_TRUE(file.Load(list));
    EXPECT_EQ(file.Count(), 3);
    EXPECT_EQ(file.LineAt(0), "a");

    const std::string pipe = folder.file("pipe.csv");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string huge = folder.file("huge.csv");
    testenv::writeFile(huge, std::string(cmcLoadFile::MaxFileBytes + 1, 'x'));
    for (const std::string& path : {std::string("/dev/zero"), pipe, huge, folder.file("none")}) {
        EXPECT_FALSE(file.Load(path)) << path;
        EXPECT_EQ(file.Count(), 0) << path;
    }
}

TEST(CsvImport, HeaderOnlyShowsNoData) {
    CsvDocument document(1);
    testenv::TempFolder folder;
    testenv::writeFile(folder.file("in.csv"), "CH No,Frequency\r\n");
    document.Platform().messages.script({answer::Ok});
    CsvImport(folder.file("in.csv"), document.Organisation(), document.Events(), csvkind::Mch, 0,
              true, document.ReadOptions());
    EXPECT_EQ(document.Messages(),
              (std::vector<std::string>{document.Messages()[0], "No channel data was found."}));
}

TEST(CsvImport, AddStopsWhenTheGroupHasNoRoomForNames) {
    CsvDocument document(1);
    // Group 0 holds 2 names; make it 95, leaving room for 5.
    for (int i = 0; i < 93; ++i)
        document.AddChannel(0, 146000000);
    std::string text = "CH No,Frequency\r\n";
    for (int i = 0; i < 10; ++i)
        text += "000" + std::to_string(i) + ",150." + std::to_string(i) + "\r\n";
    clsCsvImportResult result = importText(document, text, csvkind::Mch, 0, false);
    EXPECT_EQ(result.imported, 5);
    EXPECT_TRUE(result.noRoomName);
    EXPECT_EQ(document.Organisation().ChannelsOfGroup(0), 100);
    EXPECT_EQ(document.Record(datKind::Mch, 99).frequency, 150400000u);
    CsvShowImportSummary(result);
    EXPECT_EQ(document.Messages(),
              std::vector<std::string>{"Channel overflow.\nSome channels are not imported."});
}

TEST(CsvImport, SummaryMessagesComeInTheirOrder) {
    CsvDocument document(1);
    clsCsvImportResult result =
        importText(document, "CH No,Frequency,Mode\r\n0,150,FM-N\r\n1,0.1,FM\r\n2,151,FM\r\n",
                   csvkind::Mch, 0, true);
    EXPECT_EQ(result.imported, 2);
    CsvShowImportSummary(result);
    EXPECT_EQ(
        document.Messages(),
        (std::vector<std::string>{"Some channels are read as blank due to invalid value/setting.",
                                  "Some settings are changed to the valid value."}));
    EXPECT_EQ(document.Organisation().ChannelsOfGroup(0), 2);
    EXPECT_EQ(document.Record(datKind::Mch, 1).frequency, 151000000u);
}

TEST(CsvImport, EdgesAreReplacedByNumber) {
    CsvDocument document(1);
    clsCsvImportResult result =
        importText(document,
                   "No,Name,Frequency Low,Frequency High,TS,Mode,ATT\r\n"
                   "05,Marine,156,162.025,25kHz,FM,-\r\n24,,,,,,\r\n25,Nowhere,144,146,-,-,-\r\n",
                   csvkind::PgSrch, 0, true);
    EXPECT_EQ(result.imported, 1);
    EXPECT_FALSE(document.Record(datKind::PgSrch, 0).InUse()) << "edge 0 was cleared";
    datCh edge = document.Record(datKind::PgSrch, 5);
    EXPECT_TRUE(edge.InUse());
    EXPECT_EQ(edge.NameText(), "Marine");
    EXPECT_EQ(edge.secondFrequency, 156000000u);
    EXPECT_EQ(edge.frequency, 162025000u);
    EXPECT_EQ(edge.attenuator, 2u);
}

// A group with several names, shared names and settings of every kind goes out and comes
// back into a fresh copy unchanged.
TEST(CsvImport, ExportedGroupComesBackTheSameUnderEachLocale) {
    for (char decimal : {'.', ','}) {
        CsvDocument source(0, decimal);
        cmcOrganisation& org = source.Organisation();
        source.AddChannel(0, 146520000, false);
        source.AddChannel(0, 433500000);
        source.AddChannel(0, 118008333); // on the 8.33 kHz grid of the air band
        for (int i = 0; i <= org.LastChannelOfGroup(0); ++i) {
            datCh r = source.Record(datKind::Mch, i);
            r.duplex = i % 3;
            r.toneMode = i % 2 ? 5 : 2;
            r.tone = uint32_t(i * 7);
            r.dtcsCode = i * 11;
            r.dtcsPolarity = i % 2;
            r.canceller = uint32_t(i % 4);
            r.trainFrequency = 300 + 10 * uint32_t(i);
            r.skip = i % 3;
            r.priority = i % 2;
            r.stopBeep = uint32_t(1 - i % 2);
            r.attenuator = uint32_t(i % 2);
            r.mode = uint32_t(i % 4);
            r.tuningStep = uint32_t(i * 3);
            r.StoreAndReload();
            datCh name = source.Record(datKind::Name, int(r.nameIndex));
            name.SetName("Name " + std::to_string(i));
            name.SetNameNumber(std::to_string(10 + i));
            name.skip = 1;
            name.StoreAndReload();
        }
        datCh group = source.Record(datKind::Group, 0);
        group.SetName("Repeaters");
        group.directKey = 42;
        group.skip = 1;
        group.StoreAndReload();

        clsCsvWriteOptions options;
        options.separators = clsCsvSeparators::FromDecimal(decimal);
        const std::string text = CsvExportText(org, csvkind::Mch, 0, options);

        CsvDocument copy(0, decimal);
        clsCsvImportResult result = importText(copy, text, csvkind::Mch, 0, true);
        EXPECT_EQ(result.discarded, 0);
        EXPECT_EQ(result.corrected, 0);
        ASSERT_EQ(copy.Organisation().ChannelsOfGroup(0), org.ChannelsOfGroup(0));
        EXPECT_EQ(CsvExportText(copy.Organisation(), csvkind::Mch, 0, options), text);
        for (int i = 0; i < org.ChannelsOfGroup(0); ++i) {
            EXPECT_EQ(std::memcmp(source.Image().Data() + 14 * i, copy.Image().Data() + 14 * i, 14),
                      0)
                << "channel " << i << " decimal " << decimal;
        }
        EXPECT_EQ(datLookup::DirectKeyOfGroup(copy.Image(), 0), 42);
    }
}

TEST(CsvImport, CategoryOverwriteRebuildsItsGroups) {
    CsvDocument source(1);
    cmcOrganisation& org = source.Organisation();
    source.Events().Send(12, 0, 1); // a second group in category 0
    source.AddChannel(1, 162550000);
    clsCsvWriteOptions options;
    const std::string text = CsvExportText(org, csvkind::Group, 0, options);

    CsvDocument copy(1);
    clsCsvImportResult result = importText(copy, text, csvkind::Group, 0, true);
    EXPECT_EQ(result.imported, 4);
    EXPECT_EQ(copy.Organisation().GroupsOfCategory(0), 2);
    EXPECT_EQ(copy.Organisation().ChannelsOfGroup(1), 2);
    EXPECT_EQ(CsvExportText(copy.Organisation(), csvkind::Group, 0, options), text);
}

TEST(CsvImport, CategoryAddMakesANewCategoryFromTheRows) {
    CsvDocument document(1);
    clsCsvImportResult result = importText(
        document,
        "CH No,Category Name,Category Icon,Group No,Group Name,Name No,Name Name,Name Number,"
        "Frequency\r\n"
        "0,Marine,SHIP,0,Ch 16,0,Distress,No16,156.8\r\n"
        "1,Marine,SHIP,0,Ch 16,0,Distress,No16,156.8\r\n"
        "2,Marine,SHIP,1,Port,0,Harbour,No16,156.6\r\n",
        csvkind::Category, 0, false);
    EXPECT_EQ(result.imported, 3);
    cmcOrganisation& org = document.Organisation();
    ASSERT_EQ(org.CategoryCount(), 2);
    EXPECT_EQ(org.GroupsOfCategory(1), 2);
    datCh category = document.Record(datKind::Category, 1);
    EXPECT_EQ(category.NameText(), "Marine");
    EXPECT_EQ(category.icon, 7);
    const int first = org.FirstChannelOfCategory(1);
    datCh a = document.Record(datKind::Mch, first), b = document.Record(datKind::Mch, first + 1);
    EXPECT_EQ(a.nameIndex, b.nameIndex) << "rows with the same name counter share a name";
    // The later name with number 16 takes the number from the earlier one.
    datCh harbour =
        document.Record(datKind::Name, int(document.Record(datKind::Mch, first + 2).nameIndex));
    EXPECT_EQ(harbour.NameNumberText(), "16 ");
    EXPECT_EQ(document.Record(datKind::Name, int(a.nameIndex)).NameNumberText(), "   ");
}

} // namespace
