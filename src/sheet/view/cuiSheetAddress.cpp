#include "sheet/view/cuiSheetAddress.h"

#include "sheet/view/iuiSh_ChNew.h"

#include <functional>

namespace {

using SheetMaker =
    std::function<std::unique_ptr<cuiSheet>(const cuiSheetServices&, const std::string&, QWidget*)>;

template <class Kind> SheetMaker Maker() {
    return [](const cuiSheetServices& services, const std::string& name, QWidget* parent) {
        return std::unique_ptr<cuiSheet>(std::make_unique<Kind>(services, name, parent));
    };
}

struct clsSheetKind {
    const char* name;
    SheetMaker make;
};

// The sheet classes by kind. The list kinds of every size share one class; a kind that is
// not here ("St_ChBank" is reserved but names no class) opens a plain sheet.
const clsSheetKind& KindOf(const std::string& name) {
    static const clsSheetKind kinds[] = {
        {"", Maker<cuiSheet>()},
        {"St_Common", Maker<iuiSh_Common>()},
        {"St_ColCut", Maker<iuiSh_ChNew>()},
        {"St_ChNew", Maker<iuiSh_ChNew>()},
        {"St_CNBank", Maker<iuiSh_ChBank>()},
        {"St_CCBank", Maker<iuiSh_ColCutBank>()},
    };
    for (const clsSheetKind& kind : kinds)
        if (name == kind.name) return kind;
    return kinds[0];
}

} // namespace

// The address splits at its first comma; in the part before it, a "[" followed later by a
// "]" encloses the kind, and the key is what follows the "]".
cuiSheetAddress cuiParseSheetAddress(const std::string& address) {
    cuiSheetAddress parsed;
    const size_t comma = address.find(',');
    std::string sheetPart = address.substr(0, comma);
    if (comma != std::string::npos) parsed.argument = address.substr(comma + 1);
    const size_t open = sheetPart.find('[');
    const size_t close = open == std::string::npos ? open : sheetPart.find(']', open + 1);
    if (close != std::string::npos) {
        parsed.kind = sheetPart.substr(open + 1, close - open - 1);
        sheetPart = sheetPart.substr(close + 1);
    }
    parsed.layoutName = sheetPart;
    return parsed;
}

std::unique_ptr<cuiSheet> cuiCreateSheet(const std::string& address,
                                         const cuiSheetServices& services, QWidget* parent) {
    const cuiSheetAddress parsed = cuiParseSheetAddress(address);
    std::unique_ptr<cuiSheet> sheet = KindOf(parsed.kind).make(services, parsed.layoutName, parent);
    sheet->SetAddress(address);
    sheet->SetArgument(parsed.argument);
    return sheet;
}
