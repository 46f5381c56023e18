// Reading the items of a pick list from the catalogue, with the sheet engine's own layout
// parser, so loops and directives of the list count exactly as on screen.

#include "catalogue/cmcGTex.h"
#include "model/cmcFCache.h"
#include "sheet/cmcSheetLayout.h"

std::vector<cmcFlexItem> cmcFCache::ReadCatalogueList(const std::string& list, int kind,
                                                      int& lineCount) {
    cmcSheetLayout layout(cmcGTex::Process(), list);
    layout.Build();
    lineCount = layout.Rows();
    std::vector<cmcFlexItem> items;
    for (int row = 0; row < layout.Rows(); ++row) {
        for (int column = 0; column < layout.Columns(); ++column) {
            const cmcCellObj& cell = layout.Cell(column, row);
            if (cell.logicId != kind) continue;
            items.push_back({row, column, cell.index,
                             cell.templateText.empty() ? cell.keyText : cell.templateText});
        }
    }
    return items;
}
