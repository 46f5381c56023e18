#pragma once

// What a Clone Write will do to the receiver, told before anything is sent: the records the
// destination's rules replace on the copy that is written (listed first), then what differs
// between what the receiver holds now (the backup read that precedes the write) and what is
// sent, in the sheets' terms, sheet by sheet, with a one-line summary. The program's plan
// window shows it; pelham-cli write prints it.

#include "files/cmcImageDiff.h"
#include "model/cmcImageCorrection.h"
#include "platform/cmcPlatform.h"

#include <string>
#include <vector>

class cmcEeprom;
class indDestination;

struct clsPlanLine {
    std::string text;
    bool reset = false;   // a record the receiver's region rules replace
    clsDiffRecord record; // what the line is about, in the document that is written
};

// The lines of one sheet, under the sheet's place in the tree ("Memory CH / Police / Fire").
struct clsPlanSection {
    std::string heading;
    std::vector<clsPlanLine> lines;
};

struct clsWritePlan {
    bool compared = false;       // the receiver was read, so what changes is known
    bool receiverChanges = true; // what is sent differs from what the receiver holds
    int channelsChanged = 0;
    int channelsAdded = 0;
    int channelsRemoved = 0;
    int resets = 0;
    int otherChanges = 0;                 // lines about anything but memory channels
    std::vector<clsPlanSection> sections; // the resets first

    // "12 channels changed, 3 added, 5 reset by the receiver's region rules".
    std::string Summary() const;
    // The summary, then each heading and its lines indented, a reset line marked with "!".
    std::vector<std::string> Text() const;
    int LineCount() const;
    // The line at a position of the flat list the window shows (headings count as lines).
    const clsPlanLine* LineAt(int position) const;
};

struct clsWritePlanInput {
    const cmcEeprom* receiver = nullptr; // what the receiver holds now; none: it was not read
    const cmcEeprom* document = nullptr; // the working image, prepared for writing
    const cmcEeprom* sent = nullptr;     // the copy that is written
    std::vector<clsRecordRef> replaced;  // what ReplaceDisallowedRecords replaced on the copy
    const indDestination* destination = nullptr;
    bool japaneseText = false;
};

clsWritePlan BuildWritePlan(const clsWritePlanInput& input);

// The plan as the list question Clone Write asks: its buttons are Write (0), Copy and
// Cancel; the lines are those of LineAt.
cmcListQuestion WritePlanQuestion(const clsWritePlan& plan);
