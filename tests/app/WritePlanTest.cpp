// The plan of a Clone Write: what the receiver holds against what is sent, the records the
// region rules reset first, the summary, and where each line is seen.

#include "app/indWritePlan.h"
#include "catalogue/cmcGTex.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

namespace {

// Destination 1 restricts 146.005 to 429.999 MHz. The receiver holds the new document;
// the document changes one channel within the rules, puts another at 300 MHz and changes
// a setting.
class WritePlanTest : public ::testing::Test {
  protected:
    WritePlanTest() : destination(1) {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
        receiver.SetSize(ImageSize);
        FillDefaultImage(receiver, 1);
        Prepare(receiver);
        document.Assign(receiver);
    }
    ~WritePlanTest() override { cmcGTex::SetProcess(nullptr); }

    void Prepare(cmcEeprom& image) {
        cmcOrganisation organisation(image, &destination);
        AdoptLoadedImage(organisation);
        PrepareForSave(organisation);
    }
    void SetFrequency(int slot, uint32_t hertz) {
        cmcOrganisation organisation(document, &destination);
        organisation.Adopt();
        datCh channel = organisation.Record();
        channel.Load(datKind::Mch, slot);
        channel.frequency = hertz;
        channel.Store(datKind::Mch, slot);
    }
    // The copy that is written, as Clone Write makes it.
    clsWritePlan Plan(bool read = true) {
        Prepare(document);
        sent.Assign(document);
        cmcOrganisation organisation(sent, &destination);
        organisation.RecountOrganisation();
        clsWritePlanInput input;
        input.receiver = read ? &receiver : nullptr;
        input.document = &document;
        input.sent = &sent;
        input.replaced = ReplaceDisallowedRecords(organisation);
        input.destination = &destination;
        return BuildWritePlan(input);
    }
    static std::vector<std::string> Lines(const clsWritePlan& plan) {
        std::vector<std::string> lines;
        for (const clsPlanSection& section : plan.sections)
            for (const clsPlanLine& line : section.lines)
                lines.push_back(line.text);
        return lines;
    }

    cmcFakePlatform platform;
    cmcGTex catalogue;
    indDestination destination;
    cmcEeprom receiver, document, sent;
};

TEST_F(WritePlanTest, ResetsComeFirstThenTheChangesSheetBySheet) {
    SetFrequency(0, 300000000);
    SetFrequency(1, 145500000);
    document.SetByte(memmap::CommonSettings + memmap::common::BeepLevel, 12);
    const clsWritePlan plan = Plan();

    EXPECT_TRUE(plan.compared);
    EXPECT_TRUE(plan.receiverChanges);
    EXPECT_EQ(plan.resets, 1);
    EXPECT_EQ(plan.channelsChanged, 1);
    EXPECT_EQ(plan.otherChanges, 1);
    EXPECT_EQ(plan.Summary(),
              "1 channel changed, 1 reset by the receiver's region rules, 1 other change.");
    ASSERT_EQ(plan.sections.size(), 3u);
    EXPECT_EQ(plan.sections[0].heading, "Reset by the receiver's region rules");
    ASSERT_EQ(plan.sections[0].lines.size(), 1u);
    const clsPlanLine& reset = plan.sections[0].lines[0];
    EXPECT_TRUE(reset.reset);
    EXPECT_EQ(reset.text, "Group Initial, channel 0-0: 300.000000 FM will be reset to "
                          "145.000000 FM: not allowed for this receiver");
    EXPECT_EQ(reset.record, (clsDiffRecord{datKind::Mch, 0}));
    // The reset channel is not listed again among the changes.
    EXPECT_EQ(plan.sections[1].heading, "Memory CH / HAM / Initial");
    ASSERT_EQ(plan.sections[1].lines.size(), 1u);
    EXPECT_EQ(plan.sections[1].lines[0].text,
              "Group Initial, channel 1-0: Frequency 430.000000 → 145.500000");
    EXPECT_EQ(plan.sections[1].lines[0].record, (clsDiffRecord{datKind::Mch, 1}));
    EXPECT_EQ(plan.sections[2].heading, "Common Setting");
    EXPECT_NE(plan.sections[2].lines[0].record.logicId, 0);

    // The window's flat list: heading, line, heading, line, ...
    EXPECT_EQ(plan.LineCount(), 6);
    EXPECT_EQ(plan.LineAt(0), nullptr);
    EXPECT_EQ(plan.LineAt(1), &plan.sections[0].lines[0]);
    EXPECT_EQ(plan.LineAt(3), &plan.sections[1].lines[0]);
    EXPECT_EQ(plan.LineAt(6), nullptr);
    const cmcListQuestion question = WritePlanQuestion(plan);
    ASSERT_EQ(question.lines.size(), 6u);
    EXPECT_EQ(question.lines[1].kind, cmcListQuestion::Kind::Marked);
    EXPECT_EQ(question.lines[2].kind, cmcListQuestion::Kind::Heading);
    EXPECT_EQ(question.buttons, std::vector<std::string>{"&Write"});
    EXPECT_EQ(plan.Text()[1], "Reset by the receiver's region rules");
    EXPECT_EQ(plan.Text()[2].substr(0, 2), "! ");

    // In Japanese the summary is told, and its parts joined, the Japanese way.
    cmcGTex japanese;
    japanese.Attach(JapaneseTable());
    cmcGTex::SetProcess(&japanese);
    EXPECT_EQ(plan.Summary(), "1 CH を変更、1 件を受信機の地域規則でリセット、その他 1 件の変更。");
    cmcGTex::SetProcess(&catalogue);
}

// The cases at the edges of what the plan can say.
TEST_F(WritePlanTest, UnreadReceiverSameDataAndAddedChannels) {
    // Without the backup read only the resets are known.
    SetFrequency(0, 300000000);
    clsWritePlan plan = Plan(false);
    EXPECT_FALSE(plan.compared);
    EXPECT_EQ(Lines(plan).size(), 1u);
    EXPECT_EQ(plan.Summary(), "1 reset by the receiver's region rules. The receiver was not read "
                              "(Back Up Before Writing is off), so what it holds could not be "
                              "compared.");

    // A receiver that already holds what is sent: the reset is still told, nothing changes.
    SetFrequency(0, 145000000);
    plan = Plan();
    EXPECT_FALSE(plan.receiverChanges);
    EXPECT_TRUE(Lines(plan).empty());
    EXPECT_EQ(plan.Summary(), "The receiver already holds this data.");

    // A channel added to the group counts as added, its name line as another change.
    cmcOrganisation organisation(document, &destination);
    organisation.Adopt();
    ASSERT_EQ(organisation.InsertChannel(0, 0), 1);
    datCh channel = organisation.Record();
    channel.StoreDefault(datKind::Mch, 0, NewRecordBand);
    plan = Plan();
    EXPECT_EQ(plan.channelsAdded, 1);
    EXPECT_EQ(plan.channelsChanged, 0);
    EXPECT_EQ(plan.Summary().substr(0, 9), "1 added, ") << plan.Summary();
}

} // namespace
