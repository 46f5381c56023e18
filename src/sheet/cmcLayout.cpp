#include "sheet/cmcLayout.h"

#include "catalogue/cmcGTex.h"
#include "platform/cmcPlatform.h"

#include <climits>

namespace cmcLayout {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
// Blanks and control characters are trimmed off a text part; bytes of 0x80 and above are text.
bool IsTrimmed(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The text after the first "=", or nothing when there is no "=".
bool ValueAfterEquals(std::string_view item, std::string_view& value) {
    const size_t equals = item.find('=');
    if (equals == std::string_view::npos) return false;
    value = item.substr(equals + 1);
    return true;
}

// "@ch" and exactly one digit not followed by another: the variable's number; -1 otherwise.
int VariableNumber(std::string_view reference) {
    if (!StartsWith(reference, "@ch") || reference.size() < 4 || !IsDigit(reference[3])) return -1;
    if (reference.size() > 4 && IsDigit(reference[4])) return -1;
    return reference[3] - '0';
}

int& Variable(cmcSheetVariables* variables, std::string_view reference) {
    const int number = VariableNumber(reference);
    if (number < 0 || !variables) cmcFatal("Ch No. Error");
    return (*variables)[static_cast<size_t>(number)];
}

// Every single-byte backslash removed, the byte after it kept.
std::string Unescape(std::string_view text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            if (++i >= text.size()) break;
        }
        result += text[i];
    }
    return result;
}

void ApplyBinding(cmcCellObj& cell, std::string_view text) {
    const size_t dot = text.find('.');
    if (dot != std::string_view::npos && !(dot > 0 && text[dot - 1] == '\\')) {
        const std::string_view typeName = text.substr(0, dot);
        if (typeName.empty()) {
            cell.cellType = CT_None;
        } else {
            const int type = FindCellType(typeName);
            if (type < 0)
                cmcFatal("Cannot use the specified category.\n'" + std::string(typeName) + "'");
            cell.cellType = type;
        }
        text.remove_prefix(dot + 1);
    }
    const size_t end = text.find_first_of("[:");
    const std::string_view logicName = text.substr(0, end);
    if (logicName.empty()) {
        cell.logicId = CL_None;
    } else {
        const int logic = FindLogicId(logicName);
        if (logic < 0) cmcFatal("Cannot use the specified cell.\n'" + std::string(logicName) + "'");
        cell.logicId = logic;
    }
    text = end == std::string_view::npos ? std::string_view() : text.substr(end);
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        const std::string_view inner =
            text.substr(1, close == std::string_view::npos ? close : close - 1);
        int value = 0;
        if (!inner.empty() && inner.front() == '@')
            cell.index = Variable(cell.variables, inner);
        else if (ReadNumber(inner, value))
            cell.index = value;
        text = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
    }
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos) cell.keyText = Unescape(text.substr(colon + 1));
}

void ApplyVariableItem(cmcCellObj& cell, std::string_view item) {
    int& variable = Variable(cell.variables, item);
    std::string_view rest = SkipBlanks(item.substr(4));
    if (StartsWith(rest, "++")) {
        ++variable;
        return;
    }
    int value = 0;
    if (!rest.empty() && rest.front() == '=' && ReadNumber(rest.substr(1), value)) variable = value;
}

void ApplyItem(cmcGTex& catalogue, cmcCellObj& cell, std::string_view item) {
    std::string_view value;
    if (!item.empty() && item.front() == '$') {
        // Models are parsed without variables, at this point of the attribute text.
        cmcSheetVariables* variables = cell.variables;
        cell.variables = nullptr;
        ApplyAttributes(catalogue, cell,
                        catalogue.GetLine("CellModel_" + std::string(item.substr(1)), 0));
        cell.variables = variables;
    } else if (StartsWith(item, "Color")) {
        if (ValueAfterEquals(item, value)) FindColor(value, cell.color);
    } else if (StartsWith(item, "Font")) {
        if (!ValueAfterEquals(item, value)) return;
        if (!cell.font)
            cell.font = cell.parent && cell.parent->font ? *cell.parent->font : cmcCellFont();
        ApplyFontDescription(*cell.font, value);
    } else if (StartsWith(item, "%")) {
        ApplyBinding(cell, item.substr(1));
    } else if (StartsWith(item, "@")) {
        ApplyVariableItem(cell, item);
    } else if (StartsWith(item, "ImageIndex")) {
        int number = 0;
        if (ValueAfterEquals(item, value) && ReadNumber(value, number)) cell.imageIndex = number;
    } else if (StartsWith(item, "PopupMenu")) {
        if (ValueAfterEquals(item, value)) cell.popupMenuName = std::string(value);
    } else if (StartsWith(item, "Flag") && item.size() >= 7 && item[5] == '=' &&
               (item[6] == '0' || item[6] == '1') && item[4] >= '0' && item[4] <= '7') {
        cell.SetFlag(item[4] - '0', item[6] == '1');
    }
}

void ApplyFlagLetter(cmcCellObj& cell, char letter, bool negate) {
    auto setLayout = [&](uint8_t bit) {
        cell.layoutFlags =
            static_cast<uint8_t>(negate ? cell.layoutFlags & ~bit : cell.layoutFlags | bit);
    };
    auto setStyle = [&](uint8_t bit) {
        cell.styleFlags =
            static_cast<uint8_t>(negate ? cell.styleFlags & ~bit : cell.styleFlags | bit);
    };
    switch (letter) {
    case '<':
        cell.SetAlignH(0);
        break;
    case '^':
        cell.SetAlignH(1);
        break;
    case '>':
        cell.SetAlignH(2);
        break;
    case '~':
        cell.SetAlignV(0);
        break;
    case '-':
        cell.SetAlignV(1);
        break;
    case '_':
        cell.SetAlignV(2);
        break;
    case 'W':
        setLayout(cmcCellObj::FitWidth);
        break;
    case 'H':
        setLayout(cmcCellObj::FitHeight);
        break;
    case '=':
        setLayout(cmcCellObj::Wrap);
        break;
    case '+':
        setLayout(cmcCellObj::Join);
        break;
    case 'B':
        setStyle(cmcCellObj::BottomRule);
        break;
    case 'X':
        cell.SetRightRule(negate ? 0 : 1);
        break;
    case 'Q':
        cell.SetRightRule(negate ? 0 : 2);
        break;
    case 'S':
        setStyle(cmcCellObj::Selectable);
        break;
    case 'T':
        setStyle(cmcCellObj::Trailing);
        break;
    default:
        break; // blanks, tabs and stray bytes
    }
}

// A font field that is a number, or "%" and a percentage of the current value.
bool FontNumber(std::string_view field, int current, int& result) {
    int number = 0;
    if (!field.empty() && field.front() == '%') {
        if (!ReadNumber(field.substr(1), number)) return false;
        result = static_cast<int>(static_cast<long long>(current) * number / 100);
        if (result == 0) result = 1;
        return true;
    }
    if (!ReadNumber(field, number) || number == 0) return false;
    result = number;
    return true;
}

void ApplyFontStyles(cmcCellFont& font, std::string_view field) {
    bool first = true;
    while (true) {
        const size_t plus = field.find('+');
        int bit = 0;
        if (FindFontStyle(field.substr(0, plus), bit)) {
            if (first) font.style = 0;
            first = false;
            font.style |= bit;
        }
        if (plus == std::string_view::npos) return;
        field.remove_prefix(plus + 1);
    }
}

void ApplyFontField(cmcCellFont& font, int number, std::string_view field) {
    int value = 0;
    switch (number) {
    case 0:
        if (FindCharset(field, value)) font.charset = value;
        break;
    case 1:
        font.face = std::string(SkipBlanks(field));
        break;
    case 2:
        FindColor(field, font.color);
        break;
    case 3:
        if (FontNumber(field, font.height, value)) font.SetHeight(value);
        break;
    case 4:
        if (FontNumber(field, font.size, value)) font.SetSize(value);
        break;
    case 5:
        ApplyFontStyles(font, field);
        break;
    case 6:
        if (FindPitch(field, value)) font.pitch = value;
        break;
    default:
        break;
    }
}

// Hands the parenthesised items of a line to the handler; text outside them is ignored.
void ForEachItem(std::string_view line, const ItemHandler& handler) {
    size_t i = 0;
    while ((i = line.find('(', i)) != std::string_view::npos) {
        const size_t close = line.find(')', i + 1);
        handler(line.substr(i + 1, close == std::string_view::npos ? close : close - i - 1));
        if (close == std::string_view::npos) return;
        i = close + 1;
    }
}

} // namespace

bool ReadNumber(std::string_view text, int& value) {
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !IsDigit(text.front())) return false;
    long long number = 0;
    for (char c : text) {
        if (!IsDigit(c)) break;
        if (number < INT_MAX) number = number * 10 + (c - '0');
    }
    if (number > INT_MAX) number = INT_MAX;
    value = static_cast<int>(negative ? -number : number);
    return true;
}

std::string_view SplitCell(std::string_view row, std::string_view& rest) {
    for (size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '\\') {
            ++i; // the next byte is ordinary
            continue;
        }
        if (row[i] == '|') {
            rest = row.substr(i + 1);
            return row.substr(0, i);
        }
    }
    rest = {};
    return row;
}

std::string_view ParseCell(cmcGTex& catalogue, std::string_view row, cmcCellObj& cell,
                           const cmcCellObj* parent, cmcSheetVariables* variables, bool splitOnly) {
    std::string_view rest;
    const std::string_view text = SplitCell(row, rest);
    if (splitOnly) return rest;

    cell.ResetFromParent(parent);
    std::string attributes;
    std::string plain;
    bool inBraces = false;
    for (char c : text) {
        if (!inBraces && c == '{') {
            inBraces = true;
        } else if (inBraces && c == '}') {
            inBraces = false;
        } else {
            (inBraces ? attributes : plain) += c;
        }
    }
    cell.variables = variables;
    ApplyAttributes(catalogue, cell, attributes);
    cell.templateText = ParseText(plain, variables);
    cell.variables = nullptr;
    return rest;
}

void ApplyAttributes(cmcGTex& catalogue, cmcCellObj& cell, std::string_view attributes) {
    bool negatePending = false;
    for (size_t i = 0; i < attributes.size(); ++i) {
        const char c = attributes[i];
        const bool negate = negatePending;
        negatePending = false; // used up by this byte, whatever it is
        if (c == '\\') {
            ++i;
        } else if (c == '(') {
            size_t end = i + 1;
            while (end < attributes.size() && attributes[end] != ')')
                end += attributes[end] == '\\' ? 2 : 1;
            const size_t stop = end < attributes.size() ? end : attributes.size();
            ApplyItem(catalogue, cell, attributes.substr(i + 1, stop - i - 1));
            i = stop;
        } else if (c == '!') {
            negatePending = true;
        } else {
            ApplyFlagLetter(cell, c, negate);
        }
    }
}

void ApplyFontDescription(cmcCellFont& font, std::string_view description) {
    for (int field = 0; field < 7; ++field) {
        const size_t comma = description.find(',');
        ApplyFontField(font, field, description.substr(0, comma));
        if (comma == std::string_view::npos) return;
        description.remove_prefix(comma + 1);
    }
}

std::string ParseText(std::string_view text, const cmcSheetVariables* variables) {
    while (!text.empty() && IsTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back()))
        text.remove_suffix(1);

    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        if (++i >= text.size()) break;
        const char escaped = text[i];
        if (escaped == 'n' || escaped == 'N') {
            result += '\n';
        } else if (escaped == '_') {
            result += ' ';
        } else if (escaped == '(') {
            const size_t close = text.find(')', i);
            if (close == std::string_view::npos) cmcFatal("Illegal Ch No.");
            const std::string_view inner = text.substr(i + 1, close - i - 1);
            const int number = VariableNumber(inner);
            if (number < 0 || !variables) cmcFatal("Ch No. Error");
            int value = (*variables)[static_cast<size_t>(number)];
            const std::string_view after = SkipBlanks(inner.substr(4));
            int addend = 0;
            if (!after.empty() && after.front() == '+' && ReadNumber(after.substr(1), addend))
                value += addend;
            result += std::to_string(value).substr(0, 6);
            i = close;
        } else {
            result += escaped;
        }
    }
    return result;
}

void ParseStyle(std::string_view line, const ItemHandler& handler) {
    ForEachItem(line, handler);
}

void ParseDirective(std::string_view line, const ItemHandler& handler) {
    if (line.empty() || line.front() != ':') return;
    ForEachItem(line.substr(1), handler);
}

} // namespace cmcLayout
