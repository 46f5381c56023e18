#include "AppTestSupport.h"

#include "app/indDocumentFile.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcDefaultImages.h"
#include "model/indCellLogic.h"
#include "settings/indEnviron.h"
#include "sheet/cmcCellNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

using testenv::TempFolder;

const std::string FileError = "File error.\n\n";

class DocumentControllerTest : public ::testing::Test {
  protected:
    DocumentControllerTest() : program(platform, folder) {}

    indMain& main() { return program.main(); }
    // A change a cell action would make, detected as the cell logic does after it.
    void Edit(int address = 100, int value = 0x5A) {
        main().WorkingImage().SetByte(address, value);
        main().AfterCellAction();
    }
    // A saved document at the path, with one byte that marks it.
    std::string SavedFile(const std::string& name, int mark) {
        cmcEeprom image;
        image.Assign(main().NewDocumentImage());
        image.SetByte(200, mark);
        const std::string path = folder.file(name);
        EXPECT_EQ(WriteDocumentFile(path, image), 0);
        return path;
    }
    const std::vector<cmcScriptedMessageBox::Shown>& shown() { return platform.messages.shown(); }

    cmcFakePlatform platform;
    TempFolder folder;
    RunningProgram program;
};

TEST_F(DocumentControllerTest, StartsUntitledAndUnmodified) {
    EXPECT_EQ(program.window.caption, "Untitled - Pelham");
    EXPECT_EQ(main().DocumentPath(), folder.path().string() + "/Untitled");
    EXPECT_EQ(main().Modified(), 0);
    EXPECT_TRUE(main().WorkingImage().HasFormatMarker());
    EXPECT_FALSE(main().SavedImage().IsDifferent(main().WorkingImage()));
    EXPECT_TRUE(main().ControllerTaskRunning());
}

TEST_F(DocumentControllerTest, NewOnAnUnmodifiedDocumentAsksNothing) {
    main().FileNew();
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(platform.dialogs.saveRequests().empty());
    EXPECT_EQ(main().Modified(), 0);
}

TEST_F(DocumentControllerTest, TypingTheOldValueBackLeavesTheDocumentModified) {
    const int old = main().WorkingImage().GetByte(100);
    Edit(100, 0x33);
    EXPECT_EQ(main().Modified(), 1);
    Edit(100, old);
    EXPECT_FALSE(main().WorkingImage().IsDifferent(main().SavedImage()));
    EXPECT_EQ(main().Modified(), 1);
    EXPECT_EQ(program.window.caption, "Untitled - Pelham"); // the title never shows it
}

TEST_F(DocumentControllerTest, NewOnAModifiedUntitledDocumentOffersSaveAsUntitled) {
    Edit();
    platform.messages.script({answer::Yes});
    platform.dialogs.scriptSave(std::nullopt); // the user cancels the Save As dialog
    main().FileNew();

    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].text, "Save changes to Untitled?");
    EXPECT_EQ(shown()[0].caption, "Pelham");
    EXPECT_EQ(shown()[0].icon, MsgIcon::Warning);
    EXPECT_EQ(shown()[0].buttons, MsgButtons::YesNoCancel);
    ASSERT_EQ(platform.dialogs.saveRequests().size(), 1u);
    EXPECT_EQ(platform.dialogs.saveRequests()[0].fileName, "Untitled");
    EXPECT_EQ(platform.dialogs.saveRequests()[0].folder, folder.path().string());
    EXPECT_EQ(platform.dialogs.saveRequests()[0].defaultExtension, "tcf");
    // Cancelling Save As cancelled the New: the edit is still there.
    EXPECT_EQ(main().WorkingImage().GetByte(100), 0x5A);
    EXPECT_EQ(main().Modified(), 1);
}

TEST_F(DocumentControllerTest, SaveQuestionAnswers) {
    struct Case {
        int answer;
        bool saveDialogAnswered;
        bool newDocument; // the New went on
        bool fileWritten;
    } cases[] = {
        {answer::Yes, true, true, true},
        {answer::No, false, true, false},
        {answer::Cancel, false, false, false},
    };
    for (const Case& c : cases) {
        const std::string path = folder.file("answer" + std::to_string(c.answer) + ".tcf");
        Edit();
        platform.messages.script({c.answer});
        if (c.saveDialogAnswered) platform.dialogs.scriptSave(path);
        main().FileNew();
        EXPECT_EQ(main().WorkingImage().GetByte(100) != 0x5A, c.newDocument) << c.answer;
        EXPECT_EQ(main().Modified(), c.newDocument ? 0 : 1) << c.answer;
        EXPECT_EQ(std::filesystem::exists(path), c.fileWritten) << c.answer;
        if (c.newDocument) {
            EXPECT_EQ(main().FileName(), "") << c.answer;
        } else {
            main().MarkSaved(); // a clean start for the next case
        }
    }
}

TEST_F(DocumentControllerTest, OpenTakesTheFileAndItsFolder) {
    TempFolder other;
    const std::string path = (other.path() / "club.tcf").string();
    {
        cmcEeprom image;
        image.Assign(main().NewDocumentImage());
        image.SetByte(CloneCommentAddress, 'B'); // a byte that adoption keeps
        ASSERT_EQ(WriteDocumentFile(path, image), 0);
    }
    platform.dialogs.scriptOpen(path);
    EXPECT_EQ(main().FileOpen(), 0);

    EXPECT_EQ(main().WorkingImage().GetByte(CloneCommentAddress), 'B');
    EXPECT_EQ(main().Modified(), 0);
    EXPECT_EQ(main().FileName(), path);
    EXPECT_EQ(program.window.caption, "club.tcf - Pelham");
    EXPECT_EQ(main().CurrentFolder(), other.path().string());
    EXPECT_EQ(program.environ().currentDirectory, other.path().string());
    EXPECT_EQ(program.environ().recent.Entry(0), path);
    ASSERT_EQ(platform.dialogs.openRequests().size(), 1u);
    EXPECT_EQ(platform.dialogs.openRequests()[0].filter,
              "Data files (*.tcf)|*.tcf|All files (*.*)|*.*");
    EXPECT_EQ(platform.dialogs.openRequests()[0].folder, folder.path().string());
    EXPECT_EQ(platform.cursor.depth_, 0);
}

TEST_F(DocumentControllerTest, ReopeningTheOwnFileAsksTheOtherQuestion) {
    const std::string own = SavedFile("own.tcf", 1);
    const std::string other = SavedFile("other.tcf", 2);
    ASSERT_EQ(main().OpenDocument(own), 0);
    Edit();

    platform.messages.script({answer::Yes});
    platform.dialogs.scriptSave(std::nullopt);
    EXPECT_EQ(main().OpenDocument(own), 1);
    EXPECT_EQ(platform.messages.lastText(), "Save changes ?");
    ASSERT_EQ(platform.dialogs.saveRequests().size(), 1u); // Yes leads to Save As
    EXPECT_EQ(platform.dialogs.saveRequests()[0].fileName, "own.tcf");

    platform.messages.script({answer::Cancel});
    EXPECT_EQ(main().OpenDocument(other), 1);
    EXPECT_EQ(platform.messages.lastText(), "Save changes to own.tcf?");
    EXPECT_EQ(main().FileName(), own);
    EXPECT_EQ(main().Modified(), 1);
}

TEST_F(DocumentControllerTest, AFailedOpenLeavesTheDocumentAsItWas) {
    const std::string good = SavedFile("good.tcf", 1);
    ASSERT_EQ(main().OpenDocument(good), 0);
    Edit();
    const std::string text = testenv::readFile(good);

    // The marker's last character changed: the file reads well but is not ours.
    std::string wrongMarker = text;
    const size_t markerLine = wrongMarker.find("0001C83010");
    ASSERT_NE(markerLine, std::string::npos);
    ASSERT_EQ(wrongMarker.substr(markerLine + 40, 2), "33"); // the "3" of "Format3"
    wrongMarker.replace(markerLine + 40, 2, "34");
    // A line in the middle missing.
    std::string missingLine = text;
    const size_t middle = missingLine.find("\n0000100010") + 1;
    missingLine.erase(middle, missingLine.find('\n', middle) + 1 - middle);

    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"marker.tcf", wrongMarker, "Illegal data."},
        {"short.tcf", missingLine, "There is not enough data."},
        {"header.tcf", "30770001\r\n#\r\n", "Illegal data."},
    };
    for (const Case& c : cases) {
        const std::string path = folder.file(c.name);
        testenv::writeFile(path, c.bytes);
        platform.messages.script({answer::No});
        EXPECT_EQ(main().OpenDocument(path), 1) << c.name;
        EXPECT_EQ(platform.messages.lastText(), FileError + c.message) << c.name;
        EXPECT_EQ(main().FileName(), good) << c.name;
        EXPECT_EQ(program.window.caption, "good.tcf - Pelham") << c.name;
        EXPECT_EQ(main().Modified(), 1) << c.name;
        EXPECT_EQ(main().WorkingImage().GetByte(100), 0x5A) << c.name;
        EXPECT_EQ(program.environ().recent.Entry(0), good) << c.name;
    }
    EXPECT_EQ(platform.cursor.depth_, 0);
}

TEST_F(DocumentControllerTest, SavingAnUnmodifiedTitledDocumentStillWrites) {
    const std::string path = SavedFile("kept.tcf", 7);
    ASSERT_EQ(main().OpenDocument(path), 0);
    program.environ().recent.AddToFront(folder.file("newer.tcf"));
    std::filesystem::remove(path);

    EXPECT_EQ(main().FileSave(), 0);
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(platform.dialogs.saveRequests().empty());
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(program.environ().recent.Entry(0), path);

    cmcEeprom back;
    back.SetSize(ImageSize);
    EXPECT_EQ(ReadDocumentFile(path, back), 0);
    EXPECT_FALSE(back.IsDifferent(main().WorkingImage()));
}

TEST_F(DocumentControllerTest, AFailedSaveKeepsNameAndModifiedFlag) {
    const std::string path = SavedFile("name.tcf", 1);
    ASSERT_EQ(main().OpenDocument(path), 0);
    Edit();
    platform.dialogs.scriptSave(folder.file("missing/folder/x.tcf"));

    EXPECT_EQ(main().FileSaveAs(), 1);
    EXPECT_EQ(platform.messages.lastText(), FileError + "Cannot open the file.");
    EXPECT_EQ(main().FileName(), path);
    EXPECT_EQ(main().Modified(), 1);
    EXPECT_EQ(program.window.caption, "name.tcf - Pelham");
}

TEST_F(DocumentControllerTest, SaveAsOfAModifiedDocumentMakesItTitledAndSaved) {
    Edit();
    const std::string path = folder.file("mine.tcf");
    platform.dialogs.scriptSave(path);
    EXPECT_EQ(main().FileSave(), 0); // untitled: Save is Save As
    EXPECT_EQ(main().Modified(), 0);
    EXPECT_EQ(main().FileName(), path);
    EXPECT_EQ(program.window.caption, "mine.tcf - Pelham");
    // The comment line carries the image's clone comment.
    EXPECT_EQ(testenv::readFile(path).substr(0, 12), "30760001\r\n#\r");
}

TEST_F(DocumentControllerTest, DataChangedIsPostedOnceEditsSettle) {
    int posted = 0;
    cmcEvMan& events = program.process->Events();
    auto count = [](void* context, const cmcEvent& event) {
        if (event.code == ev::DataChanged) ++*static_cast<int*>(context);
    };
    events.Subscribe(count, &posted);
    Edit();
    platform.clock.advance(150);
    Edit(101); // a further edit restarts the pause
    platform.clock.advance(200);
    EXPECT_EQ(posted, 0);
    platform.clock.advance(120); // 250 ms after the last edit, one task step and one pass
    EXPECT_EQ(posted, 1);
    platform.clock.advance(1000);
    EXPECT_EQ(posted, 1);
    events.Unsubscribe(count, &posted);
}

class ClosingTest : public DocumentControllerTest {};

TEST_F(ClosingTest, CancelKeepsTheWindowAndStoresNoPlacement) {
    Edit();
    const int left = program.environ().windowLeft;
    const int splitter = program.environ().splitterV;
    platform.messages.script({answer::Cancel});
    EXPECT_FALSE(main().CloseQuery());
    EXPECT_EQ(platform.messages.lastText(), "Save changes to Untitled?");
    EXPECT_EQ(program.environ().windowLeft, left);
    EXPECT_EQ(program.environ().splitterV, splitter);
    EXPECT_TRUE(main().ControllerTaskRunning());
}

TEST_F(ClosingTest, RefusedWithoutAQuestionWhileTheWindowIsDisabled) {
    Edit();
    program.process->Events().Send(ev::CloneStarting);
    EXPECT_FALSE(program.window.enabled);
    EXPECT_FALSE(main().CloseQuery());
    EXPECT_TRUE(shown().empty());
    program.process->Events().Send(ev::CloneEnding);
    EXPECT_TRUE(program.window.enabled);
}

TEST_F(ClosingTest, StoresThePlacementAndStopsTheTask) {
    program.window.placement = {-30, 12, 700, 500};
    program.window.splitter = 180;
    ASSERT_TRUE(main().CloseQuery());
    main().WindowClosed();
    const indEnviron& env = program.environ();
    EXPECT_EQ(env.windowLeft, -30);
    EXPECT_EQ(env.windowTop, 12);
    EXPECT_EQ(env.windowWidth, 700);
    EXPECT_EQ(env.windowHeight, 500);
    EXPECT_EQ(env.splitterV, 180);
    EXPECT_FALSE(main().ControllerTaskRunning());
    EXPECT_EQ(main().MainWindow(), nullptr);
}

class ReceiverEventTest : public DocumentControllerTest {
  protected:
    void SetUp() override {
        main().SetBandLimitHook([this](int destination) { limits.push_back(destination); });
    }
    std::vector<int> limits;
};

TEST_F(ReceiverEventTest, AdoptingTheReceiverDestination) {
    struct Case {
        int received, installed;
    } cases[] = {{0, 0},  {3, 3},   {13, 13}, {6, 14},   {8, 14},
                 {9, 14}, {10, 14}, {14, 14}, {0xFF, 14}};
    for (const Case& c : cases) {
        Edit();
        main().ReceiverInformation()[indMain::InfoDestinationByte] = uint8_t(c.received);
        program.process->Events().Send(ev::AdoptDestination);
        EXPECT_EQ(program.environ().destination, c.installed) << c.received;
        EXPECT_EQ(limits.back(), c.installed) << c.received;
        EXPECT_EQ(main().Modified(), 0) << c.received;
        EXPECT_FALSE(main().WorkingImage().IsDifferent(main().NewDocumentImage()));
        // A new document for the adopted destination (image 0 for none).
        EXPECT_EQ(
            std::memcmp(main().WorkingImage().Data(), DefaultImageBytes(c.installed), MapSize), 0)
            << c.received;
    }
}

TEST_F(ReceiverEventTest, ReceiverFlagsAreTakenOnlyWhenAsked) {
    program.environ().destination = 5;
    main().ReceiverInformation()[indMain::InfoFlagsByte] = 0x02;
    program.process->Events().Send(ev::ReceiverFlags, 0, 1); // after adoption: nothing
    EXPECT_TRUE(limits.empty());
    program.process->Events().Send(ev::ReceiverFlags, 1, 0);
    EXPECT_EQ(program.environ().fccInhibit, 1);
    EXPECT_EQ(program.environ().rxExpansion, 0);
    EXPECT_EQ(limits, std::vector<int>{5});
    main().ReceiverInformation()[indMain::InfoFlagsByte] = 0x01;
    program.process->Events().Send(ev::ReceiverFlags, 1, 1);
    EXPECT_EQ(program.environ().fccInhibit, 0);
    EXPECT_EQ(program.environ().rxExpansion, 1);
}

TEST_F(ReceiverEventTest, WindowStatesFollowTheSetupAndTheCloneSession) {
    cmcEvMan& events = program.process->Events();
    program.window.visible = false; // the Initial Setup runs
    events.Send(ev::CloneStarting);
    EXPECT_TRUE(program.window.enabled);
    events.Send(ev::ClonePhaseDone, 1);
    EXPECT_FALSE(program.window.visible);
    events.Send(ev::ShowMainWindow); // the Initial Setup closed
    EXPECT_TRUE(program.window.visible);

    events.Send(ev::CloneStarting);
    EXPECT_FALSE(program.window.enabled);
    events.Send(ev::ClonePhaseDone, 0);
    EXPECT_TRUE(program.window.enabled);
}

} // namespace

namespace {

TEST_F(DocumentControllerTest, OrganisationEditsRunOnTheWorkingImage) {
    cmcOrganisation& organisation = main().Organisation();
    const int categories = organisation.CategoryCount();
    cmcEvMan::Process().Send(ev::InsertCategory, 0, categories);
    EXPECT_EQ(organisation.CategoryCount(), categories + 1);
    EXPECT_TRUE(main().WorkingImage().IsDifferent(main().SavedImage()));
    cmcEvMan::Process().Send(ev::DeleteCategories, categories, 1);
    EXPECT_EQ(organisation.CategoryCount(), categories);
}

TEST_F(DocumentControllerTest, OpeningRecountsTheOrganisationFromTheFile) {
    const int defaultChannels = main().Organisation().TotalChannels();
    const std::string path = folder.file("default.tcf");
    ASSERT_EQ(WriteDocumentFile(path, main().NewDocumentImage()), 0);
    cmcEvMan::Process().Send(ev::InsertCategory, 0, main().Organisation().CategoryCount());
    ASSERT_EQ(main().Organisation().TotalChannels(), defaultChannels + 1);
    platform.messages.script({answer::No});
    ASSERT_EQ(main().OpenDocument(path), 0);
    EXPECT_EQ(main().Organisation().TotalChannels(), defaultChannels);
}

} // namespace

namespace {

// A menu item's cell reaches the document's command through the installed cell logic,
// and the action ends with the change check.
TEST_F(DocumentControllerTest, MenuCellsRunTheDocumentCommands) {
    Edit(); // modified, untitled
    cmcCellObj item;
    item.cellType = CT_Null;
    item.logicId = CL_Menu_File_Save;
    cmcCellCapsule capsule;
    capsule.cell = &item;
    capsule.keyCode = cellKey::Enter;
    const std::string path = folder.file("saved.tcf");
    platform.dialogs.scriptSave(path);
    indActiveCell context;
    cmcCellLogic::Run(context, capsule, false);
    ASSERT_EQ(platform.dialogs.saveRequests().size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(main().Modified(), 0);
    EXPECT_EQ(program.window.caption, "saved.tcf - Pelham");
}

} // namespace

namespace {

// Names keep half-width katakana only for destination 0 on a Japanese system; the choice
// follows the destination the receiver gives (event 56).
TEST_F(DocumentControllerTest, JapaneseNamesFollowTheDestinationAndTheSystem) {
    struct Case {
        int received;
        bool japaneseSystem;
        bool japaneseNames;
    };
    for (const Case& c : {Case{0, true, true}, Case{0, false, false}, Case{1, true, false}}) {
        platform.locale.japanese_ = c.japaneseSystem;
        main().ReceiverInformation()[indMain::InfoDestinationByte] = uint8_t(c.received);
        cmcEvMan::Process().Send(ev::AdoptDestination);
        EXPECT_EQ(main().CellLogic().Document().japaneseNames, c.japaneseNames) << c.received;
    }
}

} // namespace

namespace {

std::vector<std::string> statusTexts;

void RecordStatus(void*, const cmcEvent& event) {
    if (event.code == ev::StatusText && !event.Text().empty()) statusTexts.push_back(event.Text());
}

// A file of the Japanese receiver opened for destination 1: the correction stays as it is,
// and once the window shows the document the status bar and a message box say how many
// records it changed; Yes shows them in the compare window, from the document to the file
// as it stands.
TEST_F(DocumentControllerTest, OpenTellsWhatTheCorrectionForTheDestinationChanged) {
    main().ReceiverInformation()[indMain::InfoDestinationByte] = 1;
    cmcEvMan::Process().Send(ev::AdoptDestination);
    cmcEeprom japanese;
    japanese.SetSize(ImageSize);
    FillDefaultImage(japanese, 0);
    const std::string path = folder.file("jp.tcf");
    ASSERT_EQ(WriteDocumentFile(path, japanese), 0);
    statusTexts.clear();
    cmcEvMan::Process().Subscribe(&RecordStatus, nullptr);

    platform.messages.script({answer::Yes});
    ASSERT_EQ(main().OpenDocument(path), 0);
    const int records = main().LoadCorrections().records;
    EXPECT_GT(records, 1);
    EXPECT_TRUE(shown().empty()) << "told once the window shows the document";
    platform.clock.advance(200);

    const std::string count = std::to_string(records) + " records";
    ASSERT_EQ(statusTexts.size(), 1u);
    EXPECT_EQ(statusTexts[0], "Opened, corrected for destination EUR: " + count +
                                  " changed. File > Compare With... shows them.");
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].text, "Corrected for destination EUR: " + count +
                                   " changed.\n\nShow the corrections now? File > Compare "
                                   "With... compares the document with a file at any time.");
    EXPECT_EQ(shown()[0].buttons, MsgButtons::YesNo);
    ASSERT_EQ(program.window.compared, std::vector<std::string>{main().FileName()});
    bool modeShown = false;
    for (const clsImageDifference& difference : program.window.differences)
        modeShown = modeShown || difference.what == "Mode FM → Auto";
    EXPECT_TRUE(modeShown);
    EXPECT_EQ(main().Modified(), 0);

    // File > Compare With... the same file shows the same corrections.
    platform.dialogs.scriptOpen(path);
    const std::vector<clsImageDifference> offered = program.window.differences;
    ASSERT_EQ(main().CompareWithFile(), 0);
    EXPECT_EQ(program.window.differences, offered);

    // The file saved for destination 1 opens with nothing to tell.
    const std::string saved = folder.file("eur.tcf");
    ASSERT_EQ(main().SaveDocument(saved), 0);
    ASSERT_EQ(main().OpenDocument(saved), 0);
    EXPECT_FALSE(main().LoadCorrectionsPending());
    platform.clock.advance(200);
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_EQ(statusTexts.size(), 1u);
    cmcEvMan::Process().Unsubscribe(&RecordStatus, nullptr);
}

// View > Language keeps this run's language and stores the user's choice for the next
// start, which its message says.
TEST_F(DocumentControllerTest, LanguageItemStoresTheChoiceForTheNextStart) {
    auto run = [](int language, bool enter) {
        cmcCellObj item;
        item.cellType = CT_Null;
        item.logicId = CL_Menu_View_Language;
        item.index = language;
        cmcCellCapsule capsule;
        capsule.cell = &item;
        capsule.keyCode = enter ? cellKey::Enter : 0;
        indActiveCell context;
        cmcCellLogic::Run(context, capsule, false);
        return item.Flag(0); // checked
    };
    EXPECT_TRUE(run(0, false));
    EXPECT_FALSE(run(1, false));
    run(1, true);
    EXPECT_EQ(program.environ().userLanguage, 1);
    EXPECT_EQ(program.environ().language, 0);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].text, "The language changes to 日本語 at the next start of Pelham.");
    EXPECT_TRUE(run(1, false));
    EXPECT_FALSE(run(0, false));
}

} // namespace
