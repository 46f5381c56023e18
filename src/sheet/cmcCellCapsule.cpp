#include "sheet/cmcCellCapsule.h"

#include "platform/cmcPlatform.h"

#include <cstdlib>

namespace {
cmcCellLogicFunction& InstalledLogic() {
    static cmcCellLogicFunction logic;
    return logic;
}
} // namespace

bool cmcCellCapsule::RepaintCovers(int mask, const cmcCellObj& changed, const cmcCellObj& other) {
    const bool hasLogic = other.logicId != CL_None;
    const bool bound = hasLogic && changed.cellType != CT_None;
    const bool sameLogic = other.logicId == changed.logicId;
    if ((mask & 0x01) && sameLogic && other.index == changed.index) return true;
    if ((mask & 0x02) && other.cellType == changed.cellType) return true;
    if ((mask & 0x04) && sameLogic) return true;
    if ((mask & 0x08) && bound && other.index == changed.index) return true;
    if ((mask & 0x10) && hasLogic && other.cellType == changed.cellType &&
        std::abs(static_cast<long long>(other.index) - changed.index) <= 1)
        return true;
    if ((mask & 0x20) && hasLogic) return true;
    if ((mask & 0x40) && bound && other.index >= changed.index) return true;
    if ((mask & 0x80) && bound && other.index <= changed.index) return true;
    return false;
}

namespace cmcCellLogic {

void Install(cmcCellLogicFunction logic) {
    InstalledLogic() = std::move(logic);
}

bool IsInstalled() {
    return static_cast<bool>(InstalledLogic());
}

int Run(indActiveCell& context, cmcCellCapsule& capsule, bool notify) {
    if (!InstalledLogic()) cmcFatal("No cell logic is installed.");
    return InstalledLogic()(context, capsule, notify);
}

int QueryValue(cmcCellObj& cell, int keyCode) {
    indActiveCell context;
    cmcCellCapsule capsule;
    capsule.cell = &cell;
    capsule.keyCode = keyCode;
    return Run(context, capsule, false);
}

std::string QueryDisplayText(cmcCellObj& cell, int keyCode) {
    indActiveCell context;
    cmcCellCapsule capsule;
    capsule.cell = &cell;
    capsule.keyCode = keyCode;
    Run(context, capsule, false);
    return capsule.displayText;
}

} // namespace cmcCellLogic
