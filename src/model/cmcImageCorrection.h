#pragma once

// Work on whole images for a destination: adopting an image from a file or the receiver,
// the correction run after every load and before saving or writing, and the replacement of
// records the destination does not allow, made on the copy that is written.

#include <cstdint>
#include <vector>

class cmcEeprom;
class cmcOrganisation;
class indDestination;

// A record by its kind (datKind) and index.
struct clsRecordRef {
    uint32_t kind = 0;
    int index = 0;
    bool operator==(const clsRecordRef&) const = default;
};

// Replaces names with characters outside 0x20..0x7E, snaps frequencies to the grid, fixes
// what the destination does not have (Auto, canceller, weather alert, language), and
// copies band memories, receiver-owned settings and the marker from the destination's
// default image. The organisation's count tables must describe the image.
void CorrectLoadedImage(cmcOrganisation& organisation);

// Replaces every record in use whose frequency the destination does not allow with the
// default record of its kind. Run on the copy that is written, never on the document.
// Returns the records it replaced, in the order of the memory map.
std::vector<clsRecordRef> ReplaceDisallowedRecords(cmcOrganisation& organisation);

// What every load does: recount, repack and correct. Returns the number of listed channels
// that did not fit the tables (they are dropped; normally 0).
int AdoptLoadedImage(cmcOrganisation& organisation);

// What saving and writing do first: correct and rebuild the in-use bitmaps.
void PrepareForSave(cmcOrganisation& organisation);
