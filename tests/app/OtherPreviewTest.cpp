#include "app/indOtherImport.h"
#include "files/CsvFixture.h"

#include <gtest/gtest.h>

namespace {

const std::string HertzList = "Where;Hz;What\r\nPort;156800000;Ch 16\r\nHills;14230000000;Far\r\n";

} // namespace

// A list whose frequency column the user picks: nothing to import until then, the unit
// guessed from the values, and the choice found again for the next file with that header.
TEST(OtherPreview, ChosenColumnsAreRememberedPerHeader) {
    CsvDocument document;
    {
        indOtherPreview preview(HertzList, "list", document.ReadOptions(),
                                document.Organisation(), -1);
        ASSERT_EQ(preview.Error(), "");
        EXPECT_EQ(preview.Format(), otherformat::Columns);
        EXPECT_FALSE(preview.CanImport());
        preview.SetColumn(OtherField::Frequency, 1);
        preview.SetColumn(OtherField::Name, 2);
        EXPECT_EQ(preview.Mapping().unit, OtherUnit::Hz);
        ASSERT_EQ(preview.Plan().rows.size(), 2u);
        EXPECT_EQ(preview.Plan().rows[0].hertz, 156800000u);
        EXPECT_EQ(preview.Plan().rows[0].name, "Ch 16");
        EXPECT_FALSE(preview.Plan().rows[1].imported);
        EXPECT_TRUE(preview.CanImport());
        preview.RememberMapping();
    }
    indOtherPreview again("WHERE;hz;what\nQuay;156650000;Ch 14\n", "list", document.ReadOptions(),
                          document.Organisation(), -1);
    EXPECT_EQ(again.Mapping()[OtherField::Frequency], 1);
    EXPECT_EQ(again.Mapping()[OtherField::Name], 2);
    EXPECT_EQ(again.Mapping().unit, OtherUnit::Hz);
    EXPECT_TRUE(again.CanImport());

    indOtherPreview other("Where;MHz;What\nQuay;156.65;Ch 14\n", "list", document.ReadOptions(),
                          document.Organisation(), -1);
    EXPECT_EQ(other.Mapping()[OtherField::Name], -1) << "another header starts afresh";
}

TEST(OtherPreview, PlacementsFollowTheOpenSheetAndFormatsCanBeForced) {
    CsvDocument document;
    indOtherPreview closed(HertzList, "list", document.ReadOptions(), document.Organisation(), -1);
    EXPECT_EQ(closed.Placement(), indOtherPreview::Place::NewGroups);
    EXPECT_FALSE(closed.Offers(indOtherPreview::Place::OpenGroup));
    closed.SetPlacement(indOtherPreview::Place::OpenGroup);
    EXPECT_EQ(closed.Placement(), indOtherPreview::Place::NewGroups);
    closed.SetPlacement(indOtherPreview::Place::LastChannel);
    EXPECT_FALSE(closed.Target().newGroups);
    EXPECT_EQ(closed.Target().group, document.Organisation().GroupCount() - 1);

    indOtherPreview open(HertzList, "list", document.ReadOptions(), document.Organisation(), 0);
    EXPECT_EQ(open.Placement(), indOtherPreview::Place::OpenGroup);
    EXPECT_EQ(open.Target().group, 0);

    open.SetFormat(otherformat::Generic);
    EXPECT_EQ(open.Error(), "GI_Mess_Other_NoFrequency");
    EXPECT_FALSE(open.CanImport());
    EXPECT_TRUE(open.Plan().rows.empty());
}
