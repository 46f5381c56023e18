#include "files/cmcTsvTransfer.h"

#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "files/cmcCsvExport.h"
#include "files/cmcLoadFile.h"
#include "model/cmcOrganisation.h"
#include "model/datClipCh.h"
#include "platform/cmcPlatform.h"

#include <vector>

namespace {

constexpr char Tab = '\t';

cmcTextClipboard* desktopClipboard() {
    return cmcPlatform::get().clipboard;
}

// The lists whose rows paste from a spreadsheet: those the CSV import overwrites.
bool takesRows(uint32_t kind) {
    return kind == datKind::Mch || kind == datKind::PgSrch;
}

} // namespace

cmcTsvTransfer::cmcTsvTransfer(std::function<clsCsvReadOptions()> options)
    : options_(std::move(options)) {}

clsCsvReadOptions cmcTsvTransfer::Options() const {
    clsCsvReadOptions options = options_ ? options_() : clsCsvReadOptions{};
    options.separators.field = Tab;
    return options;
}

void cmcTsvTransfer::Copied(const cmcOrganisation& organisation, uint32_t kind, int index,
                            int first, int count) {
    cmcTextClipboard* clipboard = desktopClipboard();
    if (!clipboard || !CsvCanExport(int(kind))) return;
    const clsCsvReadOptions read = Options();
    clsCsvWriteOptions options;
    options.separators = read.separators;
    options.japaneseText = read.japaneseText;
    options.lineEnd = "\n";
    own_ = CsvExportRowsText(organisation, int(kind), index, first, first + count - 1, options);
    clipboard->setText(own_);
}

std::string cmcTsvTransfer::ForeignText() const {
    cmcTextClipboard* clipboard = desktopClipboard();
    if (!clipboard) return {};
    std::string text = clipboard->text();
    if (text == own_ || text.find(Tab) == std::string::npos) return {};
    return text;
}

bool cmcTsvTransfer::HoldsForeignRows(uint32_t kind) {
    return takesRows(kind) && !ForeignText().empty();
}

cmcLoadFile cmcTsvTransfer::ForeignLines(const cmcOrganisation& organisation, int kind) const {
    const std::string text = ForeignText();
    cmcLoadFile lines;
    lines.LoadText(text);
    cmcCsvRowReader reader(kind, Options());
    if (lines.Count() == 0 || reader.ReadHeader(lines.LineAt(0))) return lines;
    // A first line that starts with a row number is a row: the heading was not copied.
    // Anything else is a heading without the required columns, refused as the import
    // refuses it.
    const std::vector<std::string> first = CsvSplitFields(lines.LineAt(0), Tab);
    if (first.empty() || !CsvParseInteger(first.front(), 0, cmcCsvRowReader::RowNumberLimit(kind)))
        return lines;
    clsCsvWriteOptions options;
    options.separators = Options().separators;
    // The export of no rows is the heading line alone.
    lines.LoadText(CsvExportRowsText(organisation, kind, -1, 0, -1, options) + text);
    return lines;
}

void cmcTsvTransfer::ReadForeignRows(const cmcOrganisation& organisation, uint32_t kind,
                                     cmcClipCh& into) {
    read_ = {};
    std::vector<datCh> records;
    if (takesRows(kind)) {
        const cmcLoadFile lines = ForeignLines(organisation, int(kind));
        cmcCsvRowReader reader(int(kind), Options());
        read_.accepted = reader.ReadHeader(lines.LineAt(0));
        datCh record = organisation.Record();
        Bank_Info info;
        for (int i = 1; read_.accepted && i < lines.Count(); ++i) {
            if (CsvTrim(lines.LineAt(i)).empty()) continue;
            const int row =
                reader.ReadRow(lines.LineAt(i), record, read_.discarded, read_.corrected, info);
            // A blank edge empties its edge, as in the import; a blank channel is no row.
            if (row == CsvRefusedRow || (!record.InUse() && kind != datKind::PgSrch)) continue;
            records.push_back(record);
        }
    }
    read_.imported = static_cast<int>(records.size());
    into.Hold(kind, std::move(records));
}

void cmcTsvTransfer::ShowReadSummary() {
    CsvShowImportSummary(read_);
}

int cmcTsvTransfer::AddForeignRows(cmcOrganisation& organisation, cmcEvMan& events, int group) {
    const cmcLoadFile lines = ForeignLines(organisation, csvkind::Mch);
    const clsCsvImportResult result =
        CsvImportLines(lines, organisation, events, csvkind::Mch, group, false, Options());
    if (result.accepted) {
        organisation.RecountNames(group); // the names the sheet's title counts
        events.Post(ev::RepaintAll);
        events.Send(ev::SheetTitle);
    }
    CsvShowImportSummary(result);
    return result.imported;
}
