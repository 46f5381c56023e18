#include "files/cmcCsvColumns.h"

namespace {

// Which flag brings a column in.
enum class Needs { Always, Organisation, Name, Edges, ChannelSettings, Canceller };

struct ColumnInfo {
    std::string_view name;
    Needs needs;
};

constexpr std::array<ColumnInfo, CsvColumnCount> Columns = {{
    {"CH No", Needs::Always},
    {"Category Icon", Needs::Organisation},
    {"Category Name", Needs::Organisation},
    {"Category Direct Key", Needs::Organisation},
    {"Category Link", Needs::Organisation},
    {"Category Skip", Needs::Organisation},
    {"Group No", Needs::Organisation},
    {"Group Name", Needs::Organisation},
    {"Group Direct Key", Needs::Organisation},
    {"Group Link", Needs::Organisation},
    {"Group Skip", Needs::Organisation},
    {"Name No", Needs::Organisation},
    {"Name Name", Needs::Organisation},
    {"Name Number", Needs::Organisation},
    {"Name Skip", Needs::Organisation},
    {"Name", Needs::Name},
    {"Frequency Low", Needs::Edges},
    {"Frequency", Needs::Always},
    {"Dup", Needs::ChannelSettings},
    {"Offset", Needs::ChannelSettings},
    {"TS", Needs::Always},
    {"Mode", Needs::Always},
    {"ATT", Needs::Always},
    {"SKIP", Needs::Organisation},
    {"PRIO", Needs::Organisation},
    {"STOP BEEP", Needs::Organisation},
    {"TONE", Needs::ChannelSettings},
    {"TSQL Frequency", Needs::ChannelSettings},
    {"DTCS Code", Needs::ChannelSettings},
    {"DTCS Polarity", Needs::ChannelSettings},
    {"Canceller", Needs::Canceller},
    {"Canceller Frequency", Needs::Canceller},
    {"VSC", Needs::ChannelSettings},
}};

} // namespace

clsCsvFlags clsCsvFlags::ForKind(int kind, int destination) {
    using namespace csvkind;
    clsCsvFlags flags;
    flags.organisation = kind == Mch || kind == Category || kind == Group;
    flags.channelNumber = kind != PgSrch && kind != BasicPg;
    flags.name = kind == PgSrch || kind == BasicCh;
    flags.edges = kind == PgSrch || kind == BasicPg;
    flags.channelSettings = kind == Mch || kind == AutoMWCH || kind == Category || kind == Group;
    flags.canceller = flags.channelSettings && destination == 0;
    flags.stepCheck = kind != BasicCh;
    flags.attCheck = kind != BasicCh && kind != BasicPg;
    return flags;
}

std::string_view CsvColumnName(CsvColumn column, const clsCsvFlags& flags) {
    if (column == CsvColumn::ChNo && !flags.channelNumber) return "No";
    if (column == CsvColumn::Frequency && flags.edges) return "Frequency High";
    return Columns[static_cast<size_t>(column)].name;
}

bool CsvColumnPresent(CsvColumn column, const clsCsvFlags& flags) {
    switch (Columns[static_cast<size_t>(column)].needs) {
    case Needs::Always:
        return true;
    case Needs::Organisation:
        return flags.organisation;
    case Needs::Name:
        return flags.name;
    case Needs::Edges:
        return flags.edges;
    case Needs::ChannelSettings:
        return flags.channelSettings;
    case Needs::Canceller:
        return flags.canceller;
    }
    return false;
}

int CsvKindOfBinding(std::string_view binding) {
    struct Binding {
        std::string_view name;
        int kind;
    };
    static constexpr Binding Bindings[] = {
        {"CategoryOp", csvkind::Category}, {"Category", csvkind::Group},
        {"Group", csvkind::Mch},           {"ScanEdge", csvkind::PgSrch},
        {"AutoMWCH", csvkind::AutoMWCH},   {"BasicOp", csvkind::BasicBank},
        {"Basic", csvkind::BasicCh},       {"BasicCH", csvkind::BasicCh},
        {"BasicPG", csvkind::BasicPg},
    };
    for (const Binding& entry : Bindings)
        if (entry.name == binding) return entry.kind;
    return csvkind::None;
}

bool CsvSheetFromName(std::string_view sheet, int& kind, int& index) {
    struct Sheet {
        std::string_view name;
        int kind;
        bool numbered;
    };
    static constexpr Sheet Sheets[] = {
        {"categories", csvkind::Category, false},
        {"category", csvkind::Group, true},
        {"group", csvkind::Mch, true},
        {"edges", csvkind::PgSrch, false},
        {"link", csvkind::None, true},
        {"autowrite", csvkind::AutoMWCH, false},
        {"banks", csvkind::BasicBank, false},
        {"bank-ch", csvkind::BasicCh, true},
        {"bank-pg", csvkind::BasicPg, true},
        {"common", csvkind::None, false},
    };
    const size_t colon = sheet.find(':');
    const std::string_view name = sheet.substr(0, colon);
    for (const Sheet& entry : Sheets) {
        if (entry.name != name || entry.numbered != (colon != std::string_view::npos)) continue;
        kind = entry.kind;
        index = 0;
        if (!entry.numbered) return true;
        std::string_view digits = sheet.substr(colon + 1);
        if (digits.empty() || digits.size() > 4) return false;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            index = index * 10 + (c - '0');
        }
        return true;
    }
    return false;
}
