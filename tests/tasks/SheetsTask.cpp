// Edits on every kind of sheet land in the record of that sheet; a group built by typing,
// renamed, edited and taken back; channels copied between groups; lists exported, changed
// and imported; find and compare. Judged by the saved file through the core.

#include "TaskWindow.h"

#include "app/indDocumentFile.h"
#include "app/indUndoCommands.h"
#include "app/view/cuiCompareWindow.h"
#include "app/view/cuiFindBar.h"
#include "app/view/cuiPresetDialog.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiTree.h"
#include "support/TestEnvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

#include <fstream>
#include <sstream>

namespace {

class SheetsTask : public TaskWindow {
  protected:
    std::string GroupAddress(int position) {
        return "[St_CNBank]GI_Sheet_MemoryCH,Group " +
               std::to_string(form->Tree()->Groups().at(size_t(position)));
    }
    std::string CategoryAddress(int position) {
        return "[St_ChNew]GI_Sheet_BankOp,Category " +
               std::to_string(form->Tree()->Categories().at(size_t(position)));
    }
    std::string BankAddress(const char* kind, int position) {
        return std::string("[St_ChNew]GI_Sheet_Basic") + kind + "Srch,Basic" +
               (kind[0] == 'C' ? "CH " : "PG ") +
               std::to_string(form->Tree()->Banks().at(size_t(position)));
    }

    // The channels of a group in a saved image: "frequency in Hz, name" each.
    std::vector<std::string> ChannelsIn(cmcEeprom& saved, int group) {
        cmcOrganisation org(saved, &Main().Organisation().Destination());
        org.Adopt();
        std::vector<std::string> channels;
        if (group >= org.GroupCount()) return channels;
        for (int slot = org.FirstChannelOfGroup(group); slot <= org.LastChannelOfGroup(group);
             ++slot) {
            datCh channel = org.Record();
            channel.Load(datKind::Mch, slot);
            datCh name = org.Record();
            name.Load(datKind::Name, int(channel.nameIndex));
            std::string text = name.NameField();
            text.erase(text.find_last_not_of(' ') + 1);
            channels.push_back(std::to_string(channel.frequency) + " " + text);
        }
        return channels;
    }
    std::vector<std::string> SavedChannels(int group) {
        cmcEeprom saved;
        SavedImage(saved);
        return ChannelsIn(saved, group);
    }

    // Adds channels on a group's New row: frequency, then name.
    void AddChannels(const std::vector<std::pair<std::string, std::string>>& channels) {
        for (const auto& [frequency, name] : channels) {
            const int row = Sheet().Grid().Rows() - 1;
            TypeInCell(row, CL_Mch_Freq, frequency);
            if (!name.empty()) TypeInCell(row, CL_Mch_Name_Name, name);
        }
    }
    // A new group typed on the New row of the first category's group list; its position.
    int NewGroup(const std::string& name) {
        OpenAddress(CategoryAddress(0));
        const int groups = Main().Organisation().GroupsOfCategory(0);
        TypeInCell(Row(groups), CL_GroupOP_Name, name);
        EXPECT_EQ(Main().Organisation().GroupsOfCategory(0), groups + 1) << name;
        return groups;
    }
};

using Channels = std::vector<std::string>;

// One edit on each list sheet and on the common settings: each lands in its own record.
TEST_F(SheetsTask, EverySheetKindEditsItsOwnRecord) {
    // The receiver wrote an auto-write channel: a file read from it holds one.
    {
        cmcEeprom image;
        image.Assign(Main().Organisation().Image());
        cmcOrganisation org(image, &Main().Organisation().Destination());
        org.Adopt();
        datCh written = org.Record();
        written.Load(datKind::AutoMWCH, 0);
        written.SetInUse(true);
        written.frequency = 162400000;
        written.Store(datKind::AutoMWCH, 0);
        image.Data()[memmap::AutoWriteOrder + memmap::AutoWriteChannels - 1] = 0; // the newest
        ASSERT_EQ(WriteDocumentFile(folder + "/autowrite.tcf", image), 0);
    }
    platform.dialogs.scriptOpen(folder + "/autowrite.tcf");
    Menu("File/Open...");
    before.Assign(Main().Organisation().Image());

    OpenNode("Memory CH");
    TypeInCell(Row(0), CL_CategoryOP_Name, "CAT A");
    OpenAddress(CategoryAddress(0));
    TypeInCell(Row(0), CL_GroupOP_Name, "GRP A");
    OpenAddress(GroupAddress(0));
    TypeInCell(Row(0), CL_Mch_Freq, "146.52");
    OpenNode("Program Search");
    TypeInCell(Row(4), CL_PgSrch_Freq_Low, "118");
    TypeInCell(Row(4), CL_PgSrch_Freq_High, "137");
    TypeInCell(Row(4), CL_PgSrch_Name, "AIRBAND");
    OpenNode("Program Search Link");
    TypeInCell(Row(6), CL_PgLink_Name, "LINK SIX");
    // Auto-write channels are the receiver's: copied from, not edited.
    OpenNode("Auto Write CH");
    TypeInCell(Row(0), CL_AutoMWCH_Freq, "162.55");
    EXPECT_EQ(Shown(Row(0), CL_AutoMWCH_Freq), "162.400000");
    ASSERT_TRUE(Click(Row(0), CL_AutoMWCH_Freq));
    Key(Qt::Key_C, Qt::ControlModifier);
    OpenAddress(GroupAddress(0));
    ASSERT_TRUE(Click(Row(1), CL_Mch_Freq));
    platform.messages.script({answer::Ok});
    Key(Qt::Key_V, Qt::ControlModifier);
    Settle();
    OpenNode("Common Setting");
    TypeInCell(RowOf(CL_Common_CLONE_COMMENT), CL_Common_CLONE_COMMENT, "MY RADIO");
    EXPECT_EQ(SavedChanges(), (Channels{
                                  "Category CAT A: renamed from HAM",
                                  "Group GRP A: renamed from Initial",
                                  "Group GRP A, channel 0-0: Frequency 145.000000 → 146.520000",
                                  "Group GRP A, channel 1-0: Frequency 433.000000 → 162.400000",
                                  "Group GRP A, channel 1-0: Frequency, Offset 5.000000 → 0.000000",
                                  "Program search edge 4: Name (blank) → AIRBAND",
                                  "Program search edge 4: Freq Low (blank) → 118.000000",
                                  "Program search edge 4: Freq High (blank) → 137.000000",
                                  "Program search edge 4: TS (blank) → -",
                                  "Program search edge 4: Mode (blank) → -",
                                  "Program search edge 4: ATT (blank) → -",
                                  "Program search link 6: Link Name P-LINK No.6 → LINK SIX",
                                  "Common settings, Clone: Comment (blank) → MY RADIO",
                              }));

    // A bank, then its two entry lists.
    OpenNode("Basic Search");
    TypeInCell(Row(Main().Organisation().BankCount()), CL_BasicOp_Name, "BANK ONE");
    ASSERT_EQ(Main().Organisation().BankCount(), 1);
    before.Assign(Main().Organisation().Image());
    OpenAddress(BankAddress("CH", 0));
    TypeInCell(Row(0), CL_Basic_ChSrch_Freq, "121.5");
    OpenAddress(BankAddress("PG", 0));
    TypeInCell(Row(0), CL_Basic_PgSrch_Freq_Low, "108");
    EXPECT_EQ(SavedChanges(),
              (Channels{"Basic search bank BANK ONE, CH entry 0: added, 121.500000",
                        "Basic search bank BANK ONE, program entry 0: Freq Low 145.000000 → "
                        "108.000000"}));
}

// A bank deleted from the middle leaves the tree's numbers behind the banks' places; an
// edit undone there must bring back the sheet of the same bank, and the next edit must land
// in it (found by the soak: it landed in a bank after the last one).
TEST_F(SheetsTask, AnUndoneEditReopensTheSameBankAfterADeletedOne) {
    cmcOrganisation& org = Main().Organisation();
    OpenNode("Basic Search");
    for (const char* name : {"BANK A", "BANK B", "BANK C"})
        TypeInCell(Row(org.BankCount()), CL_BasicOp_Name, name);
    ASSERT_EQ(org.BankCount(), 3);
    ASSERT_TRUE(Click(Row(1), CL_BasicOp_Name));
    platform.messages.script({answer::Ok}); // "Deleting. ... Are you sure?"
    Menu("Edit/Delete");
    ASSERT_EQ(org.BankCount(), 2);

    const std::string bankC = BankAddress("CH", 1);
    OpenAddress(bankC);
    TypeInCell(Row(0), CL_Basic_ChSrch_Freq, "121.5");
    ASSERT_EQ(org.BankChCount(1), 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(org.BankChCount(1), 0);
    EXPECT_EQ(form->OpenSheetAddress(), BankAddress("CH", 1)) << "the sheet of bank C again";
    ASSERT_NE(form->Tree()->currentItem(), nullptr);
    EXPECT_EQ(form->Tree()->AddressOf(form->Tree()->currentItem()), form->OpenSheetAddress());

    TypeInCell(Row(0), CL_Basic_ChSrch_Freq, "123.45");
    EXPECT_EQ(org.BankCount(), 2);
    EXPECT_EQ(org.BankChCount(1), 1) << "the edit lands in bank C";
    EXPECT_EQ(DocumentFault(), "");
}

// Three channels copied from one group onto the used rows of another (they bring their
// values, the rows keep their names), and two rows of a spreadsheet pasted on its New row.
TEST_F(SheetsTask, CopyChannelsToAnotherGroupAndPasteSpreadsheetRows) {
    const int from = NewGroup("FROM"), to = NewGroup("TO");
    OpenAddress(GroupAddress(from));
    AddChannels({{"146.1", "ONE"}, {"146.2", ""}, {"146.3", "THREE"}});
    OpenAddress(GroupAddress(to));
    AddChannels({{"440", "A"}, {"441", "B"}, {"442", "C"}, {"443", "D"}});

    OpenAddress(GroupAddress(from));
    ASSERT_TRUE(Click(Row(1), CL_Mch_Freq));
    ASSERT_TRUE(Click(Row(3), CL_Mch_Freq, Qt::ShiftModifier));
    Key(Qt::Key_C, Qt::ControlModifier);
    OpenAddress(GroupAddress(to));
    ASSERT_TRUE(Click(Row(2), CL_Mch_Freq));
    platform.messages.script({answer::Ok});
    Key(Qt::Key_V, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(platform.messages.lastText(), "Overwriting. Are you sure?");
    const Channels pasted = {"145000000 ", "440000000 A", "146100000 B", "146200000 C",
                             "146300000 D"};
    EXPECT_EQ(SavedChannels(to), pasted);
    EXPECT_EQ(SavedChannels(from),
              (Channels{"145000000 ", "146100000 ONE", "146200000 ", "146300000 THREE"}));

    // A spreadsheet's rows, with their heading, on the New row.
    ASSERT_TRUE(Click(Row(Main().Organisation().ChannelsOfGroup(to)), CL_Mch_Freq));
    CopyElsewhere("CH No\tFrequency\tName Name\tMode\r\n0\t162.55\tWX ONE\tFM\r\n"
                  "1\t118.1\tTOWER\tAM\r\n");
    Key(Qt::Key_V, Qt::ControlModifier);
    Settle();
    Channels added = pasted;
    added.insert(added.end(), {"162550000 WX ONE", "118100000 TOWER"});
    EXPECT_EQ(SavedChannels(to), added);
    EXPECT_EQ(DocumentFault(), "");
}

// A group exported to CSV, the file changed as in an editor, imported by Add into another
// group and by Overwrite into the first. Overwrite keeps the document as a load would have
// it: what it frees holds nothing of the old channels.
TEST_F(SheetsTask, ExportChangeAndImportAGroup) {
    const int exported = NewGroup("EXPORTED"), added = NewGroup("ADDED");
    OpenAddress(GroupAddress(added));
    AddChannels({{"433.5", "KEEP"}});
    OpenAddress(GroupAddress(exported));
    AddChannels({{"146.1", "ONE"}, {"146.2", "TWO"}});
    const std::string csv = folder + "/group.csv";
    platform.dialogs.scriptSave(csv);
    Menu("File/Export...");
    std::ifstream in(csv, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    in.close();
    ASSERT_EQ(lines.size(), 4u);
    ASSERT_NE(lines[3].find(",TWO,,OFF,146.200000,"), std::string::npos) << lines[3];
    // Edited: the second channel moves and is renamed, the initial channel goes, a channel
    // with a name of its own is added.
    lines[3].replace(lines[3].find(",TWO,,OFF,146.200000,"), 21, ",TWO B,,OFF,146.250000,");
    lines.erase(lines.begin() + 1);
    std::vector<std::string> fields;
    std::stringstream split(lines[2]);
    for (std::string field; std::getline(split, field, ',');)
        fields.push_back(field);
    fields[0] = "0003", fields[11] = "3", fields[12] = "NEW", fields[15] = "147.000000";
    std::string row;
    for (const std::string& field : fields)
        row += (row.empty() ? "" : ",") + field;
    lines.push_back(row);
    std::ofstream out(csv, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        out << line << "\r\n";
    out.close();

    OpenAddress(GroupAddress(added));
    platform.dialogs.scriptOpen(csv);
    platform.messages.script({answer::Ok});
    Menu("File/Import/Add...");
    EXPECT_EQ(SavedChannels(added), (Channels{"145000000 ", "433500000 KEEP", "146100000 ONE",
                                              "146250000 TWO B", "147000000 NEW"}));
    OpenAddress(GroupAddress(exported));
    platform.dialogs.scriptOpen(csv);
    platform.messages.script({answer::Ok});
    Menu("File/Import/Overwrite...");
    EXPECT_EQ(SavedChannels(exported),
              (Channels{"146100000 ONE", "146250000 TWO B", "147000000 NEW"}));
    EXPECT_EQ(DocumentFault(), "");
}

// The preset basic searches the program ships: the first country's categories added as
// banks through the dialog, with Enter on its list (Add, every category).
TEST_F(SheetsTask, PresetImportAddsTheCountrysBanks) {
    platform.folders.data_ = (testenv::dataFolder() / ".." / ".." / "data").string();
    OpenNode("Basic Search");
    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<cuiPresetDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->Sources()->setFocus();
        QTest::keyClick(dialog->Sources(), Qt::Key_Return);
    });
    Menu("Option/Preset Basic Search");
    EXPECT_EQ(SavedChanges(), (Channels{"Basic search bank PMR446: added at 0",
                                        "Basic search bank LPD433: added at 1",
                                        "Basic search bank CB 27MHz: added at 2",
                                        "Basic search bank Amateur 2m: added at 3",
                                        "Basic search bank Amateur 70cm: added at 4",
                                        "Basic search bank Broadcast FM: added at 5"}));
    // The first bank holds the sixteen PMR446 channels of the file.
    cmcEeprom saved;
    SavedImage(saved);
    cmcOrganisation org(saved, &Main().Organisation().Destination());
    org.Adopt();
    EXPECT_EQ(org.BankChCount(0), 16);
    datCh entry = org.Record();
    entry.Load(datKind::BasicCh, 0);
    EXPECT_EQ(entry.frequency, 446006250u);
    EXPECT_EQ(DocumentFault(), "");
}

// Find steps through the matches on several sheets; compare lists what differs from a
// file.
TEST_F(SheetsTask, FindAndCompareWithAFile) {
    const int group = NewGroup("FIND ME");
    OpenAddress(GroupAddress(group));
    AddChannels({{"147.125", "LOCAL"}});
    OpenNode("Program Search");
    TypeInCell(Row(5), CL_PgSrch_Freq_Low, "147.125");
    const std::string file = folder + "/compared.tcf";
    platform.dialogs.scriptSave(file);
    Menu("File/Save As...");

    OpenAddress(GroupAddress(0));
    Key(Qt::Key_F, Qt::ControlModifier);
    cuiFindBar& bar = *form->FindBar();
    ASSERT_TRUE(bar.Field()->hasFocus());
    Type("147.125");
    std::vector<std::string> visits;
    for (int step = 0; step < 4; ++step) {
        Key(Qt::Key_Return);
        visits.push_back(bar.State()->text().toStdString() + " " + form->OpenSheetAddress());
    }
    const std::string edges = "[St_ColCut]GI_Sheet_ScanEdge,ScanEdge";
    EXPECT_EQ(visits,
              (std::vector<std::string>{"1 of 3 " + GroupAddress(group), "2 of 3 " + edges,
                                        "3 of 3 " + edges, "1 of 3 " + GroupAddress(group)}));
    EXPECT_EQ(Sheet().CellAt(Sheet().CurrentColumn(), Sheet().CurrentRow()).logicId, CL_Mch_Freq);
    Key(Qt::Key_Escape);

    OpenAddress(GroupAddress(group));
    TypeInCell(Row(1), CL_Mch_Name_Name, "CHANGED");
    platform.dialogs.scriptOpen(file);
    Menu("File/Compare With...");
    cuiCompareWindow* compare = nullptr;
    for (QWidget* child : form->findChildren<QWidget*>())
        if (auto* window = dynamic_cast<cuiCompareWindow*>(child)) compare = window;
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->Summary()->text().toStdString(),
              "Differences from the document to " + file + ": 1");
    EXPECT_EQ(compare->List()->toPlainText().toStdString(),
              "Group FIND ME, name LOCAL: Name CHANGED → LOCAL");
}

// The captions a user reads and the compare's words, in each language.
struct clsWords {
    const char* memory;
    const char* insert;
    const char* remove;
    const char* categoryRenamed;
    const char* groupAdded;
};
const clsWords Words[] = {
    {"Memory CH", "Edit/Insert", "Edit/Delete", "Category LOCAL: renamed from HAM",
     "Group RELAYS: added in category LOCAL at 1, with 4 channels"},
    {"メモリーCH", "編集/挿入", "編集/削除", "カテゴリー LOCAL: HAM から名前を変更",
     "グループ RELAYS: カテゴリー LOCAL の 1 番に追加, 4 CH"}};

class GroupTask : public SheetsTask, public ::testing::WithParamInterface<int> {
  protected:
    GroupTask() { language = GetParam(); }
    const clsWords& Say() { return Words[GetParam()]; }
};

// A new group typed in the group list, filled by typing in its New row with a pick-list
// choice, group and category renamed, a channel inserted and one deleted, undo and redo.
TEST_P(GroupTask, BuildAGroupByTyping) {
    const int group = NewGroup("REPEATERS");
    OpenAddress(GroupAddress(group));
    AddChannels({{"145.5", "RPT A"}, {"145.6", "RPT B"}, {"145.7", ""}});
    Choose(Row(1), CL_Mch_Mode, "AM");

    OpenAddress(CategoryAddress(0));
    TypeInCell(Row(group), CL_GroupOP_Name, "RELAYS");
    OpenNode(Say().memory);
    TypeInCell(Row(0), CL_CategoryOP_Name, "LOCAL");
    EXPECT_EQ(form->Tree()->topLevelItem(0)->child(0)->child(0)->text(0).toStdString(), "LOCAL");

    // A channel inserted into the name RPT B, the last channel deleted.
    OpenAddress(GroupAddress(group));
    ASSERT_TRUE(Click(Row(2), CL_Mch_Freq));
    Menu(Say().insert);
    ASSERT_TRUE(Click(Row(4), CL_Mch_Freq));
    platform.messages.script({answer::Ok});
    Menu(Say().remove);
    cmcEeprom saved;
    SavedImage(saved);
    EXPECT_EQ(ChannelsIn(saved, group),
              (Channels{"145000000 ", "145500000 RPT A", "145000000 RPT B", "145600000 RPT B"}));
    {
        cmcOrganisation org(saved, &Main().Organisation().Destination());
        org.Adopt();
        datCh second = org.Record();
        second.Load(datKind::Mch, org.FirstChannelOfGroup(group) + 1);
        EXPECT_EQ(values::ModeNames.at(second.mode), "AM");
    }
    EXPECT_EQ(SavedChanges(), (Channels{Say().categoryRenamed, Say().groupAdded}));

    // Undo the delete and the insert, redo the insert.
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(SavedChannels(group), (Channels{"145000000 ", "145500000 RPT A", "145000000 RPT B",
                                              "145600000 RPT B", "145700000 "}));
    // Undo of every step gives the document as it began.
    while (Main().UndoCommands().CanUndo())
        Key(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(SavedChanges(), Channels{});
}

INSTANTIATE_TEST_SUITE_P(Languages, GroupTask, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Japanese" : "English"; });

} // namespace
