#include "files/cmcPresetReader.h"

#include "files/cmcCsvNames.h"
#include "files/cmcCsvText.h"
#include "files/cmcLoadFile.h"

#include <algorithm>
#include <filesystem>

namespace {

bool isSkippable(const std::string& line) {
    std::string_view text = CsvTrim(line);
    return text.empty() || CsvStartsWith(text, "//");
}

bool isSection(const std::string& line) {
    return !line.empty() && line.front() == '[';
}

// The first line at or after `from` that is not skippable; Count() when none.
int skipBlank(const cmcLoadFile& file, int from) {
    while (from < file.Count() && isSkippable(file.LineAt(from)))
        ++from;
    return from;
}

int findLineStarting(const cmcLoadFile& file, std::string_view prefix) {
    for (int i = 0; i < file.Count(); ++i)
        if (CsvStartsWith(file.LineAt(i), prefix)) return i;
    return -1;
}

// The value of a key searched from the given line within its section.
std::string keyValue(cmcLoadFile& file, int from, std::string_view key) {
    file.SetIndex(from);
    return file.ValueOfKey(key, true);
}

bool readTypeSection(cmcLoadFile& file, bool japaneseText, Preset_Data& preset) {
    int type = findLineStarting(file, "[Type]");
    if (type < 0) return false;
    int from = type + 1;
    while (from < file.Count() && file.LineAt(from).empty())
        ++from;
    if (from >= file.Count()) return false;

    if (!CsvEqualNoCase(keyValue(file, from, "APP"), "Pelham")) return false;
    std::string data = keyValue(file, from, "DATA");
    if (CsvEqualNoCase(data, "Basic Search ENG")) {
        preset.language = 0;
    } else if (japaneseText && CsvEqualNoCase(data, "Basic Search JPN")) {
        preset.language = 1;
    } else {
        return false;
    }
    if (!CsvEqualNoCase(keyValue(file, from, "DATAVER"), "1.00-00")) return false;
    std::string name = keyValue(file, from, "COUNTRYNAME");
    if (!japaneseText) name = CsvNameToImage(name, false).bytes;
    name = std::string(CsvTrim(name));
    if (name.empty()) return false;
    preset.name = name;
    return true;
}

// Reads the CSV blocks that start at the "CSV" line `at`; stops at the next section.
void readBlocks(const cmcLoadFile& file, int at, Cate_Data& category) {
    while (at < file.Count()) {
        int kindLine = skipBlank(file, at + 1);
        std::string_view kind = CsvTrim(file.LineAt(kindLine));
        std::vector<std::string>* lines = nullptr;
        if (CsvEqualNoCase(kind, "DATA=CH Search")) lines = &category.chLines;
        if (CsvEqualNoCase(kind, "DATA=Program Search")) lines = &category.progLines;
        if (!lines) return;
        int line = skipBlank(file, kindLine + 1);
        if (line >= file.Count()) return;
        // Blocks of one kind in one section add to the same list under its first header.
        if (lines->empty()) lines->push_back(file.LineAt(line));
        for (line = skipBlank(file, line + 1); line < file.Count();
             line = skipBlank(file, line + 1)) {
            const std::string& text = file.LineAt(line);
            if (isSection(text)) return;
            if (CsvTrim(text) == "CSV") break;
            lines->push_back(text);
        }
        at = line; // the next "CSV" line, or the end
    }
}

bool readCategory(cmcLoadFile& file, int n, Cate_Data& category) {
    int section = findLineStarting(file, "[CATEGORY" + std::to_string(n) + "]");
    if (section < 0) section = findLineStarting(file, "[CATEGORY0" + std::to_string(n) + "]");
    if (section < 0) return false;
    int from = section + 1;
    while (from < file.Count() && file.LineAt(from).empty())
        ++from;
    if (from >= file.Count()) return false;

    category.name = CsvTrimRight(keyValue(file, from, "CATEGORYNAME"));
    category.icon = keyValue(file, from, "ICON");
    file.SetIndex(from);
    if (!file.FindKey("CSV", true)) return false;
    readBlocks(file, file.Index(), category);
    return !category.chLines.empty() || !category.progLines.empty();
}

} // namespace

bool ReadPreset(cmcLoadFile& file, bool japaneseText, Preset_Data& preset) {
    preset = Preset_Data();
    if (!readTypeSection(file, japaneseText, preset)) return false;
    for (int n = 0; n < PresetCategoryLimit; ++n) {
        Cate_Data category;
        if (readCategory(file, n, category)) preset.categories.push_back(std::move(category));
    }
    return !preset.categories.empty();
}

bool ReadPreset(const std::string& path, bool japaneseText, Preset_Data& preset) {
    cmcLoadFile file;
    if (!file.Load(path)) return false;
    return ReadPreset(file, japaneseText, preset);
}

std::string PresetFolder(const std::string& dataFolder, bool japanese) {
    return (std::filesystem::path(dataFolder) / "presets" / (japanese ? "Japanese" : "English"))
        .string();
}

std::vector<std::string> PresetFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string extension = entry.path().extension().string();
        if (CsvEqualNoCase(extension, ".sch") && entry.is_regular_file(error))
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<Preset_Data> ScanPresets(const std::string& folder, bool japaneseText) {
    std::vector<Preset_Data> presets;
    for (const std::string& path : PresetFiles(folder)) {
        Preset_Data preset;
        if (ReadPreset(path, japaneseText, preset)) presets.push_back(std::move(preset));
    }
    return presets;
}
