#include "files/cmcCsvNames.h"

#include "model/cmcNameText.h"

#include <cstdint>
#include <optional>

namespace {

bool isKatakana(uint8_t c) {
    return c >= 0xA1 && c <= 0xDF;
}

} // namespace

clsCsvName CsvNameToImage(std::string_view text, bool japaneseText) {
    clsCsvName name;
    size_t pos = 0;
    while (pos < text.size()) {
        uint8_t raw = static_cast<uint8_t>(text[pos]);
        std::optional<char32_t> cp = cmcDecodeUtf8(text, pos);
        if (!cp) {
            ++pos;
            if (japaneseText && isKatakana(raw)) {
                name.bytes += static_cast<char>(raw);
            } else {
                name.bytes += ' ';
                name.replaced = true;
            }
            continue;
        }
        std::string narrow = japaneseText || *cp < 0x80 ? cmcHalfWidthForm(*cp) : std::string();
        if (narrow.empty()) {
            name.bytes += ' ';
            name.replaced = true;
        } else {
            name.bytes += narrow;
        }
    }
    return name;
}

std::string CsvNameFromImage(std::string_view bytes, bool japaneseText) {
    std::string text;
    for (char c : bytes) {
        uint8_t byte = static_cast<uint8_t>(c);
        if (byte == 0) break;
        text += c == ',' || c == ';' ? std::string(" ") : cmcNameCharacter(byte, japaneseText);
    }
    return text;
}
