#include "CsvFixture.h"
#include "files/cmcCsvExport.h"
#include "support/TestEnvironment.h"

#include <csignal>
#include <sys/resource.h>

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos) break;
        result.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return result;
}

clsCsvWriteOptions writeOptions(char decimal = '.') {
    clsCsvWriteOptions options;
    options.separators = clsCsvSeparators::FromDecimal(decimal);
    return options;
}

const char* GroupHeaderStart =
    "CH No,Category Icon,Category Name,Category Direct Key,Category Link,Category Skip,"
    "Group No,Group Name,Group Direct Key,Group Link,Group Skip,Name No,Name Name,"
    "Name Number,Name Skip,Frequency,Dup,Offset,TS,Mode,ATT,SKIP,PRIO,STOP BEEP,TONE,"
    "TSQL Frequency,DTCS Code,DTCS Polarity,";

TEST(CsvExport, GroupHeaderHasTheCancellerOnlyForDestinationZero) {
    for (int destination : {0, 1}) {
        CsvDocument document(destination);
        std::vector<std::string> text =
            lines(CsvExportText(document.Organisation(), csvkind::Mch, 0, writeOptions()));
        std::string expected = std::string(GroupHeaderStart) +
                               (destination == 0 ? "Canceller,Canceller Frequency," : "") + "VSC";
        ASSERT_EQ(text.size(), 3u) << "header and the two default channels";
        EXPECT_EQ(text[0], expected);
    }
}

TEST(CsvExport, DefaultChannelsAreWrittenWithTheirOrganisation) {
    CsvDocument document(1);
    std::vector<std::string> text =
        lines(CsvExportText(document.Organisation(), csvkind::Mch, 0, writeOptions()));
    // Band memory 6 of destination 1: 145 MHz, +0.6 MHz offset, FM, 25 kHz, tone 88.5 Hz.
    EXPECT_EQ(text[1], "0000,HAM HH,HAM,,ON,OFF,0,Initial,,ON,OFF,0,,,OFF,145.000000,OFF,"
                       "0.600000,25kHz,FM,OFF,OFF,OFF,OFF,OFF,88.5Hz,023,Normal,OFF");
    EXPECT_EQ(text[2].substr(0, 46), "0001,HAM HH,HAM,,ON,OFF,0,Initial,,ON,OFF,1,,,");
}

TEST(CsvExport, EdgesAreNumberedWithTwoDigits) {
    CsvDocument document(1);
    std::vector<std::string> text =
        lines(CsvExportText(document.Organisation(), csvkind::PgSrch, 0, writeOptions()));
    ASSERT_EQ(text.size(), 26u);
    EXPECT_EQ(text[0], "No,Name,Frequency Low,Frequency High,TS,Mode,ATT");
    EXPECT_EQ(text[1], "00,ALL,0.150000,1300.000000,-,-,-");
    EXPECT_EQ(text[25], "24,,,,,,") << "an empty edge writes its number and empty fields";
}

TEST(CsvExport, CommaDecimalSeparatesFieldsWithSemicolons) {
    CsvDocument document(1, ',');
    datCh channel = document.Record(datKind::Mch, 0);
    channel.frequency = 145500000;
    channel.tuningStep = 1; // 6.25 kHz
    channel.StoreAndReload();
    std::vector<std::string> text =
        lines(CsvExportText(document.Organisation(), csvkind::Mch, 0, writeOptions(',')));
    EXPECT_NE(text[0].find("CH No;Category Icon;"), std::string::npos);
    EXPECT_NE(text[1].find(";145,500000;OFF;0,600000;6,25kHz;FM;"), std::string::npos) << text[1];
}

TEST(CsvExport, NamesLoseTheirSeparators) {
    CsvDocument document(1);
    datCh group = document.Record(datKind::Group, 0);
    group.SetName("North,South;Wx");
    group.StoreAndReload();
    std::string text = CsvExportText(document.Organisation(), csvkind::Mch, 0, writeOptions());
    EXPECT_NE(text.find(",North South Wx,"), std::string::npos);
}

TEST(CsvExport, AFileThatCannotBeCreatedIsReported) {
    CsvDocument document(1);
    EXPECT_EQ(CsvExport("/nonexistent-folder/out.csv", document.Organisation(), csvkind::Mch, 0,
                        writeOptions()),
              csvexport::FileOpen);
    EXPECT_EQ(document.Messages(),
              std::vector<std::string>{"File error.\n\nCannot open the file."});
}

// A write that stops half-way (here: the file-size limit) is reported, and the file that
// was there before is left as it was.
TEST(CsvExport, AnIncompleteWriteIsReportedAndKeepsTheOldFile) {
    CsvDocument document(1);
    testenv::TempFolder folder;
    const std::string path = folder.file("out.csv");
    testenv::writeFile(path, "old contents\r\n");

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int written = CsvExport(path, document.Organisation(), csvkind::Mch, 0, writeOptions());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(written, csvexport::FileAccess);
    EXPECT_EQ(document.Messages(),
              std::vector<std::string>{"File error.\n\nCannot access the file."});
    EXPECT_EQ(testenv::readFile(path), "old contents\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

TEST(CsvExport, AutoWriteChannelsFollowTheOrderList) {
    CsvDocument document(1);
    // Two auto-write channels: slots 7 and 3, listed at the end of the order list.
    cmcEeprom& image = document.Image();
    for (int slot : {7, 3}) {
        datCh record = document.Record(datKind::AutoMWCH, slot);
        record.SetDefault(datKind::AutoMWCH, 6);
        record.frequency = slot == 7 ? 150000000 : 160000000;
        record.Store(datKind::AutoMWCH, slot);
    }
    image.SetByte(114898 + 198, 7);
    image.SetByte(114898 + 199, 3);
    std::vector<std::string> text =
        lines(CsvExportText(document.Organisation(), csvkind::AutoMWCH, 0, writeOptions()));
    ASSERT_EQ(text.size(), 3u);
    EXPECT_EQ(text[0], "CH No,Frequency,Dup,Offset,TS,Mode,ATT,TONE,TSQL Frequency,DTCS Code,"
                       "DTCS Polarity,VSC");
    EXPECT_EQ(text[1].substr(0, 16), "0000,150.000000,");
    EXPECT_EQ(text[2].substr(0, 16), "0001,160.000000,");
}

} // namespace
