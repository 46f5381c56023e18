#include "files/cmcLoadFile.h"

#include "files/cmcCsvText.h"
#include "files/cmcReadCapped.h"

#include <algorithm>

bool cmcLoadFile::Load(const std::string& path) {
    lines_.clear();
    index_ = saved_ = 0;
    std::string text;
    if (cmcReadCapped(path, MaxFileBytes, text) != cmcReadResult::Ok) return false;
    return LoadText(text);
}

bool cmcLoadFile::LoadText(std::string_view text) {
    lines_.clear();
    index_ = saved_ = 0;
    if (text.size() > MaxFileBytes) return false;
    if (CsvStartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.emplace_back(text.substr(start));
            break;
        }
        lines_.emplace_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return !lines_.empty();
}

const std::string& cmcLoadFile::LineAt(int index) const {
    static const std::string empty;
    if (index < 0 || index >= Count()) return empty;
    return lines_[static_cast<size_t>(index)];
}

bool cmcLoadFile::NextLine() {
    for (int i = index_ + 1; i < Count(); ++i) {
        if (lines_[static_cast<size_t>(i)].empty()) continue;
        index_ = i;
        return true;
    }
    index_ = 0;
    return false;
}

bool cmcLoadFile::FindKey(std::string_view key, bool stopAtSection) {
    for (int i = std::max(index_, 0); i < Count(); ++i) {
        const std::string& line = lines_[static_cast<size_t>(i)];
        if (line.empty()) continue;
        if (stopAtSection && line.front() == '[') return false;
        if (!CsvStartsWith(line, key)) continue;
        index_ = i;
        return true;
    }
    return false;
}

std::string cmcLoadFile::ValueOfKey(std::string_view key, bool stopAtSection) {
    const int start = index_;
    while (FindKey(key, stopAtSection)) {
        const std::string& line = Line();
        size_t equals = line.find('=');
        if (equals != std::string::npos &&
            CsvEqualNoCase(CsvTrim(std::string_view(line).substr(0, equals)), key))
            return std::string(CsvTrim(std::string_view(line).substr(equals + 1)));
        ++index_;
    }
    index_ = start;
    return {};
}
