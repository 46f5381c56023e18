#include "../model/FakeSheet.h"

#include "files/cmcCsvExport.h"
#include "files/cmcCsvImport.h"
#include "files/cmcLoadFile.h"
#include "files/cmcTsvTransfer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A document whose Copy and Paste also reach the (fake) desktop clipboard.
struct TsvWorld {
    TsvWorld() {
        world.Show(CT_Conv, 0);
        world.platform.clipboard.text_ = "left by another program";
    }

    clsCsvReadOptions Options() {
        clsCsvReadOptions options;
        options.destination = &world.destination;
        return options;
    }
    std::string& Desktop() { return world.platform.clipboard.text_; }
    // The group's channels as the CSV export writes them.
    std::string Export(int group) {
        return CsvExportText(world.organisation, csvkind::Mch, group, clsCsvWriteOptions{});
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const auto& shown : world.platform.messages.shown())
            texts.push_back(shown.text);
        return texts;
    }

    cmcTsvTransfer transfer{[this] { return Options(); }};
    CellWorld world{1, &transfer};
};

// What a spreadsheet gives back for our rows: the same cells, its own line ends.
std::string AsSpreadsheet(std::string text) {
    std::string result;
    for (char c : text)
        result += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return result;
}

TEST(TsvTransferTest, RowsCopiedFromASheetAddToAnEmptyGroupAsTheCsvImportAddsThem) {
    TsvWorld tsv;
    CellWorld& world = tsv.world;
    FillChannels(world, {3, 1, 1});
    const char* frequencies[] = {"145.500000", "433.025000", "118.100000"};
    const char* names[] = {"Repeater", "Simplex, 70cm", "Tower"};
    for (int slot = 0; slot < 3; ++slot) {
        world.Type(CL_Mch_Freq, slot, frequencies[slot]);
        world.Type(CL_Mch_Name_Name, slot, names[slot]);
    }

    world.Command(CL_Mch_Freq, 0, CL_PMenu_Copy, 0, 2);
    EXPECT_EQ(world.clipboard.Count(), 3); // the channel clipboard works as before
    const std::string copied = tsv.Desktop();
    EXPECT_EQ(copied, tsv.transfer.OwnText());
    cmcLoadFile lines;
    lines.LoadText(copied);
    ASSERT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.LineAt(0).substr(0, 27), "CH No\tCategory Icon\tCategor");
    EXPECT_NE(lines.LineAt(1).find("\t145.500000\t"), std::string::npos);
    EXPECT_NE(lines.LineAt(2).find("\tSimplex  70cm\t"), std::string::npos);
    EXPECT_EQ(copied.find('\r'), std::string::npos);
    // Our own copy pastes from the channel clipboard, which never adds on the new row.
    world.Show(CT_Conv, 1);
    EXPECT_TRUE(world.Disabled(CL_Mch_Freq, 4, CL_PMenu_Paste));

    tsv.Desktop() = AsSpreadsheet(copied);
    EXPECT_FALSE(world.Disabled(CL_Mch_Freq, 4, CL_PMenu_Paste));
    const CellResult pasted = world.Command(CL_Mch_Freq, 4, CL_PMenu_Paste); // the new row
    EXPECT_TRUE(tsv.Messages().empty());
    EXPECT_EQ(world.organisation.ChannelsOfGroup(1), 4);
    EXPECT_EQ(world.organisation.NameCount(), 4); // counted again for the sheet's title
    EXPECT_EQ(pasted.rangeLow, 4);
    EXPECT_EQ(pasted.rangeHigh, 6);
    EXPECT_EQ(world.statusTexts.back(), " Pasted");
    EXPECT_EQ(world.Load(datKind::Mch, 5).frequency, 433025000u);

    cmcLoadFile csv;
    csv.LoadText(CsvExportText(world.organisation, csvkind::Mch, 0, clsCsvWriteOptions{}));
    const clsCsvImportResult route = CsvImportLines(csv, world.organisation, *world.events,
                                                    csvkind::Mch, 2, false, tsv.Options());
    EXPECT_EQ(route.imported, 3);
    EXPECT_EQ(tsv.Export(1), tsv.Export(2));
}

TEST(TsvTransferTest, SpreadsheetRowsOverwriteWithTheImportsCorrectionsAndMessages) {
    TsvWorld tsv;
    CellWorld& world = tsv.world;
    FillChannels(world, {3});
    const uint32_t nameOfRow1 = world.Load(datKind::Mch, 1).nameIndex;
    tsv.Desktop() = "ch no\tFREQUENCY \tMode\n"
                    "0\t145.5\tFM-N\n"   // FM-N reads as FM: corrected
                    "1\t0.1\tFM\n"       // below the receiver's range: discarded
                    "\t\t\n"             // a spreadsheet's empty row
                    "2\t430,0125\tAM\n"; // a decimal comma on a "." document: discarded
    world.platform.messages.script({answer::Ok, answer::Ok, answer::Ok});
    world.Command(CL_Mch_Freq, 1, CL_PMenu_Paste);
    EXPECT_EQ(tsv.Messages(), (std::vector<std::string>{
                                  "Overwriting. Are you sure?",
                                  "Some channels are read as blank due to invalid value/setting.",
                                  "Some settings are changed to the valid value."}));
    const datCh pasted = world.Load(datKind::Mch, 1);
    EXPECT_EQ(pasted.frequency, 145500000u);
    EXPECT_EQ(pasted.mode, 0u);
    EXPECT_EQ(pasted.nameIndex, nameOfRow1); // the row keeps its name
    EXPECT_EQ(world.organisation.TotalChannels(), 3);

    // Cancelling the question changes nothing and reports nothing.
    world.platform.messages.clear();
    world.platform.messages.script({answer::Cancel});
    tsv.Desktop() = "CH No\tFrequency\n0\t118.1\n";
    world.Command(CL_Mch_Freq, 2, CL_PMenu_Paste);
    EXPECT_EQ(tsv.Messages(), std::vector<std::string>{"Overwriting. Are you sure?"});
    EXPECT_NE(world.Load(datKind::Mch, 2).frequency, 118100000u);

    // A heading without the required columns is refused as the import refuses it; rows
    // that all fail say so.
    const struct {
        const char* text;
        const char* message;
    } refused[] = {{"Name\tFrequency\nTower\t118.1\n", "File error.\n\nIllegal data."},
                   {"CH No\tFrequency\n\t\n", "No channel data was found."}};
    for (const auto& c : refused) {
        world.platform.messages.clear();
        tsv.Desktop() = c.text;
        world.Command(CL_Mch_Freq, 2, CL_PMenu_Paste);
        EXPECT_EQ(tsv.Messages(), std::vector<std::string>{c.message}) << c.text;
    }
    EXPECT_EQ(world.organisation.TotalChannels(), 3);
}

TEST(TsvTransferTest, RowsWithoutTheirHeadingReadInTheExportsColumns) {
    TsvWorld tsv;
    CellWorld& world = tsv.world;
    world.Show(CT_Prog, 0);
    world.Command(CL_PgSrch_Freq_Low, 0, CL_PMenu_Copy, 0, 1);
    const std::string copied = tsv.Desktop();
    tsv.Desktop() = copied.substr(copied.find('\n') + 1);  // the data rows only
    world.Command(CL_PgSrch_Freq_Low, 10, CL_PMenu_Paste); // onto empty edges: no question
    EXPECT_TRUE(tsv.Messages().empty());
    for (int i = 0; i < 2; ++i) {
        const datCh source = world.Load(datKind::PgSrch, i);
        const datCh pasted = world.Load(datKind::PgSrch, 10 + i);
        EXPECT_TRUE(pasted.InUse());
        EXPECT_EQ(pasted.NameText(), source.NameText());
        EXPECT_EQ(pasted.frequency, source.frequency);
        EXPECT_EQ(pasted.secondFrequency, source.secondFrequency);
    }
}

} // namespace
