// The differences between two documents in the user's terms, and pelham-cli diff.

#include "CloneToolProcess.h"

#include "app/indCompare.h"
#include "app/indDocumentFile.h"
#include "catalogue/cmcGTex.h"
#include "files/cmcImageDiff.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"
#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

// The new document of destination 0 (category HAM, group Initial with channels at 145 and
// 433 MHz), as it is after saving and opening again.
struct Document {
    Document() : destination(0) {
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        organisation = std::make_unique<cmcOrganisation>(image, &destination);
        organisation->Adopt();
    }
    void Reopen() {
        PrepareForSave(*organisation);
        AdoptLoadedImage(*organisation);
    }
    cmcEeprom image;
    indDestination destination;
    std::unique_ptr<cmcOrganisation> organisation;
};

using Edit = std::function<void(cmcOrganisation&)>;

void SetFrequency(cmcOrganisation& org, int slot, uint32_t hertz) {
    datCh channel = org.Record();
    channel.Load(datKind::Mch, slot);
    channel.frequency = hertz;
    channel.Store(datKind::Mch, slot);
}

// A group inserted at the given place of category 0, with its one channel.
void AddGroup(cmcOrganisation& org, int group, const char* name, uint32_t hertz) {
    ASSERT_EQ(org.InsertGroup(0, group), 1);
    datCh record = org.Record();
    record.Load(datKind::Group, group);
    record.SetName(name);
    record.Store(datKind::Group, group);
    const int slot = org.FirstChannelOfGroup(group);
    datCh channel = org.Record();
    channel.StoreDefault(datKind::Mch, slot, NewRecordBand);
    SetFrequency(org, slot, hertz);
}

// A basic-search bank AIR with one CH entry, at the given frequency (0: as made).
void AddBank(cmcOrganisation& org, uint32_t hertz) {
    ASSERT_EQ(org.InsertBank(0, false), 1);
    datCh bank = org.Record();
    bank.Load(datKind::BasicBank, 0);
    bank.SetName("AIR");
    bank.Store(datKind::BasicBank, 0);
    ASSERT_EQ(org.InsertBasicEntry(datKind::BasicCh, 0), 1);
    if (hertz == 0) return;
    datCh entry = org.Record();
    entry.Load(datKind::BasicCh, 0);
    entry.frequency = hertz;
    entry.Store(datKind::BasicCh, 0);
}

void RenameCategory(cmcOrganisation& org, int category, const char* name) {
    datCh record = org.Record();
    record.Load(datKind::Category, category);
    record.SetName(name);
    record.Store(datKind::Category, category);
}

class DiffTest : public ::testing::Test {
  protected:
    DiffTest() {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
    }
    ~DiffTest() override { cmcGTex::SetProcess(nullptr); }

    // The difference lines from a document with `before` applied to one with `after`.
    std::vector<std::string> Lines(const Edit& before, const Edit& after) {
        Document a, b;
        if (before) before(*a.organisation);
        if (after) after(*b.organisation);
        a.Reopen();
        b.Reopen();
        std::vector<std::string> lines;
        for (const clsImageDifference& d : DiffDocuments(*a.organisation, *b.organisation))
            lines.push_back(d.Text());
        return lines;
    }

    std::string WriteFile(const std::string& name, const Edit& edit) {
        Document document;
        if (edit) edit(*document.organisation);
        PrepareForSave(*document.organisation);
        const std::string path = temp.file(name);
        EXPECT_EQ(WriteDocumentFile(path, document.image), 0);
        return path;
    }

    cmcFakePlatform platform;
    cmcGTex catalogue;
    testenv::TempFolder temp;
};

// One frequency, one common setting and one inserted group: exactly those three.
const Edit ThreeChanges = [](cmcOrganisation& org) {
    SetFrequency(org, 0, 146010000);
    org.Image().SetByte(memmap::CommonSettings + memmap::common::BeepLevel, 12);
    AddGroup(org, 1, "Police", 150000000);
};
const std::vector<std::string> ThreeChangeLines = {
    "Group Police: added in category HAM at 1, with 1 channel",
    "Group Initial, channel 0-0: Frequency 145.000000 → 146.010000",
    "Common settings, Sound: Beep Level 19 → 12",
};

TEST_F(DiffTest, NamesAChannelASettingAndAGroupAsTheSheetsDo) {
    std::vector<std::string> lines = Lines(nullptr, ThreeChanges);
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> expected = ThreeChangeLines;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
}

// Each difference names the record it is about, in the document it shows in, so the plan
// of a write can count it and open its sheet.
TEST_F(DiffTest, EachDifferenceNamesItsRecord) {
    using Change = clsDiffRecord::Change;
    Document a, b;
    ThreeChanges(*b.organisation);
    b.organisation->DeleteChannel(0, 1); // the channel at 433 MHz
    a.Reopen();
    b.Reopen();
    std::vector<clsDiffRecord> records;
    std::vector<std::string> texts;
    for (const clsImageDifference& d : DiffDocuments(*a.organisation, *b.organisation)) {
        records.push_back(d.record);
        texts.push_back(d.Text());
    }
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(texts[0], "Group Initial, name 1: removed, with 1 channel");
    EXPECT_EQ(records[0], (clsDiffRecord{datKind::Name, 0})); // by its group
    EXPECT_EQ(records[1], (clsDiffRecord{datKind::Mch, 0}));  // 145 → 146.01 MHz
    EXPECT_EQ(texts[2], "Group Initial, channel 1-0: removed, 433.000000");
    EXPECT_EQ(records[2], (clsDiffRecord{datKind::Mch, 1, Change::Removed})); // in the first
    EXPECT_EQ(records[3], (clsDiffRecord{datKind::Group, 1, Change::Added}));
    EXPECT_EQ(records[4].kind, 0u);
    EXPECT_NE(records[4].logicId, 0); // the beep level's cell
}

// In Japanese every word is the Japanese sheets' own: the connecting words, the column
// headings (a joined heading before its column's) and the values the pick lists show.
TEST_F(DiffTest, TheWordsFollowTheProgramLanguage) {
    cmcGTex japanese;
    japanese.Attach(JapaneseTable());
    cmcGTex::SetProcess(&japanese);
    std::vector<std::string> lines = Lines(nullptr, [](cmcOrganisation& org) {
        ThreeChanges(org);
        datCh channel = org.Record();
        channel.Load(datKind::Mch, 0);
        channel.skip = 2; // PSKIP
        channel.dtcsPolarity = 1;
        channel.Store(datKind::Mch, 0);
    });
    const std::vector<std::string> expected = {
        "グループ Initial, CH 0-0: 周波数 145.000000 → 146.010000",
        "グループ Initial, CH 0-0: スキップ OFF → Pスキップ",
        "グループ Initial, CH 0-0: トーンスケルチ, 極性 ノーマル → リバース",
        "グループ Police: カテゴリー HAM の 1 番に追加, 1 CH",
        "共通設定, サウンド: ビープレベル 19 → 12",
    };
    EXPECT_EQ(lines, expected);
}

struct DiffCase {
    const char* name;
    Edit before;
    Edit after;
    std::vector<std::string> lines;
};

class DiffCases : public DiffTest, public ::testing::WithParamInterface<DiffCase> {};

TEST_P(DiffCases, ListsExactlyTheChange) {
    EXPECT_EQ(Lines(GetParam().before, GetParam().after), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, DiffCases,
    ::testing::Values(DiffCase{"Equal", nullptr, nullptr, {}},
                      DiffCase{"RemovedChannel",
                               nullptr,
                               [](cmcOrganisation& org) { org.DeleteChannel(0, 1); },
                               {"Group Initial, name 1: removed, with 1 channel",
                                "Group Initial, channel 1-0: removed, 433.000000"}},
                      // The channels after an inserted one are not reported as changed.
                      DiffCase{"InsertedChannel",
                               nullptr,
                               [](cmcOrganisation& org) {
                                   org.InsertChannel(0, 0);
                                   datCh channel = org.Record();
                                   channel.StoreDefault(datKind::Mch, 0, NewRecordBand);
                                   SetFrequency(org, 0, 120000000);
                               },
                               {"Group Initial, name 0: added, with 1 channel",
                                "Group Initial, channel 0-0: added, 120.000000"}},
                      // A new name text is a change of the name, not of its channels.
                      DiffCase{"RenamedName",
                               nullptr,
                               [](cmcOrganisation& org) {
                                   datCh name = org.Record();
                                   name.Load(datKind::Name, 0);
                                   name.SetName("TOWER");
                                   name.Store(datKind::Name, 0);
                               },
                               {"Group Initial, name TOWER: Name (blank) → TOWER"}},
                      DiffCase{"RenamedCategory",
                               nullptr,
                               [](cmcOrganisation& org) { RenameCategory(org, 0, "AIR"); },
                               {"Category AIR: renamed from HAM"}},
                      DiffCase{"GroupSkip",
                               nullptr,
                               [](cmcOrganisation& org) {
                                   datCh group = org.Record();
                                   group.Load(datKind::Group, 0);
                                   group.skip = 1;
                                   group.Store(datKind::Group, 0);
                               },
                               // Once for the group, not on each of its channels.
                               {"Group Initial: Skip OFF → Skip"}},
                      DiffCase{"MovedGroup",
                               [](cmcOrganisation& org) { AddGroup(org, 1, "Police", 150000000); },
                               [](cmcOrganisation& org) { AddGroup(org, 0, "Police", 150000000); },
                               // Either group could be the one that moved; the earlier one of the
                               // first document keeps its place.
                               {"Group Police: moved from 1 to 0"}},
                      DiffCase{"RemovedGroup",
                               [](cmcOrganisation& org) { AddGroup(org, 1, "Police", 150000000); },
                               nullptr,
                               {"Group Police: removed, with 1 channel"}},
                      DiffCase{
                          "BankEntry",
                          [](cmcOrganisation& org) { AddBank(org, 0); },
                          [](cmcOrganisation& org) { AddBank(org, 162550000); },
                          {"Basic search bank AIR, CH entry 0: Frequency 145.000000 → 162.550000"}},
                      DiffCase{"AddedBank",
                               nullptr,
                               [](cmcOrganisation& org) { AddBank(org, 0); },
                               {"Basic search bank AIR: added at 0"}},
                      DiffCase{"LinkEdges",
                               nullptr,
                               [](cmcOrganisation& org) {
                                   memmap::PutBit(org.Image().Data(), memmap::LinkBits + 4 * 2, 7,
                                                  true);
                               },
                               {"Program search link 2: Edge (blank) → 7"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The band memories are on no sheet: their bytes are named by address.
TEST_F(DiffTest, BytesNoSheetShowsAreNamedByAddress) {
    Document a, b;
    const int address = memmap::BandMemoryAddress(11) + 2;
    b.image.SetByte(address, a.image.GetByte(address) ^ 0x01);
    const std::vector<clsImageDifference> differences =
        DiffDocuments(*a.organisation, *b.organisation);
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].where, "Band memories");
    char what[64];
    std::snprintf(what, sizeof what, "address %d: %02X → %02X", address, a.image.GetByte(address),
                  b.image.GetByte(address));
    EXPECT_EQ(differences[0].what, what);
}

// The open document against a file, as File > Compare with... shows it.
TEST_F(DiffTest, TheDocumentIsComparedWithAFileOnACopy) {
    const std::string file = WriteFile("saved.tcf", nullptr);
    Document document;
    SetFrequency(*document.organisation, 1, 434000000);
    cmcEeprom before;
    before.Assign(document.image);
    std::vector<clsImageDifference> differences;
    ASSERT_EQ(CompareDocumentWithFile(*document.organisation, file, false, differences), 0);
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].Text(),
              "Group Initial, channel 1-0: Frequency 434.000000 → 433.000000");
    EXPECT_FALSE(document.image.IsDifferent(before));

    testenv::writeFile(temp.file("bad.tcf"), "not a clone data file\r\n");
    EXPECT_NE(
        CompareDocumentWithFile(*document.organisation, temp.file("bad.tcf"), false, differences),
        0);
    EXPECT_TRUE(differences.empty());
    EXPECT_FALSE(platform.messages.shown().empty());
}

TEST_F(DiffTest, CliPrintsTheDifferencesAndExitsOneWhenTheyDiffer) {
    const std::string a = WriteFile("a.tcf", nullptr);
    const std::string b = WriteFile("b.tcf", ThreeChanges);
    const CliRun different = RunPelhamCli("diff --destination 0 " + a + " " + b, temp);
    EXPECT_EQ(different.status, 1) << different.errors;
    std::string expected;
    for (const std::string& line : Lines(nullptr, ThreeChanges))
        expected += line + "\n";
    EXPECT_EQ(different.output, expected);
    EXPECT_EQ(different.output.find("address"), std::string::npos);

    const CliRun equal = RunPelhamCli("diff --destination 0 " + a + " " + a, temp);
    EXPECT_EQ(equal.status, 0) << equal.errors;
    EXPECT_EQ(equal.output, "");
}

TEST_F(DiffTest, CliRefusesAWrongCommandLineAndNamesAFileItCannotRead) {
    const std::string a = WriteFile("a.tcf", nullptr);
    EXPECT_EQ(RunPelhamCli("diff " + a, temp).status, 64);
    EXPECT_EQ(RunPelhamCli("diff --port /dev/null " + a + " " + a, temp).status, 64);
    testenv::writeFile(temp.file("bad.tcf"), "not a clone data file\r\n");
    const CliRun bad = RunPelhamCli("diff --destination 0 " + a + " " + temp.file("bad.tcf"), temp);
    EXPECT_NE(bad.status, 0);
    EXPECT_NE(bad.status, 1);
    EXPECT_EQ(bad.output, "");
    EXPECT_FALSE(bad.errors.empty());
}

// The receiver in place of the first file: read whole over the cable, then compared.
TEST_F(DiffTest, CliComparesTheReceiverWithAFile) {
    const std::string a = WriteFile("a.tcf", nullptr);
    const std::string b = WriteFile("b.tcf", ThreeChanges);
    SimProcess sim({"--image", a});
    const std::vector<std::string> env = {"XDG_CONFIG_HOME=" + temp.path().string()};
    const std::string cli = (testenv::binaryFolder() / "pelham-cli").string();
    const CloneToolResult same =
        RunCloneTool({cli, "diff", "--destination", "0", "--port", sim.Port(), a}, env);
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");
    const CloneToolResult different =
        RunCloneTool({cli, "diff", "--destination", "0", "--port", sim.Port(), b}, env);
    EXPECT_EQ(different.status, 1) << different.err;
    EXPECT_NE(different.out.find("Group Initial, channel 0-0: Frequency 145.000000 → 146.010000"),
              std::string::npos)
        << different.out;
}

TEST_F(DiffTest, CliReportsAReceiverThatCannotBeRead) {
    const std::string a = WriteFile("a.tcf", nullptr);
    SimProcess sim({"--fault", "no-answer"});
    const CloneToolResult result =
        RunCloneTool({(testenv::binaryFolder() / "pelham-cli").string(), "diff", "--destination",
                      "0", "--port", sim.Port(), a},
                     {"XDG_CONFIG_HOME=" + temp.path().string()});
    EXPECT_EQ(result.status, 5) << result.err;
    EXPECT_NE(result.err.find("No answer from receiver."), std::string::npos);
    EXPECT_EQ(result.out, "");
}

} // namespace
