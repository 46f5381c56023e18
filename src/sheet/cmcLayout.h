#pragma once

#include "sheet/cmcCellObj.h"

#include <functional>
#include <string>
#include <string_view>

class cmcGTex;

// The layout language of sheets, cell models, menus and trees. A row of a sheet is split into
// cells at unescaped "|"; in a cell, the bytes inside "{...}" are its attribute part (flag
// letters and parenthesised items) and the rest is its text. Bytes of 0x80 and above are
// never mark-up, so UTF-8 text can never be taken for it. Faults in the mark-up are faults of
// the program's own data: they show the fatal box and end the process.
namespace cmcLayout {

// Cuts the first cell off the row text and returns the rest. Unless only the split is
// asked for, the cell is reset from its parent and parsed; variables may be none.
std::string_view ParseCell(cmcGTex& catalogue, std::string_view row, cmcCellObj& cell,
                           const cmcCellObj* parent, cmcSheetVariables* variables,
                           bool splitOnly = false);

// The first cell's text of a row, and the rest after its "|".
std::string_view SplitCell(std::string_view row, std::string_view& rest);

// Applies flag letters and items to the cell (the part in braces, and cell models).
void ApplyAttributes(cmcGTex& catalogue, cmcCellObj& cell, std::string_view attributes);

// Applies a font description ("DEFAULT_CHARSET,,clWhite,-17,,fsBold,") to a font.
void ApplyFontDescription(cmcCellFont& font, std::string_view description);

// The text part after trimming and escapes; the variables are needed only by "\(@chN)".
std::string ParseText(std::string_view text, const cmcSheetVariables* variables);

// Hands each parenthesised item of a style line, or of a directive line (which begins with
// ":"), to the handler.
using ItemHandler = std::function<void(std::string_view item)>;
void ParseStyle(std::string_view line, const ItemHandler& handler);
void ParseDirective(std::string_view line, const ItemHandler& handler);

// Reads a decimal number after optional blanks and a sign; false when there is none.
bool ReadNumber(std::string_view text, int& value);

} // namespace cmcLayout
