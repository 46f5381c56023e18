#pragma once

// Names between CSV text (UTF-8) and the single bytes of the image. The image allows
// 0x20..0x7E, and in the Japanese text mode also the half-width katakana 0xA1..0xDF,
// which files carry as U+FF61..U+FF9F.

#include <string>
#include <string_view>

struct clsCsvName {
    std::string bytes;     // image bytes, one per character
    bool replaced = false; // some character had no place in the image and became a blank
};

// Reads a name from file text. Each character outside the allowed set becomes one blank.
// In the Japanese text mode full-width letters, digits and katakana (and hiragana) are
// first turned into their half-width forms, and a lone byte 0xA1..0xDF (a Shift-JIS file)
// is taken as it stands.
clsCsvName CsvNameToImage(std::string_view text, bool japaneseText);

// Writes image bytes as file text, up to the first NUL. Bytes that have no character in
// the image's set become blanks, and so do "," and ";" (fields are never quoted).
std::string CsvNameFromImage(std::string_view bytes, bool japaneseText);
