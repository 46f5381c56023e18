#include "files/cmcCsvText.h"

#include "platform/cmcPlatform.h"

#include <cctype>
#include <iconv.h>

clsCsvSeparators clsCsvSeparators::FromDecimal(char systemDecimal) {
    clsCsvSeparators separators;
    separators.decimal = systemDecimal == ',' ? ',' : '.';
    separators.field = separators.decimal == ',' ? ';' : ',';
    return separators;
}

clsCsvSeparators clsCsvSeparators::FromLocale() {
    cmcLocale* locale = cmcPlatform::get().locale;
    return FromDecimal(locale ? locale->decimalSeparator() : '.');
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Reads a quoted field from text[pos] (the opening quote) up to its closing quote;
// returns the position just after it, or nothing when the quote is never closed.
std::optional<size_t> readQuoted(std::string_view text, size_t pos, std::string& out) {
    for (size_t i = pos + 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '"') {
            out += '"';
            ++i;
            continue;
        }
        return i + 1;
    }
    return std::nullopt;
}

} // namespace

std::string_view CsvTrim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string CsvTrimRight(std::string_view text) {
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string CsvLower(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = lower(c);
    return result;
}

bool CsvEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool CsvStartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string> CsvSplitFields(std::string_view line, char separator) {
    std::vector<std::string> fields;
    size_t pos = 0;
    while (true) {
        size_t start = pos;
        while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
            ++start;
        std::string field;
        if (start < line.size() && line[start] == '"') {
            std::string quoted;
            if (auto after = readQuoted(line, start, quoted)) {
                // Whatever follows the closing quote up to the separator stays with it.
                size_t end = line.find(separator, *after);
                if (end == std::string_view::npos) end = line.size();
                field = quoted;
                field.append(line.substr(*after, end - *after));
                fields.push_back(std::move(field));
                if (end == line.size()) break;
                pos = end + 1;
                continue;
            }
        }
        size_t end = line.find(separator, pos);
        if (end == std::string_view::npos) {
            fields.emplace_back(line.substr(pos));
            break;
        }
        fields.emplace_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    return fields;
}

std::optional<int64_t> CsvParseInteger(std::string_view text, int64_t low, int64_t high) {
    text = CsvTrim(text);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 18) return std::nullopt; // 18 digits cannot overflow
    int64_t value = 0;
    for (char c : text) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::optional<int64_t> CsvParseMegahertz(std::string_view text, char decimal) {
    text = CsvTrim(text);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    size_t point = text.find(decimal);
    std::string_view whole = text.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (whole.size() > 7) return std::nullopt; // beyond any frequency the program knows
    int64_t hertz = 0;
    for (char c : whole) {
        if (!isDigit(c)) return std::nullopt;
        hertz = hertz * 10 + (c - '0');
    }
    hertz *= 1000000;
    int64_t scale = 100000;
    bool roundUp = false;
    for (size_t i = 0; i < fraction.size(); ++i) {
        char c = fraction[i];
        if (!isDigit(c)) return std::nullopt;
        if (i < 6) {
            hertz += (c - '0') * scale;
            scale /= 10;
        } else if (i == 6) {
            roundUp = c >= '5';
        }
    }
    if (roundUp) ++hertz;
    return negative ? -hertz : hertz;
}

std::string CsvFormatMegahertz(uint32_t hertz, char decimal) {
    std::string text = std::to_string(hertz / 1000000);
    text += decimal;
    std::string fraction = std::to_string(hertz % 1000000);
    text.append(6 - fraction.size(), '0');
    text += fraction;
    return text;
}

namespace {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool validUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        uint32_t point = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            point = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            point = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            point = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            point = (point << 6) | (next & 0x3F);
        }
        const uint32_t lowest[] = {0, 0x80, 0x800, 0x10000};
        if (point < lowest[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// Shift-JIS (with the vendor extensions) to UTF-8 through the C library's converter.
std::optional<std::string> fromShiftJis(std::string_view bytes) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) converter = iconv_open("UTF-8", "SHIFT_JIS");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in(bytes);
    std::string out(in.size() * 3 + 4, '\0');
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t done = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (done == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::optional<std::string> CsvDecodeText(std::string_view bytes, bool& shiftJis) {
    shiftJis = false;
    if (CsvStartsWith(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (validUtf8(bytes)) return std::string(bytes);
    shiftJis = true;
    return fromShiftJis(bytes);
}

std::vector<std::string> CsvSplitRecords(std::string_view text) {
    std::vector<std::string> records;
    std::string current;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == '\r' || c == '\n')) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            records.push_back(std::move(current));
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.empty()) records.push_back(std::move(current));
    return records;
}

char CsvDetectSeparator(std::string_view header) {
    int counts[3] = {0, 0, 0};
    const char candidates[3] = {',', ';', '\t'};
    bool quoted = false;
    for (char c : header) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        for (int k = 0; k < 3; ++k)
            if (c == candidates[k]) ++counts[k];
    }
    int best = 0;
    for (int k = 1; k < 3; ++k)
        if (counts[k] > counts[best]) best = k;
    return counts[best] > 0 ? candidates[best] : ',';
}
