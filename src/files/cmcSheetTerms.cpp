#include "files/cmcSheetTerms.h"

#include "catalogue/cmcGTex.h"
#include "files/cmcCsvColumns.h"
#include "files/cmcCsvValues.h"
#include "model/cmcFCache.h"
#include "model/indCellLogic.h"
#include "sheet/cmcCellNames.h"
#include "sheet/cmcSheetLayout.h"

#include <memory>
#include <optional>

namespace {

// A column a comparison tells, the sheet cell that shows it, and the CSV spellings of its
// values. A pseudo column is one the comparison adds to a CSV kind's rows.
struct TermSource {
    int kind;
    std::optional<CsvColumn> column;
    const char* pseudo; // the column's name when it is not a CSV column
    const char* sheet;
    int logicId;
    const CsvSpellingList* spellings = nullptr;
    int pickListOf = CL_None; // the cell whose pick list shows the values; none: logicId's
};

constexpr const char* Memory = "GI_Sheet_MemoryCH";
constexpr const char* AutoWrite = "GI_Sheet_AutoMWCH";
constexpr const char* Edges = "GI_Sheet_ScanEdge";
constexpr const char* BankCh = "GI_Sheet_BasicCHSrch";
constexpr const char* BankPg = "GI_Sheet_BasicPGSrch";
constexpr const char* Categories = "GI_Sheet_CategoryOp";
constexpr const char* Groups = "GI_Sheet_BankOp";

using C = CsvColumn;
using namespace csvkind;

const TermSource Sources[] = {
    // A group's channels, their names and the category and group columns.
    {Mch, C::NameName, nullptr, Memory, CL_Mch_Name_Name},
    {Mch, C::NameNumber, nullptr, Memory, CL_Mch_Name_Num},
    {Mch, C::NameSkip, nullptr, Memory, CL_Mch_Name_Skip, &csvlist::Skip, CL_CategoryOP_Skip},
    {Mch, {}, "Channels", Memory, CL_Misc_ChNo_Mch},
    {Mch, C::Frequency, nullptr, Memory, CL_Mch_Freq},
    {Mch, C::Dup, nullptr, Memory, CL_Mch_Dup, &csvlist::Dup},
    {Mch, C::Offset, nullptr, Memory, CL_Mch_Offset_Freq},
    {Mch, C::Step, nullptr, Memory, CL_Mch_TS_Pitch, &csvlist::Step},
    {Mch, C::Mode, nullptr, Memory, CL_Mch_Mode, &csvlist::Mode},
    {Mch, C::Att, nullptr, Memory, CL_Mch_Att, &csvlist::Att},
    {Mch, C::Skip, nullptr, Memory, CL_Mch_Scan_Skip, &csvlist::Skip},
    {Mch, C::Priority, nullptr, Memory, CL_Mch_Prio, &csvlist::OffOn},
    {Mch, C::StopBeep, nullptr, Memory, CL_Mch_Stop_Beep, &csvlist::OffOn},
    {Mch, C::ToneMode, nullptr, Memory, CL_Mch_Decode, &csvlist::ToneMode},
    {Mch, C::Tone, nullptr, Memory, CL_Mch_TSQL_Freq, &csvlist::Tone},
    {Mch, C::DtcsCode, nullptr, Memory, CL_Mch_DTCS, &csvlist::Dtcs},
    {Mch, C::DtcsPolarity, nullptr, Memory, CL_Mch_DTCS_Polarity, &csvlist::Polarity},
    {Mch, C::Canceller, nullptr, Memory, CL_Mch_Decode_RX, &csvlist::Canceller},
    {Mch, C::CancellerFrequency, nullptr, Memory, CL_Mch_Air_Freq},
    {Mch, C::Vsc, nullptr, Memory, CL_Mch_Vsc, &csvlist::OffOn},
    {Mch, C::CategoryIcon, nullptr, Categories, CL_CategoryOP_Icon, &csvlist::Icon},
    {Mch, C::CategoryDirectKey, nullptr, Categories, CL_CategoryOP_DirectKey},
    {Mch, C::CategoryLink, nullptr, Categories, CL_CategoryOP_Link, &csvlist::OffOn},
    {Mch, C::CategorySkip, nullptr, Categories, CL_CategoryOP_Skip, &csvlist::Skip},
    {Mch, C::GroupDirectKey, nullptr, Groups, CL_GroupOP_DirectKey},
    {Mch, C::GroupLink, nullptr, Groups, CL_GroupOP_Link, &csvlist::OffOn},
    {Mch, C::GroupSkip, nullptr, Groups, CL_GroupOP_Skip, &csvlist::Skip},
    // Auto-write channels.
    {AutoMWCH, C::Frequency, nullptr, AutoWrite, CL_AutoMWCH_Freq},
    {AutoMWCH, C::Dup, nullptr, AutoWrite, CL_AutoMWCH_Dup, &csvlist::Dup},
    {AutoMWCH, C::Offset, nullptr, AutoWrite, CL_AutoMWCH_Offset_Freq},
    {AutoMWCH, C::Step, nullptr, AutoWrite, CL_AutoMWCH_TS_Pitch, &csvlist::Step},
    {AutoMWCH, C::Mode, nullptr, AutoWrite, CL_AutoMWCH_Mode, &csvlist::Mode},
    {AutoMWCH, C::Att, nullptr, AutoWrite, CL_AutoMWCH_Att, &csvlist::Att},
    {AutoMWCH, C::ToneMode, nullptr, AutoWrite, CL_AutoMWCH_Decode, &csvlist::ToneMode},
    {AutoMWCH, C::Tone, nullptr, AutoWrite, CL_AutoMWCH_TSQL_Freq, &csvlist::Tone},
    {AutoMWCH, C::DtcsCode, nullptr, AutoWrite, CL_AutoMWCH_DTCS, &csvlist::Dtcs},
    {AutoMWCH, C::DtcsPolarity, nullptr, AutoWrite, CL_AutoMWCH_DTCS_Polarity, &csvlist::Polarity},
    {AutoMWCH, C::Canceller, nullptr, AutoWrite, CL_AutoMWCH_Decode_RX, &csvlist::Canceller},
    {AutoMWCH, C::CancellerFrequency, nullptr, AutoWrite, CL_AutoMWCH_Air_Freq},
    {AutoMWCH, C::Vsc, nullptr, AutoWrite, CL_AutoMWCH_Vsc, &csvlist::OffOn},
    // Program-search edges and their links.
    {PgSrch, C::Name, nullptr, Edges, CL_PgSrch_Name},
    {PgSrch, C::FrequencyLow, nullptr, Edges, CL_PgSrch_Freq_Low},
    {PgSrch, C::Frequency, nullptr, Edges, CL_PgSrch_Freq_High},
    {PgSrch, C::Step, nullptr, Edges, CL_PgSrch_TS, &csvlist::Step},
    {PgSrch, C::Mode, nullptr, Edges, CL_PgSrch_Mode, &csvlist::Mode},
    {PgSrch, C::Att, nullptr, Edges, CL_PgSrch_ATT, &csvlist::Att},
    {termkind::Link, {}, "Name", "GI_Sheet_ScanLink_Name", CL_PgLink_Name},
    {termkind::Link, {}, "Edges", "GI_Sheet_ScanLink", CL_PgLink_No},
    // Basic-search banks and their entries.
    {termkind::Bank, {}, "Icon", "GI_Sheet_BasicOp", CL_BasicOp_Icon, &csvlist::Icon},
    {BasicCh, C::Frequency, nullptr, BankCh, CL_Basic_ChSrch_Freq},
    {BasicCh, C::Name, nullptr, BankCh, CL_Basic_ChSrch_Name},
    {BasicCh, C::Mode, nullptr, BankCh, CL_Basic_ChSrch_Mode, &csvlist::Mode},
    {BasicPg, C::FrequencyLow, nullptr, BankPg, CL_Basic_PgSrch_Freq_Low},
    {BasicPg, C::Frequency, nullptr, BankPg, CL_Basic_PgSrch_Freq_High},
    {BasicPg, C::Step, nullptr, BankPg, CL_Basic_PgSrch_TS, &csvlist::Step},
    {BasicPg, C::Mode, nullptr, BankPg, CL_Basic_PgSrch_Mode, &csvlist::Mode},
};

std::string Trimmed(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The heading over the column of the first cell of logicId: the lowest heading row's text,
// after the text of a joined heading above it ("Tone Squelch, TSQL").
std::string HeadingOf(const cmcSheetLayout& sheet, int logicId) {
    const int headingRows = sheet.GetStyle().fixedRows;
    for (int row = headingRows; row < sheet.Rows(); ++row) {
        for (int column = 0; column < sheet.Columns(); ++column) {
            if (sheet.Cell(column, row).logicId != logicId) continue;
            if (headingRows == 0) return {};
            const std::string lower = Trimmed(sheet.Cell(column, headingRows - 1).templateText);
            if (headingRows < 2) return lower;
            int first = column;
            while (first > 0 && sheet.Cell(first, 0).HasLayout(cmcCellObj::Join))
                --first;
            const bool joined = first < column || (column + 1 < sheet.Columns() &&
                                                   sheet.Cell(column + 1, 0).HasLayout(cmcCellObj::Join));
            const std::string upper = Trimmed(sheet.Cell(first, 0).templateText);
            if (lower.empty()) return upper;
            if (!joined || upper.empty() || upper == lower) return lower;
            return upper + ", " + lower;
        }
    }
    return {};
}

// The shown text of each CSV spelling of the list, through the cell's pick list.
std::map<std::string, std::string> ValuesOf(const CsvSpellingList& spellings, int logicId) {
    std::map<std::string, std::string> values;
    std::string list;
    int kind = 0;
    if (!CellPickList(logicId, list, kind)) return values;
    int lines = 0;
    const std::vector<cmcFlexItem> items = cmcFCache::ReadCatalogueList(list, kind, lines);
    for (const clsCsvSpelling& spelling : spellings)
        for (const cmcFlexItem& item : items)
            if (item.value == spelling.code && !values.count(std::string(spelling.text)))
                values.emplace(spelling.text, item.text);
    return values;
}

} // namespace

cmcSheetTerms::cmcSheetTerms() {
    std::map<std::string, std::unique_ptr<cmcSheetLayout>> sheets;
    for (const TermSource& source : Sources) {
        auto& sheet = sheets[source.sheet];
        if (!sheet) {
            sheet = std::make_unique<cmcSheetLayout>(cmcGTex::Process(), source.sheet);
            sheet->Build();
        }
        const std::string name =
            source.column ? std::string(CsvColumnName(*source.column,
                                                      clsCsvFlags::ForKind(source.kind, 0)))
                          : source.pseudo;
        Term& term = terms_[{source.kind, name}];
        term.heading = HeadingOf(*sheet, source.logicId);
        if (source.spellings)
            term.values = ValuesOf(*source.spellings, source.pickListOf != CL_None
                                                          ? source.pickListOf
                                                          : source.logicId);
    }
}

std::string cmcSheetTerms::Heading(int kind, const std::string& column) const {
    const auto found = terms_.find({kind, column});
    return found == terms_.end() || found->second.heading.empty() ? column
                                                                   : found->second.heading;
}

std::string cmcSheetTerms::Value(int kind, const std::string& column,
                                 const std::string& value) const {
    const auto found = terms_.find({kind, column});
    if (found == terms_.end()) return value;
    const auto shown = found->second.values.find(value);
    return shown == found->second.values.end() ? value : shown->second;
}
