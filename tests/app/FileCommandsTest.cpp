#include "AppTestSupport.h"

#include "app/indFileCommands.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "files/cmcCsvExport.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "settings/indEnviron.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

namespace {

using testenv::TempFolder;

const std::string GroupSheet = "[St_CNBank]GI_Sheet_MemoryCH,Group 0";
const std::string BanksSheet = "[St_ChNew]GI_Sheet_BasicOp,BasicOp";
const std::string TitleError = "File error.\n\nIllegal data.";

// A main window with a sheet on show.
class SheetWindow : public FakeMainWindow {
  public:
    bool CloseSheetView(std::array<int, 4>&, bool& hadFocus) override {
        hadFocus = false;
        address.clear();
        ++closed;
        return true;
    }
    bool SheetOpen() const override { return !address.empty(); }
    std::string OpenSheetAddress() const override { return address; }

    std::string address;
    int closed = 0;
};

// The document with its positions in sheet addresses taken from a table, as the tree's
// branch lists give them.
class RenumberedDocument : public indDocumentForFiles {
  public:
    using indDocumentForFiles::indDocumentForFiles;
    int PositionOf(char kind, int number) override {
        asked.push_back({kind, number});
        return number - 100;
    }
    void OpenSheet(const std::string& address) override { opened.push_back(address); }
    std::vector<std::pair<char, int>> asked;
    std::vector<std::string> opened;
};

class FileCommandsTest : public ::testing::Test {
  protected:
    FileCommandsTest() {
        main().CreateUi(window);
        window.ShowWindow();
        if (organisation().GroupCount() == 0) events().Send(ev::InsertCategory, 0, 0);
        Open(GroupSheet);
    }
    ~FileCommandsTest() override { main().WindowClosed(); }

    indMain& main() { return process->Main(); }
    cmcOrganisation& organisation() { return main().Organisation(); }
    cmcEvMan& events() { return main().Events(); }
    // The program starts with its documents and its data in the test's folder.
    std::unique_ptr<indProcess> Start() {
        platform.folders.documents_ = folder.path().string();
        platform.folders.data_ = folder.path().string();
        return std::make_unique<indProcess>();
    }
    const std::vector<cmcScriptedMessageBox::Shown>& shown() { return platform.messages.shown(); }

    void Open(const std::string& address) {
        window.address = address;
        window.closed = 0;
    }
    // Channels of group 0 with these frequencies, after the ones it has.
    void AddChannels(std::initializer_list<uint32_t> frequencies) {
        for (uint32_t frequency : frequencies) {
            const int slot = organisation().LastChannelOfGroup(0) + 1;
            events().Send(ev::InsertChannel, 0, slot);
            datCh record = organisation().Record();
            record.Load(datKind::Mch, slot);
            record.frequency = frequency;
            record.StoreAndReload();
        }
    }
    std::string ExportedGroup() {
        return CsvExportText(organisation(), csvkind::Mch, 0, clsCsvWriteOptions{});
    }
    std::vector<uint8_t> Image() {
        const cmcEeprom& image = main().WorkingImage();
        std::vector<uint8_t> bytes(MapSize);
        for (int a = 0; a < MapSize; ++a)
            bytes[a] = image.GetByte(a);
        return bytes;
    }
    std::string WritePreset(const std::string& name, const std::string& chHeader) {
        const std::string folderPath = folder.file("presets/English");
        std::filesystem::create_directories(folderPath);
        const std::string path = folderPath + "/" + name + ".sch";
        std::string text = "[Type]\r\nAPP=Pelham\r\nDATA=Basic Search ENG\r\nDATAVER=1.00-00\r\n"
                           "COUNTRYNAME=" +
                           name + "\r\n";
        for (int c = 0; c < 2; ++c)
            text += "[CATEGORY" + std::to_string(c) + "]\r\nCATEGORYNAME=" + name + " " +
                    std::to_string(c) + "\r\nICON=RADIO\r\nCSV\r\nDATA=CH Search\r\n" + chHeader +
                    "\r\n0000,AB,40" + std::to_string(c) + ".000000,FM\r\n";
        testenv::writeFile(path, text);
        return path;
    }

    cmcFakePlatform platform;
    TempFolder folder;
    std::unique_ptr<indProcess> process = Start();
    SheetWindow window;
    indDocumentForFiles document{main()};
    indFileCommands commands{document};
};

TEST_F(FileCommandsTest, TheOpenSheetDecidesWhichCommandsAreOffered) {
    struct Case {
        std::string address;
        bool add, overwrite, exports;
    } cases[] = {
        {GroupSheet, true, true, true},
        {"[St_ChNew]GI_Sheet_BankOp,Category 0", true, true, true},
        {"[St_ChNew]GI_Sheet_CategoryOp,CategoryOp", true, false, false},
        {"[St_ColCut]GI_Sheet_ScanEdge,ScanEdge", false, true, true},
        {"[St_ColCut]GI_Sheet_AutoMWCH,AutoMWCH", false, false, true},
        {"[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH 0", false, false, false},
        {BanksSheet, false, false, false},
        {"[St_ColCut]GI_Sheet_ScanLink,ScanLink 0", false, false, false},
        {"[St_Common]GI_Sheet_Common,", false, false, false},
        {"GI_Sheet_TopPage", false, false, false},
        {"", false, false, false},                                        // no sheet open
        {"[St_CNBank]GI_Sheet_MemoryCH,Group 1599", false, false, false}, // no such group
        {"[St_CNBank]GI_Sheet_MemoryCH,Group", false, false, false},
        {"[St_CNBank]GI_Sheet_MemoryCH,Group x", false, false, false},
    };
    for (const Case& c : cases) {
        Open(c.address);
        EXPECT_EQ(commands.CanImport(false), c.add) << c.address;
        EXPECT_EQ(commands.CanImport(true), c.overwrite) << c.address;
        EXPECT_EQ(commands.CanExport(), c.exports) << c.address;
    }

    // The number in an address is the tree's branch number, not always the position.
    RenumberedDocument renumbered(main());
    indFileCommands onRenumbered(renumbered);
    Open("[St_CNBank]GI_Sheet_MemoryCH,Group 100");
    EXPECT_TRUE(onRenumbered.CanExport());
    Open("[St_ChNew]GI_Sheet_BankOp,Category 101");
    EXPECT_FALSE(onRenumbered.CanExport()) << "position 1 names no category";
    EXPECT_EQ(renumbered.asked, (std::vector<std::pair<char, int>>{{'G', 100}, {'C', 101}}));
}

TEST_F(FileCommandsTest, ExportThenOverwriteImportBringsTheGroupBack) {
    AddChannels({145500000, 433000000, 162550000});
    const std::string original = ExportedGroup();
    const std::string csv = folder.file("csv/group.csv");
    std::filesystem::create_directories(folder.file("csv"));

    platform.dialogs.scriptSave(csv);
    commands.Export();
    ASSERT_EQ(platform.dialogs.saveRequests().size(), 1u);
    const cmcFileDialogRequest& request = platform.dialogs.saveRequests()[0];
    EXPECT_EQ(request.defaultExtension, "csv");
    EXPECT_EQ(request.filter, "CSV files (*.csv)|*.csv|All files (*.*)|*.*");
    EXPECT_EQ(request.fileName, "");
    EXPECT_EQ(request.folder, folder.path().string());
    EXPECT_EQ(testenv::readFile(csv), original);
    EXPECT_EQ(main().Settings().currentDirectory, folder.file("csv"));
    EXPECT_EQ(window.closed, 0) << "an export leaves the sheet alone";

    AddChannels({446006250});
    ASSERT_NE(ExportedGroup(), original);
    platform.dialogs.scriptOpen(csv);
    platform.messages.script({answer::Ok});
    commands.Import(true);
    ASSERT_EQ(shown().size(), 1u) << "the question only: nothing discarded or corrected";
    EXPECT_EQ(shown()[0].text,
              "Import from the file.\t\nCurrent sheet will be cleared.\nAre you sure?");
    EXPECT_EQ(ExportedGroup(), original);

    // The sheet closes; the controller opens it again, built anew.
    EXPECT_EQ(window.closed, 1);
    ASSERT_FALSE(main().SheetHistory().empty());
    EXPECT_EQ(main().SheetHistory().front().address, GroupSheet);
}

TEST_F(FileCommandsTest, AfterAnImportTheSheetOpensUnderTheNumberItsListNowHas) {
    const std::string csv = folder.file("one.csv");
    testenv::writeFile(csv, "CH No,Frequency\r\n0000,430.000000\r\n");
    RenumberedDocument renumbered(main());
    indFileCommands onRenumbered(renumbered);
    Open("[St_CNBank]GI_Sheet_MemoryCH,Group 100");
    platform.dialogs.scriptOpen(csv);
    onRenumbered.Import(false);
    EXPECT_EQ(renumbered.opened, std::vector<std::string>{GroupSheet});
    EXPECT_EQ(window.closed, 0);
}

TEST_F(FileCommandsTest, AFileThatIsRefusedLeavesTheDocumentAsItWas) {
    AddChannels({145500000});
    main().Settings().currentDirectory = "/before";
    const std::vector<uint8_t> before = Image();
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"no-frequency.csv", "CH No,Name\r\n0000,145.500000\r\n"},
        {"empty.csv", ""},
        {"no-number.csv", "Frequency,Mode\r\n145.500000,FM\r\n"},
        {"binary.csv", std::string("\0\x01\x02\xff", 4)},
    };
    for (const Case& c : cases) {
        for (bool overwrite : {false, true}) {
            platform.messages.clear();
            const std::string path = folder.file(c.name);
            testenv::writeFile(path, c.text);
            platform.dialogs.scriptOpen(path);
            if (overwrite) platform.messages.script({answer::Ok});
            commands.Import(overwrite);
            ASSERT_FALSE(shown().empty()) << c.name;
            EXPECT_EQ(shown().back().text, TitleError) << c.name;
            EXPECT_EQ(Image(), before) << c.name << overwrite;
        }
    }
    EXPECT_EQ(window.closed, 0);
    EXPECT_EQ(main().Settings().currentDirectory, "/before");
}

TEST_F(FileCommandsTest, CancellingTheDialogOrTheQuestionChangesNothing) {
    AddChannels({145500000});
    const std::string csv = folder.file("g.csv");
    testenv::writeFile(csv, "CH No,Frequency\r\n0000,430.000000\r\n");
    const std::vector<uint8_t> before = Image();

    platform.dialogs.scriptSave(std::nullopt);
    commands.Export();
    platform.dialogs.scriptOpen(std::nullopt);
    commands.Import(false);
    platform.dialogs.scriptOpen(std::nullopt);
    commands.Import(true);
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(platform.dialogs.openRequests().size(), 2u);

    platform.dialogs.scriptOpen(csv);
    platform.messages.script({answer::Cancel});
    commands.Import(true);
    EXPECT_EQ(shown().size(), 1u) << "the question, then nothing";

    EXPECT_EQ(Image(), before);
    EXPECT_EQ(window.closed, 0);
    const std::filesystem::directory_iterator files(folder.path());
    EXPECT_EQ(std::distance(begin(files), end(files)), 1) << "no file was written";
}

TEST_F(FileCommandsTest, PresetAddsTheChosenCategoryAsABank) {
    WritePreset("Alpha", "CH No,Name,Frequency,Mode");
    WritePreset("Beta", "CH No,Name,Frequency,Mode");
    EXPECT_FALSE(commands.CanPreset()) << "no dialog to choose with";

    std::vector<indPresetRequest> requests;
    std::optional<indPresetChoice> answer = indPresetChoice{1, {1}, false};
    commands.SetPresetDialog([&](const indPresetRequest& request) {
        requests.push_back(request);
        return answer;
    });
    ASSERT_TRUE(commands.CanPreset());
    Open(BanksSheet);
    const int banks = organisation().BankCount();
    commands.Preset();

    ASSERT_EQ(requests.size(), 1u);
    ASSERT_EQ(requests[0].sources.size(), 2u);
    EXPECT_EQ(requests[0].sources[1].name, "Beta");
    EXPECT_EQ(requests[0].sources[1].categories, (std::vector<std::string>{"Beta 0", "Beta 1"}));
    EXPECT_FALSE(requests[0].oneBank);
    EXPECT_FALSE(requests[0].banksFull);
    EXPECT_TRUE(shown().empty());
    ASSERT_EQ(organisation().BankCount(), banks + 1);
    datCh bank = organisation().Record();
    bank.Load(datKind::BasicBank, banks);
    EXPECT_EQ(bank.NameField(), "Beta 1          ");
    datCh entry = organisation().Record();
    entry.Load(datKind::BasicCh, banks * 100);
    EXPECT_EQ(entry.frequency, 401000000u);
    EXPECT_EQ(window.closed, 1);

    // On one bank's list the dialog offers to replace that bank.
    Open("[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH " + std::to_string(banks));
    answer = std::nullopt;
    commands.Preset();
    EXPECT_TRUE(requests.back().oneBank);
}

TEST_F(FileCommandsTest, PresetClosedOrWithABrokenListChangesNothing) {
    WritePreset("Broken", "CH No,Name,Mode"); // no frequency column
    std::optional<indPresetChoice> answer;
    commands.SetPresetDialog([&](const indPresetRequest&) { return answer; });
    Open(BanksSheet);
    events().Send(ev::InsertBank, 1, 0); // a bank with one program-search entry
    ASSERT_EQ(organisation().BankCount(), 1);
    const std::vector<uint8_t> before = Image();

    commands.Preset(); // Escape or the close button: no import, no message
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(Image(), before);
    EXPECT_EQ(window.closed, 0);

    answer = indPresetChoice{0, {}, false}; // Add with no category checked
    commands.Preset();
    EXPECT_EQ(platform.messages.lastText(), "No channel data was found.");
    EXPECT_EQ(window.closed, 0);

    answer = indPresetChoice{0, {0, 1}, true};
    commands.Preset();
    EXPECT_EQ(platform.messages.lastText(), TitleError);
    EXPECT_EQ(Image(), before);
    EXPECT_EQ(organisation().BankCount(), 1);
}

} // namespace
