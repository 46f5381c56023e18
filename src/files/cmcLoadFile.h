#pragma once

// A text file read whole into lines, with a cursor for the key searches of preset files.
// CSV and preset files come from spreadsheets and other people: any line end counts
// ("\r\n", "\n" or a lone "\r"), a leading UTF-8 byte-order mark is dropped, and a file
// too large to be a channel list or a preset reads as empty.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class cmcLoadFile {
  public:
    // Files above this size are refused; the largest real file is a few hundred kilobytes.
    static constexpr size_t MaxFileBytes = 8 * 1024 * 1024;

    // True when the file holds at least one line. A file that cannot be read, or is too
    // large, gives an empty list.
    bool Load(const std::string& path);
    // The same from text already in memory.
    bool LoadText(std::string_view text);

    int Count() const { return static_cast<int>(lines_.size()); }
    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }

    // The current line; empty beyond the end.
    const std::string& Line() const { return LineAt(index_); }
    // The line at an index; empty beyond the end.
    const std::string& LineAt(int index) const;

    // Moves to the next line that is not empty; false at the end, and the index goes back
    // to 0.
    bool NextLine();

    // From the current line on, skipping empty lines, finds the first line that begins
    // with the key (exact characters). With stopAtSection a line beginning with "[" ends
    // the search. On success that line becomes current; otherwise the index stays.
    bool FindKey(std::string_view key, bool stopAtSection);

    // Finds a line "key = value" (key compared without regard to case, both sides
    // trimmed) as FindKey does, and returns the value; empty when there is none, with the
    // index left where it was.
    std::string ValueOfKey(std::string_view key, bool stopAtSection);

    void SaveIndex() { saved_ = index_; }
    void RestoreIndex() { index_ = saved_; }
    void Rewind() { index_ = 0; }

  private:
    std::vector<std::string> lines_;
    int index_ = 0;
    int saved_ = 0;
};
