#pragma once

// What adopting an image for the installed destination changed: a file from another
// destination loses the names, modes and steps the destination does not have. The program
// and pelham-cli report it in the terms of the compare (the differences of the sheets), so
// that nobody saves or writes such a document without knowing.

#include "files/cmcImageDiff.h"

#include <cstddef>
#include <string>
#include <vector>

class cmcEeprom;
class cmcOrganisation;

struct clsLoadCorrections {
    // From the image as it came to the document as adopted.
    std::vector<clsImageDifference> differences;
    int records = 0; // the places the differences name (a channel, a group, ...), once each

    bool Any() const { return !differences.empty(); }
};

// asRead: the image as the file or the receiver gave it, before adoption; adopted: the same
// image after AdoptLoadedImage, for the destination it was adopted for. Japanese text: the
// document's name text mode. Neither image is changed.
clsLoadCorrections FindLoadCorrections(const cmcEeprom& asRead, cmcOrganisation& adopted,
                                       bool japaneseText);

// The other way round, as the compare window shows it: from the document to the image as
// it came.
std::vector<clsImageDifference> DiffDocumentToAsRead(cmcOrganisation& adopted,
                                                     const cmcEeprom& asRead, bool japaneseText);

// "37 records", "1 record" in the catalogue's language.
std::string LoadCorrectionRecords(int records);

// "Corrected for destination EUR: 37 records changed." in the catalogue's language.
std::string LoadCorrectionSummary(const clsLoadCorrections& corrections, int destination);

// The summary, then at most maxLines differences (indented), then how many more; one line
// each, every line ending in a line end.
std::string LoadCorrectionReport(const clsLoadCorrections& corrections, int destination,
                                 size_t maxLines = 20);

// Line n of the catalogue's correction texts with "%s" filled in order.
std::string LoadCorrectionText(int line, const std::vector<std::string>& parts = {});

namespace loadtext {
constexpr int Summary = 0;
constexpr int OneRecord = 1;
constexpr int Records = 2;
constexpr int More = 3;
constexpr int StatusOpen = 4; // the status bar after Open
constexpr int StatusRead = 5; // the status bar after Clone Read
constexpr int ShowQuestion = 6;
constexpr int AsRead = 7;    // the compare window's name for the image as it came
constexpr int NotSaved = 8;  // pelham-cli without --yes
constexpr int CheckNote = 9; // pelham-cli check
} // namespace loadtext
