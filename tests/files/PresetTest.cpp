#include "CsvFixture.h"
#include "files/cmcLoadFile.h"
#include "files/cmcPresetImport.h"
#include "files/cmcPresetReader.h"
#include "support/TestEnvironment.h"

#include <filesystem>

namespace {

std::string typeSection(const std::string& app = "Pelham", const std::string& version = "1.00-00",
                        const std::string& data = "Basic Search ENG") {
    return "[Type]\r\nAPP=" + app + "\r\nDATA=" + data + "\r\nDATAVER=" + version +
           "\r\nCOUNTRYNAME=Test Land\r\n";
}

std::string category(const std::string& section, const std::string& name, const std::string& rows) {
    return section + "\r\nCATEGORYNAME=" + name + "\r\nICON=RADIO\r\nCSV\r\nDATA=CH Search\r\n" +
           "CH No,Name,Frequency,Mode\r\n" + rows;
}

bool readText(const std::string& text, Preset_Data& preset, bool japaneseText = false) {
    cmcLoadFile file;
    file.LoadText(text);
    return ReadPreset(file, japaneseText, preset);
}

TEST(PresetReader, TypeSectionRules) {
    const std::string body = category("[CATEGORY0]", "Marine", "0,CH16,156.8,FM\r\n");
    struct Case {
        std::string text;
        bool accepted;
    } cases[] = {
        {typeSection() + body, true},
        {typeSection("pelham") + body, true},
        {typeSection("Pelham", "1.00-01") + body, false},
        {typeSection("Other") + body, false},
        {typeSection("Pelham", "1.00-00", "Basic Search JPN") + body, false},
        {"APP=Pelham\r\n" + body, false},
        {typeSection(), false}, // no category
        {"[Type]\r\nAPP=Pelham\r\nDATA=Basic Search ENG\r\nDATAVER=1.00-00\r\nCOUNTRYNAME= \r\n" +
             body,
         false},
    };
    for (const Case& c : cases) {
        Preset_Data preset;
        EXPECT_EQ(readText(c.text, preset), c.accepted) << c.text;
    }
    Preset_Data japanese;
    EXPECT_TRUE(
        readText(typeSection("Pelham", "1.00-00", "Basic Search JPN") + body, japanese, true));
    EXPECT_EQ(japanese.language, 1);
}

TEST(PresetReader, CategorySectionsAndBlocks) {
    const std::string text =
        typeSection() + category("[CATEGORY03]", "Second form", "0,A,150,FM\r\n") +
        category("[CATEGORY3]", "First form", "0,B,151,FM\r\n") +
        "[CATEGORY4]\r\nCATEGORYNAME=No CSV\r\nICON=RADIO\r\n" +
        "[CATEGORY7]\r\nCATEGORYNAME=Two blocks  \r\nICON=HAM\r\n// a comment\r\nCSV\r\n"
        "DATA=Program Search\r\n\r\nNo,Frequency Low,Frequency High,TS,Mode\r\n"
        "0,144,146,12.5kHz,FM\r\n// another\r\n\r\n1,430,440,25kHz,FM\r\nCSV\r\n"
        "data=ch search\r\nCH No,Frequency\r\n0,145.5\r\n[CATEGORY8]\r\n";
    Preset_Data preset;
    ASSERT_TRUE(readText(text, preset));
    EXPECT_EQ(preset.name, "Test Land");
    ASSERT_EQ(preset.categories.size(), 2u) << "the section without a CSV line is dropped";
    EXPECT_EQ(preset.categories[0].name, "First form");
    EXPECT_EQ(preset.categories[0].chLines,
              (std::vector<std::string>{"CH No,Name,Frequency,Mode", "0,B,151,FM"}));
    const Cate_Data& two = preset.categories[1];
    EXPECT_EQ(two.name, "Two blocks");
    EXPECT_EQ(two.icon, "HAM");
    EXPECT_EQ(two.progLines,
              (std::vector<std::string>{"No,Frequency Low,Frequency High,TS,Mode",
                                        "0,144,146,12.5kHz,FM", "1,430,440,25kHz,FM"}));
    EXPECT_EQ(two.chLines, (std::vector<std::string>{"CH No,Frequency", "0,145.5"}));
}

TEST(PresetReader, FolderScanTakesSchFilesInNameOrder) {
    testenv::TempFolder folder;
    const std::string good = typeSection() + category("[CATEGORY0]", "C", "0,X,150,FM\r\n");
    testenv::writeFile(folder.file("b.SCH"), good);
    testenv::writeFile(folder.file("a.sch"), good);
    testenv::writeFile(folder.file("c.sch"), "not a preset");
    testenv::writeFile(folder.file("d.txt"), good);
    std::vector<std::string> files = PresetFiles(folder.path().string());
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(std::filesystem::path(files[0]).filename(), "a.sch");
    EXPECT_EQ(ScanPresets(folder.path().string(), false).size(), 2u);
    EXPECT_TRUE(PresetFiles("/nonexistent/presets").empty());
}

class PresetImport : public ::testing::Test {
  protected:
    // n banks, each with one CH-search entry.
    void MakeBanks(int n) {
        for (int bank = 0; bank < n; ++bank) {
            document.Events().Send(17, 0, bank);
            document.Events().Send(20, 5, bank * 100);
            datCh entry = document.Record(datKind::BasicCh, bank * 100);
            entry.frequency = 150000000 + uint32_t(bank) * 1000000;
            entry.Store(datKind::BasicCh, bank * 100);
        }
    }

    Preset_Data Preset(int categories, int rows, int selection) {
        Preset_Data preset;
        preset.selection = selection;
        for (int c = 0; c < categories; ++c) {
            Cate_Data category;
            category.selection = selection;
            category.name = "Preset " + std::to_string(c);
            category.icon = "RADIO";
            category.chLines.push_back("CH No,Name,Frequency,Mode");
            for (int r = 0; r < rows; ++r)
                category.chLines.push_back(std::to_string(r) + ",P" + std::to_string(r) + "," +
                                           std::to_string(400 + r) + ",FM");
            preset.categories.push_back(category);
        }
        return preset;
    }

    clsPresetImportResult Import(std::vector<Preset_Data> presets, int openBank) {
        return ImportPresets(presets, document.Organisation(), document.Events(), openBank,
                             document.ReadOptions());
    }

    uint32_t FirstFrequency(int bank) {
        return document.Record(datKind::BasicCh, bank * 100).frequency;
    }

    CsvDocument document{1};
};

TEST_F(PresetImport, OverwriteAllLeavesOnlyTheChosenCategories) {
    MakeBanks(5);
    clsPresetImportResult result = Import({Preset(1, 3, presetchoice::Overwrite)}, PresetAllBanks);
    EXPECT_EQ(document.Organisation().BankCount(), 1);
    EXPECT_EQ(document.Organisation().BankChCount(0), 3);
    EXPECT_EQ(result.imported, 3);
    datCh bank = document.Record(datKind::BasicBank, 0);
    EXPECT_EQ(bank.NameField(), "Preset 0        ");
    EXPECT_EQ(bank.icon, 13);
    datCh entry = document.Record(datKind::BasicCh, 2);
    EXPECT_EQ(entry.ShortNameText(), "P2");
    EXPECT_EQ(entry.frequency, 402000000u);

    // All rows refused: no bank at all.
    Preset_Data refused = Preset(1, 0, presetchoice::Overwrite);
    refused.categories[0].chLines.push_back("0,X,0.1,FM");
    result = Import({refused}, PresetAllBanks);
    EXPECT_EQ(document.Organisation().BankCount(), 0);
    EXPECT_EQ(result.discarded, 1);
}

TEST_F(PresetImport, AddGoesAfterTheOpenBank) {
    MakeBanks(7);
    Import({Preset(2, 1, presetchoice::Add)}, 4);
    EXPECT_EQ(document.Organisation().BankCount(), 9);
    EXPECT_EQ(FirstFrequency(4), 154000000u);
    EXPECT_EQ(FirstFrequency(5), 400000000u);
    EXPECT_EQ(FirstFrequency(6), 400000000u);
    EXPECT_EQ(FirstFrequency(7), 155000000u) << "later banks are pushed back";
}

TEST_F(PresetImport, OverwriteOneBankReplacesItInPlace) {
    MakeBanks(3);
    Import({Preset(1, 2, presetchoice::Overwrite)}, 1);
    EXPECT_EQ(document.Organisation().BankCount(), 3);
    EXPECT_EQ(FirstFrequency(0), 150000000u);
    EXPECT_EQ(FirstFrequency(1), 400000000u);
    EXPECT_EQ(FirstFrequency(2), 152000000u);
}

TEST_F(PresetImport, RoomIsCheckedForEntriesAndBanks) {
    clsPresetImportResult result = Import({Preset(1, 120, presetchoice::Add)}, PresetAllBanks);
    EXPECT_EQ(document.Organisation().BankChCount(0), 100);
    EXPECT_TRUE(result.NoRoom());
    ShowPresetSummary(result);
    EXPECT_EQ(document.Messages(),
              std::vector<std::string>{"Channel overflow.\nSome channels are not imported."});

    // The first bank is there; 19 more fit.
    result = Import({Preset(20, 1, presetchoice::Add)}, PresetAllBanks);
    EXPECT_EQ(result.banks, 19);
    EXPECT_TRUE(result.NoRoom());
    EXPECT_EQ(document.Organisation().BankCount(), 20);
}

TEST_F(PresetImport, DialogClosedOrHeaderRefused) {
    testenv::TempFolder folder;
    testenv::writeFile(folder.file("a.sch"),
                       typeSection() + category("[CATEGORY0]", "C", "0,X,150,FM\r\n"));
    // Escape marks nothing: nothing is imported and the summary says so.
    RunPresetCommand(folder.path().string(), document.Organisation(), document.Events(),
                     PresetAllBanks, document.ReadOptions(),
                     [](std::vector<Preset_Data>&, bool) {});
    EXPECT_EQ(document.Messages(), std::vector<std::string>{"No channel data was found."});
    EXPECT_EQ(document.Organisation().BankCount(), 0);

    document.Platform().messages.clear();
    Preset_Data bad = Preset(1, 1, presetchoice::Add);
    bad.categories[0].chLines[0] = "CH No,Freq";
    ShowPresetSummary(Import({bad}, PresetAllBanks));
    EXPECT_EQ(document.Messages(), std::vector<std::string>{"File error.\n\nIllegal data."});
}

// Every preset file we ship imports without a discarded or corrected row, in every
// destination it is meant for, and under a comma-decimal locale too.
TEST(ShippedPresets, EveryFileImportsCleanly) {
    const std::filesystem::path data = testenv::dataFolder().parent_path().parent_path() / "data";
    struct Case {
        bool japanese;
        int destination;
        char decimal;
    } cases[] = {
        {false, 1, '.'}, {false, 5, '.'}, {false, 0, '.'}, {false, 2, ','}, {true, 0, '.'}};
    for (const Case& c : cases) {
        const std::string folder = PresetFolder(data.string(), c.japanese);
        ASSERT_FALSE(PresetFiles(folder).empty()) << folder;
        for (const std::string& path : PresetFiles(folder)) {
            CsvDocument document(c.destination, c.decimal);
            Preset_Data preset;
            ASSERT_TRUE(ReadPreset(path, c.japanese, preset)) << path;
            preset.selection = presetchoice::Overwrite;
            size_t rows = 0;
            for (Cate_Data& category : preset.categories) {
                category.selection = presetchoice::Overwrite;
                rows += category.chLines.size() + category.progLines.size();
                rows -= !category.chLines.empty() + !category.progLines.empty();
            }
            clsPresetImportResult result =
                ImportPresets({preset}, document.Organisation(), document.Events(), PresetAllBanks,
                              document.ReadOptions(c.japanese));
            const std::string where = path + " destination " + std::to_string(c.destination);
            EXPECT_TRUE(result.headersAccepted) << where;
            EXPECT_EQ(result.discarded, 0) << where;
            EXPECT_EQ(result.corrected, 0) << where;
            EXPECT_FALSE(result.NoRoom()) << where;
            EXPECT_EQ(size_t(result.imported), rows) << where;
            EXPECT_EQ(result.banks, int(preset.categories.size())) << where;
        }
    }
}

TEST(ShippedPresets, JapaneseCategoryNamesBecomeHalfWidthKatakana) {
    const std::filesystem::path data = testenv::dataFolder().parent_path().parent_path() / "data";
    CsvDocument document(0);
    Preset_Data preset;
    ASSERT_TRUE(ReadPreset(PresetFolder(data.string(), true) + "/Japan.sch", true, preset));
    preset.selection = preset.categories[0].selection = presetchoice::Add;
    ImportPresets({preset}, document.Organisation(), document.Events(), PresetAllBanks,
                  document.ReadOptions(true));
    EXPECT_EQ(document.Record(datKind::BasicBank, 0).NameField(),
              "\xB1\xCF\xC1\xAD\xB1 2m        ");
}

} // namespace
