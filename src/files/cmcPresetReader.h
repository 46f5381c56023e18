#pragma once

// Preset basic-search files (".sch"): a type section naming the program, the data and
// its version, then up to 20 category sections whose entry lists are CSV blocks.
//
//   [Type]
//   APP=Pelham
//   DATA=Basic Search ENG
//   DATAVER=1.00-00
//   COUNTRYNAME=International
//   [CATEGORY0]
//   CATEGORYNAME=Marine VHF
//   ICON=SHIP
//   CSV
//   DATA=CH Search
//   CH No,Name,Frequency,Mode
//   0000,CH16,156.800000,FM
//   ...

#include <string>
#include <vector>

class cmcLoadFile;

// Choice made in the preset dialog.
namespace presetchoice {
constexpr int None = 0;
constexpr int Add = 1;
constexpr int Overwrite = 2;
} // namespace presetchoice

constexpr int PresetCategoryLimit = 20;

// One category section with at least one CSV block.
struct Cate_Data {
    int selection = presetchoice::None;
    std::string name;                   // "CATEGORYNAME" as written, trailing blanks removed
    std::string icon;                   // "ICON" as written
    std::vector<std::string> chLines;   // CH-search block: header first, then rows
    std::vector<std::string> progLines; // program-search block: header first, then rows
};

// One accepted preset file.
struct Preset_Data {
    int selection = presetchoice::None;
    int language = 0; // 0 "Basic Search ENG", 1 "Basic Search JPN"
    std::string name; // "COUNTRYNAME", shown in the dialog
    std::vector<Cate_Data> categories;
};

// Reads a preset file; false (and nothing to use) when the type section is not right or
// no category has a CSV block. "Basic Search JPN" files are taken only in the Japanese
// text mode; outside it the preset's name keeps only printable ASCII.
bool ReadPreset(const std::string& path, bool japaneseText, Preset_Data& preset);
bool ReadPreset(cmcLoadFile& file, bool japaneseText, Preset_Data& preset);

// The preset folder of the language: <data folder>/presets/English or .../Japanese.
std::string PresetFolder(const std::string& dataFolder, bool japanese);

// The files matching "*.sch" (any letter case) in a folder, in name order; none when the
// folder does not exist.
std::vector<std::string> PresetFiles(const std::string& folder);

// Every accepted preset of a folder, in file-name order.
std::vector<Preset_Data> ScanPresets(const std::string& folder, bool japaneseText);
