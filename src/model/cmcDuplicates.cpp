#include "model/cmcDuplicates.h"

#include "model/cmcFrequency.h"
#include "model/cmcOrganisation.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"

#include <unordered_map>

namespace {

struct clsPlace {
    int slot;
    int group;
    int row;
};

void Fill(clsDuplicate& found, const clsPlace& at, const clsPlace& twin) {
    found.slot = at.slot, found.group = at.group, found.row = at.row;
    found.twinSlot = twin.slot, found.twinGroup = twin.group, found.twinRow = twin.row;
}

} // namespace

std::vector<clsDuplicate> FindDuplicates(const cmcOrganisation& organisation) {
    std::vector<clsDuplicate> found;
    std::unordered_map<uint64_t, clsPlace> frequencies; // frequency and mode: the first
    std::unordered_map<std::string, clsPlace> names;    // name text: the first name
    datCh channel = organisation.Record();
    datCh name = organisation.Record();
    const int total = organisation.TotalChannels();
    int group = 0, groupStart = 0;
    uint32_t previousName = UINT32_MAX;
    for (int slot = 0; slot < total; ++slot) {
        while (slot > organisation.LastChannelOfGroup(group) &&
               group + 1 < organisation.GroupCount())
            groupStart = organisation.FirstChannelOfGroup(++group);
        const clsPlace at{slot, group, slot - groupStart};
        channel.Load(datKind::Mch, slot);
        if (!channel.InUse()) continue;
        const uint64_t key = uint64_t(channel.frequency) << 8 | (channel.mode & 0xFF);
        if (auto [first, added] = frequencies.emplace(key, at); !added) {
            clsDuplicate duplicate;
            Fill(duplicate, at, first->second);
            duplicate.frequency = channel.frequency;
            duplicate.mode = channel.mode;
            found.push_back(duplicate);
        }
        // A name is met at its first channel: where the name index changes.
        const bool newName = channel.nameIndex != previousName || at.row == 0;
        previousName = channel.nameIndex;
        if (!newName) continue;
        name.Load(datKind::Name, int(channel.nameIndex));
        const std::string text = name.NameText();
        if (text.empty()) continue;
        if (auto [first, added] = names.emplace(text, at); !added) {
            clsDuplicate duplicate;
            duplicate.what = clsDuplicate::What::Name;
            Fill(duplicate, at, first->second);
            duplicate.name = text;
            found.push_back(duplicate);
        }
    }
    return found;
}

std::string DuplicateValueText(const clsDuplicate& duplicate) {
    if (duplicate.what == clsDuplicate::What::Name) return "\"" + duplicate.name + "\"";
    const std::string_view mode =
        duplicate.mode < values::ModeNames.size() ? values::ModeNames[duplicate.mode] : "";
    return FormatMegahertz(duplicate.frequency) + " " + std::string(mode);
}
