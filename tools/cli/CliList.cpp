// pelham-cli list FILE.tcf: the organisation of a clone data file, opened as the program
// opens it: categories with their groups, each group's names and channels with the number
// column's text, the frequency in MHz and the mode.

#include "CliDocument.h"

#include "model/cmcFrequency.h"
#include "model/cmcNameText.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"

#include <cstdio>
#include <string>

namespace {

std::string Trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string ModeName(uint32_t mode) {
    return mode < values::ModeNames.size() ? std::string(values::ModeNames[mode]) : "?";
}

// A stored name as UTF-8 text, half-width katakana in the Japanese text mode.
std::string NameText(const std::string& field, bool japanese) {
    return cmcNameFieldText(field, japanese);
}

void ListGroup(cmcOrganisation& organisation, int group, bool japanese) {
    std::printf("  Group %d: %s\n", group,
                NameText(datLookup::GroupName(organisation.Image(), group), japanese).c_str());
    organisation.RecountNames(group);
    const int first = organisation.FirstChannelOfGroup(group);
    const int count = organisation.ChannelsOfGroup(group);
    datCh channel = organisation.Record();
    datCh name = organisation.Record();
    for (int position = 0; position < count; ++position) {
        channel.Load(datKind::Mch, first + position);
        std::printf("    %-7s %s  %-4s", organisation.ChannelNumberText(position, count).c_str(),
                    FormatMegahertz(channel.frequency).c_str(), ModeName(channel.mode).c_str());
        const int k = organisation.NameOfPosition(position);
        if (position == organisation.FirstPositionOfName(k)) {
            name.Load(datKind::Name, int(channel.nameIndex));
            std::printf("  \"%s\"", NameText(name.NameField(), japanese).c_str());
            if (Trimmed(name.NameNumberText()) != "")
                std::printf(" %s", Trimmed(name.NameNumberText()).c_str());
        }
        std::printf("\n");
    }
}

int RunList(const CliArgs& args) {
    if (args.positional.size() != 1) return CliUsageError("list", "list takes one file");
    CliDocument document;
    if (int code = document.Open(args, "list", args.positional[0]); code != 0) return code;
    cmcOrganisation& organisation = document.Organisation();
    const cmcEeprom& image = document.Image();
    const bool japanese = document.JapaneseText();
    for (int category = 0; category < organisation.CategoryCount(); ++category) {
        std::printf("Category %d: %s\n", category,
                    NameText(datLookup::CategoryName(image, category), japanese).c_str());
        const int firstGroup = organisation.FirstGroupOfCategory(category);
        for (int i = 0; i < organisation.GroupsOfCategory(category); ++i)
            ListGroup(organisation, firstGroup + i, japanese);
    }
    std::printf("%d categories, %d groups, %d channels\n", organisation.CategoryCount(),
                organisation.GroupCount(), organisation.TotalChannels());
    return 0;
}

const CliRegistration registration({"list", "FILE.tcf", RunList,
                                    "Lists the categories, groups, names and channels."});

} // namespace
