#pragma once

// The characters of names: text as the user types or a file carries it (UTF-8) against
// the single bytes of the image. The image holds 0x20..0x7E, and for the Japanese program
// of destination 0 also the half-width katakana 0xA1..0xDF (shown as U+FF61..U+FF9F).

#include <optional>
#include <string>
#include <string_view>

// One character of UTF-8 text at pos, moving pos past it; nothing (pos unmoved) for a byte
// that starts no valid sequence.
std::optional<char32_t> cmcDecodeUtf8(std::string_view text, size_t& pos);

// The image bytes of a character in the Japanese text mode: printable ASCII as it is, the
// ideographic space and full-width letters and digits as ASCII, full-width and half-width
// katakana and hiragana as half-width katakana (a voiced sound as its letter and mark).
// Empty for a character the image cannot hold.
std::string cmcHalfWidthForm(char32_t cp);

// The UTF-8 text of one image byte of a name: printable ASCII as it is, half-width
// katakana in the Japanese text mode, anything else a blank.
std::string cmcNameCharacter(unsigned char byte, bool japanese);

// A stored name field as text: each byte as above, trailing blanks removed.
std::string cmcNameFieldText(std::string_view field, bool japanese);
