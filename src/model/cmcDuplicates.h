#pragma once

// The duplicate check of the memory channels: channels whose frequency and mode another
// channel already has (in the same group, or elsewhere in the memory), and names whose text
// another name already has. Each finding names the channel and the first that holds the
// same value, so deleting the findings keeps one of each.

#include <cstdint>
#include <string>
#include <vector>

class cmcOrganisation;

struct clsDuplicate {
    enum class What { Frequency, Name };
    What what = What::Frequency;
    int slot = 0;  // the channel (for a name: its name's first channel)
    int group = 0; // its global group and its row in the group
    int row = 0;
    int twinSlot = 0; // the first channel with the same value
    int twinGroup = 0;
    int twinRow = 0;
    uint32_t frequency = 0; // frequency duplicates: the value
    uint32_t mode = 0;
    std::string name; // name duplicates: the text, trailing blanks removed
    bool SameGroup() const { return group == twinGroup; }
};

// Every duplicate, in slot order. Empty names are no duplicates.
std::vector<clsDuplicate> FindDuplicates(const cmcOrganisation& organisation);

// "145.000000 FM" or the name in quotes: what the finding repeats.
std::string DuplicateValueText(const clsDuplicate& duplicate);
