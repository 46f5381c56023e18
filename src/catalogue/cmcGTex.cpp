#include "catalogue/cmcGTex.h"

#include "platform/cmcPlatform.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

std::string cmcFillIn(const std::string& pattern, const std::vector<std::string>& parts) {
    std::string text;
    auto part = parts.begin();
    size_t next = 0;
    for (size_t at = pattern.find("%s"); at != std::string::npos; at = pattern.find("%s", next)) {
        text.append(pattern, next, at - next);
        if (part != parts.end()) text += *part++;
        next = at + 2;
    }
    return text.append(pattern, next);
}

namespace tables {
extern const char* const english_lines[];
extern const size_t english_count;
extern const char* const japanese_lines[];
extern const size_t japanese_count;
extern const char* const helptopics_lines[];
extern const size_t helptopics_count;
} // namespace tables

cmcTextTable EnglishTable() {
    return {tables::english_lines, tables::english_count};
}
cmcTextTable JapaneseTable() {
    return {tables::japanese_lines, tables::japanese_count};
}
cmcTextTable HelpTopicTable() {
    return {tables::helptopics_lines, tables::helptopics_count};
}

namespace {
constexpr size_t MoveToFrontAfter = 10;
const char* const EndKey = "End_Of_Ovl";

bool IsKeyLine(const char* line) {
    return line[0] == '#' && line[1] != '\0';
}

cmcGTex* processCatalogue = nullptr;
cmcHelpGTex* processHelpCatalogue = nullptr;
} // namespace

int cmcGTex::Attach(cmcTextTable table) {
    if (mode_ == 1) return 0;
    table_ = table;
    mode_ = 1;
    return 1;
}

const char* cmcGTex::LineAt(size_t index) const {
    // Reading past the table's end yields nothing rather than foreign memory.
    return index < table_.count ? table_.lines[index] : "";
}

cmcGTex::Entry* cmcGTex::Find(const std::string& key) {
    size_t position = 0;
    for (auto it = index_.begin(); it != index_.end(); ++it, ++position) {
        if (it->name != key) continue;
        if (position > MoveToFrontAfter) index_.splice(index_.begin(), index_, it);
        return &*it;
    }
    while (indexing_ && scan_ < table_.count) {
        const char* line = table_.lines[scan_++];
        if (!IsKeyLine(line)) continue;
        index_.push_back({line + 1, scan_, 0, scan_});
        if (std::strcmp(line + 1, EndKey) == 0) indexing_ = false;
        if (index_.back().name == key) return &index_.back();
    }
    indexing_ = false;
    return nullptr;
}

bool cmcGTex::HasKey(const std::string& key) {
    return Find(key) != nullptr;
}

cmcGTex::Entry& cmcGTex::Require(const std::string& key) {
    Entry* entry = Find(key);
    if (!entry) cmcFatal("GTEX Error !\nThe index '" + key + "' was not found.");
    return *entry;
}

std::string cmcGTex::GetLine(const std::string& key, int n) {
    Entry& entry = Require(key);
    const size_t wanted = n < 0 ? 0 : static_cast<size_t>(n);
    size_t index = wanted < entry.cachedLine ? entry.firstLine + wanted
                                             : entry.cachedIndex + (wanted - entry.cachedLine);
    std::string line = LineAt(index);
    if (line.size() > LineLimit) line.resize(LineLimit);
    entry.cachedLine = wanted + 1;
    entry.cachedIndex = index + 1;
    return line;
}

std::string cmcGTex::GetLines(const std::string& key) {
    const Entry& entry = Require(key);
    std::string text;
    for (size_t index = entry.firstLine; index < table_.count; ++index) {
        std::string line = table_.lines[index];
        if (!line.empty() && line[0] == '#') break;
        if (line.size() > LineLimit) line.resize(LineLimit);
        if (index > entry.firstLine) text += '\n';
        text += line;
    }
    return text;
}

cmcGTex& cmcGTex::Process() {
    if (!processCatalogue) cmcFatal("GTEX Error !\nNo catalogue.");
    return *processCatalogue;
}

void cmcGTex::SetProcess(cmcGTex* catalogue) {
    processCatalogue = catalogue;
}

namespace {
// Field 1 of the value's lines whose field 0 is the name: the first such line's or the
// last one's. Fields are split at tabs; "" when no line names it.
std::string FieldOf(const std::string& value, const std::string& name, bool first) {
    std::string found;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find('\n', start);
        if (end == std::string::npos) end = value.size();
        const std::string line = value.substr(start, end - start);
        start = end + 1;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || line.compare(0, tab, name) != 0) continue;
        found = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
        if (first) break;
    }
    return found;
}
} // namespace

int cmcHelpGTex::ContextOf(const std::string& logicIdName) {
    const std::string topic = FieldOf(GetLines("GI_AppItem_Topic_ID"), logicIdName, true);
    if (topic.empty()) return 0;
    const std::string context = FieldOf(GetLines("GI_AppItem_Context_ID"), topic, false);
    return std::atoi(context.c_str());
}

cmcHelpGTex& cmcHelpGTex::Process() {
    if (!processHelpCatalogue) cmcFatal("GTEX Error !\nNo help catalogue.");
    return *processHelpCatalogue;
}

void cmcHelpGTex::SetProcess(cmcHelpGTex* catalogue) {
    processHelpCatalogue = catalogue;
}
