#include "sheet/view/cuiSheetAddress.h"

#include "platform/cmcPlatform.h"
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

const clsSheetKind& KindOf(const std::string& name) {
    static const clsSheetKind kinds[] = {
        {"", Maker<cuiSheet>()},
        {"St_ColCut", Maker<iuiSh_ColCut>()},
        {"St_ColCut_A", Maker<iuiSh_ColCut_A>()},
        {"St_ColCutBank", Maker<iuiSh_ColCutBank>()},
        {"St_Common", Maker<iuiSh_Common>()},
        {"St_ChNew", Maker<iuiSh_ChNew>()},
        {"St_CNBank", Maker<iuiSh_ChBank>()},
    };
    for (const clsSheetKind& kind : kinds)
        if (name == kind.name) return kind;
    cmcFatal("Illegal Sheet Type : " + name);
}

} // namespace

cuiSheetAddress cuiParseSheetAddress(const std::string& address) {
    cuiSheetAddress parsed;
    std::string rest = address;
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close != std::string::npos) {
            parsed.kind = rest.substr(1, close - 1);
            rest = rest.substr(close + 1);
        }
    }
    const size_t comma = rest.find(',');
    parsed.layoutName = rest.substr(0, comma);
    if (comma != std::string::npos) parsed.argument = rest.substr(comma + 1);
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
