#pragma once

// The clone data file (.tcf): one whole memory image as text. A header line with the
// model and extra words ("30760001"), a comment line ("#..."), then data lines of an
// 8-digit address, a 2-digit count and the bytes, all in hexadecimal, each line ended by
// "\r\n". Reading takes "\r\n" or "\n" as a line end.

#include "model/cmcEeprom.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One range of image addresses, both inclusive. A range table ends at its end or at the
// first pair whose first address is greater than its last.
struct cmcTcfRange {
    int first;
    int last;
};

// The table the document always uses: the whole memory map.
inline constexpr cmcTcfRange WholeImageRanges[] = {{0, MapSize - 1}, {1, 0}};

class cmcTcfFile {
  public:
    // Result codes; each nonzero code indexes a file error message.
    enum Result {
        Ok = 0,
        FileOpen = 1,   // the file cannot be opened
        FileAccess = 2, // writing failed
        Model = 3,      // the header's model word differs
        Extra = 4,      // the header's extra word differs
        MapRev = 5,     // not raised by this reader
        Format = 6,     // the header or a data line is malformed
        Coverage = 7,   // an address of the range table was not loaded
        Data = 8,       // an address outside the image or outside the range table
        Newer = 9,      // not raised by this reader
    };

    static constexpr int LineWidth = 16;       // data bytes per written line
    static constexpr int ReadPieceLimit = 767; // characters taken by one read of a line
    // A whole-image file is about 320 KB; a larger input is refused as malformed.
    static constexpr size_t MaxFileBytes = 8 * 1024 * 1024;

    cmcTcfFile() = default;
    cmcTcfFile(const cmcTcfFile&) = delete;
    cmcTcfFile& operator=(const cmcTcfFile&) = delete;

    // The image is not owned; it must outlive the object's use.
    void AttachImage(cmcEeprom& image);
    void SetModelWord(int word) { modelWord_ = word; }
    void SetExtraWord(int word) { extraWord_ = word; }
    void SetComment(const std::string& comment) { comment_ = comment; }

    // Writes the ranges of the image. The old file is replaced only when the new one is
    // complete on disk, so a failed save leaves it as it was. Shows the message of a
    // nonzero result. Returns Ok, FileOpen or FileAccess.
    int Write(const std::string& path, std::span<const cmcTcfRange> ranges);
    // Reads a file into the image; an empty table means none (no coverage check). A
    // failed read leaves the image as it was. Shows the message of a nonzero result.
    // Returns Ok, FileOpen, Model, Extra, Format, Coverage or Data.
    int Read(const std::string& path, std::span<const cmcTcfRange> ranges = {});
    // Read over a file's contents already in memory (Read without the file). Input above
    // MaxFileBytes, from a file or here, is refused with Format.
    int ReadBytes(std::string_view bytes, std::span<const cmcTcfRange> ranges = {});
    // Whether the last read loaded exactly the table's addresses: Ok, Coverage or Data.
    int CheckCoverage(std::span<const cmcTcfRange> ranges);

    // The text a write would produce.
    std::string Render(std::span<const cmcTcfRange> ranges) const;

    // Shows the message of a result code 1..9 in a warning box; other codes show nothing.
    static void ShowFileError(int code);

  private:
    static int ReadCapped(const std::string& path, std::string& bytes);
    int Parse(std::string_view bytes, std::span<const cmcTcfRange> ranges, bool store);
    int ParseDataLine(std::string_view line, bool store);
    int WriteFile(const std::string& path, const std::string& text) const;
    void MarkRanges(std::vector<uint8_t>& set, std::span<const cmcTcfRange> ranges) const;

    cmcEeprom* image_ = nullptr;
    int modelWord_ = 0;
    int extraWord_ = 0;
    std::string comment_;
    std::vector<uint8_t> loaded_;   // one bit per image address written by the last read
    std::vector<uint8_t> required_; // one bit per address a range table asks for
};
