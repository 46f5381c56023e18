#include "model/cmcFind.h"

#include "model/cmcEeprom.h"
#include "model/cmcFrequency.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcNameText.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "sheet/cmcCellNames.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (static_cast<unsigned char>(c) < 0x80)
            c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// The text as the sheets would show it once typed into a name: full-width letters, digits
// and blanks as ASCII, katakana and hiragana as half-width katakana. Anything a name cannot
// hold stays as typed.
std::string displayForm(std::string_view text) {
    std::string form;
    for (size_t pos = 0; pos < text.size();) {
        const size_t start = pos;
        const std::optional<char32_t> cp = cmcDecodeUtf8(text, pos);
        if (!cp) {
            form += text[pos++];
            continue;
        }
        const std::string bytes = cmcHalfWidthForm(*cp);
        if (bytes.empty()) {
            form += text.substr(start, pos - start);
            continue;
        }
        for (char byte : bytes)
            form += cmcNameCharacter(static_cast<unsigned char>(byte), true);
    }
    return form;
}

// Digits with at most one decimal point or comma, as a frequency cell takes them.
bool looksLikeMegahertz(std::string_view text) {
    int digits = 0, points = 0;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            ++digits;
        else if (c == '.' || c == ',')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

// The sheets that show searched cells, by the address's sheet name or binding word.
enum class Sheet {
    None,
    Categories,
    Groups,
    Channels,
    Edges,
    LinkNames,
    AutoWrite,
    Banks,
    BankPrograms,
    BankChannels,
    Common
};

struct clsSheetOf {
    Sheet sheet = Sheet::None;
    int number = 0; // the number after the binding word
};

clsSheetOf sheetOf(const std::string& address) {
    const size_t comma = address.find(',');
    const std::string part = address.substr(0, comma);
    const size_t close = part.find(']');
    const std::string key = close == std::string::npos ? part : part.substr(close + 1);
    if (key == "GI_Sheet_ScanLink_Name") return {Sheet::LinkNames};
    if (key == "GI_Sheet_Common") return {Sheet::Common};
    if (comma == std::string::npos) return {};
    const std::string binding = address.substr(comma + 1);
    const size_t blank = binding.find(' ');
    const std::string word = binding.substr(0, blank);
    int number = 0;
    if (blank != std::string::npos) {
        const std::string digits = binding.substr(blank + 1);
        if (digits.empty() || !std::all_of(digits.begin(), digits.end(), ::isdigit) ||
            digits.size() > 5)
            return {};
        number = std::stoi(digits);
    }
    static const struct {
        const char* word;
        Sheet sheet;
    } words[] = {{"CategoryOp", Sheet::Categories}, {"Category", Sheet::Groups},
                 {"Group", Sheet::Channels},        {"ScanEdge", Sheet::Edges},
                 {"AutoMWCH", Sheet::AutoWrite},    {"BasicOp", Sheet::Banks},
                 {"BasicPG", Sheet::BankPrograms},  {"BasicCH", Sheet::BankChannels}};
    for (const auto& entry : words)
        if (word == entry.word) return {entry.sheet, number};
    return {};
}

// The list whose branch numbers the sheet's address carries.
char positionKind(Sheet sheet) {
    switch (sheet) {
    case Sheet::Groups:
        return 'C';
    case Sheet::Channels:
        return 'G';
    case Sheet::BankPrograms:
    case Sheet::BankChannels:
        return 'B';
    default:
        return 0;
    }
}

// Walks one sheet's searched cells in display order and collects the matches.
class clsSheetSearch {
  public:
    clsSheetSearch(const cmcOrganisation& organisation, const cmcFindQuery& query,
                   bool japaneseText, const std::string& address,
                   std::vector<clsFindMatch>& matches)
        : org_(organisation), query_(query), japanese_(japaneseText), address_(address),
          matches_(matches), record_(organisation.Record()) {}

    void Run(Sheet sheet, int position) {
        switch (sheet) {
        case Sheet::Categories:
            for (int c = 0; c < org_.CategoryCount(); ++c)
                Name(CL_CategoryOP_Name, c, datKind::Category, c);
            break;
        case Sheet::Groups:
            if (position < 0 || position >= org_.CategoryCount()) break;
            for (int g = org_.FirstGroupOfCategory(position);
                 g < org_.FirstGroupOfCategory(position) + org_.GroupsOfCategory(position); ++g)
                Name(CL_GroupOP_Name, g, datKind::Group, g);
            break;
        case Sheet::Channels:
            if (position >= 0 && position < org_.GroupCount()) Channels(position);
            break;
        case Sheet::Edges:
            for (int e = 0; e < memmap::Edges; ++e)
                Edge(CL_PgSrch_Name, CL_PgSrch_Freq_Low, CL_PgSrch_Freq_High, datKind::PgSrch, e);
            break;
        case Sheet::LinkNames:
            for (int link = 0; link < memmap::Links; ++link)
                Text(CL_PgLink_Name, link,
                     Bytes(memmap::LinkNameAddress(link), memmap::NameLength));
            break;
        case Sheet::AutoWrite:
            AutoWrite();
            break;
        case Sheet::Banks:
            for (int b = 0; b < org_.BankCount(); ++b)
                Name(CL_BasicOp_Name, b, datKind::BasicBank, b);
            break;
        case Sheet::BankPrograms:
            if (position < 0 || position >= org_.BankCount()) break;
            for (int i = 0; i < org_.BankPgCount(position); ++i)
                Edge(0, CL_Basic_PgSrch_Freq_Low, CL_Basic_PgSrch_Freq_High, datKind::BasicPg,
                     position * cmcOrganisation::MaxBankPgEntries + i);
            break;
        case Sheet::BankChannels:
            if (position >= 0 && position < org_.BankCount()) BankChannels(position);
            break;
        case Sheet::Common:
            Text(CL_Common_CLONE_COMMENT, 0, Bytes(memmap::CloneComment, memmap::NameLength));
            break;
        case Sheet::None:
            break;
        }
    }

  private:
    void Add(int logicId, int index) { matches_.push_back({address_, logicId, index}); }

    std::string_view Bytes(int address, int length) const {
        return {reinterpret_cast<const char*>(org_.Image().Data()) + address, size_t(length)};
    }

    void Text(int logicId, int index, std::string_view field) {
        if (query_.MatchesText(cmcNameFieldText(field, japanese_))) Add(logicId, index);
    }

    void Frequency(int logicId, int index, uint32_t hertz) {
        if (query_.MatchesFrequency(hertz)) Add(logicId, index);
    }

    const datCh& Load(uint32_t kind, int index) {
        record_.Load(kind, index);
        return record_;
    }

    void Name(int logicId, int index, uint32_t kind, int record) {
        const datCh& r = Load(kind, record);
        Text(logicId, index, std::string_view(r.name.data(), r.name.size()));
    }

    // A name shows once, in the first row of its channels; the frequency in every row.
    void Channels(int group) {
        uint32_t previousName = UINT32_MAX;
        const int first = org_.FirstChannelOfGroup(group);
        for (int slot = first; slot < first + org_.ChannelsOfGroup(group); ++slot) {
            const datCh& channel = Load(datKind::Mch, slot);
            const uint32_t nameIndex = channel.nameIndex;
            const uint32_t frequency = channel.frequency;
            const bool inUse = channel.InUse();
            if (nameIndex != previousName) {
                previousName = nameIndex;
                Name(CL_Mch_Name_Name, slot, datKind::Name, int(nameIndex));
            }
            if (inUse) Frequency(CL_Mch_Freq, slot, frequency);
        }
    }

    void Edge(int nameLogic, int lowLogic, int highLogic, uint32_t kind, int index) {
        const datCh& r = Load(kind, index);
        if (!r.InUse()) return;
        if (nameLogic) Text(nameLogic, index, std::string_view(r.name.data(), r.name.size()));
        Frequency(lowLogic, index, r.secondFrequency);
        Frequency(highLogic, index, r.frequency);
    }

    void AutoWrite() {
        const int rows = datLookup::AutoWriteRowCount(org_.Image());
        for (int row = 0; row < rows; ++row) {
            const int slot = datLookup::AutoWriteSlotOfRow(org_.Image(), row);
            if (slot < 0) continue;
            const datCh& r = Load(datKind::AutoMWCH, slot);
            if (r.InUse()) Frequency(CL_AutoMWCH_Freq, row, r.frequency);
        }
    }

    void BankChannels(int bank) {
        for (int i = 0; i < org_.BankChCount(bank); ++i) {
            const int index = bank * cmcOrganisation::MaxBankChEntries + i;
            const datCh& r = Load(datKind::BasicCh, index);
            if (!r.InUse()) continue;
            Frequency(CL_Basic_ChSrch_Freq, index, r.frequency);
            Text(CL_Basic_ChSrch_Name, index,
                 std::string_view(r.shortName.data(), r.shortName.size()));
        }
    }

    const cmcOrganisation& org_;
    const cmcFindQuery& query_;
    bool japanese_;
    const std::string& address_;
    std::vector<clsFindMatch>& matches_;
    datCh record_;
};

} // namespace

cmcFindQuery::cmcFindQuery(std::string_view text) : lower_(lowerAscii(trimmed(displayForm(text)))) {
    if (!looksLikeMegahertz(lower_)) return;
    std::string point = lower_;
    std::replace(point.begin(), point.end(), ',', '.');
    if (const std::optional<int64_t> hertz = ReadDecimal(point, 6);
        hertz && *hertz >= 0 && *hertz <= int64_t(UINT32_MAX)) {
        isFrequency_ = true;
        hertz_ = uint32_t(*hertz);
    }
}

bool cmcFindQuery::MatchesText(std::string_view text) const {
    return !lower_.empty() && lowerAscii(text).find(lower_) != std::string::npos;
}

std::vector<clsFindMatch> FindInSheets(const cmcOrganisation& organisation,
                                       const std::vector<std::string>& addresses,
                                       const cmcFindPositionOf& positionOf,
                                       const cmcFindQuery& query, bool japaneseText) {
    std::vector<clsFindMatch> matches;
    if (query.Empty()) return matches;
    for (const std::string& address : addresses) {
        const clsSheetOf sheet = sheetOf(address);
        const char kind = positionKind(sheet.sheet);
        const int position = kind && positionOf ? positionOf(kind, sheet.number) : sheet.number;
        clsSheetSearch(organisation, query, japaneseText, address, matches)
            .Run(sheet.sheet, position);
    }
    return matches;
}

namespace {

// The cell of the record on one sheet, or none.
std::optional<clsFindMatch> RecordOnSheet(const cmcOrganisation& org, Sheet sheet, int position,
                                          uint32_t kind, int index, int logicId, int cellIndex) {
    auto at = [](int id, int i) { return std::optional<clsFindMatch>({{}, id, i}); };
    switch (sheet) {
    case Sheet::Categories:
        if (kind == datKind::Category) return at(CL_CategoryOP_Name, index);
        break;
    case Sheet::Groups:
        if (kind == datKind::Group && index >= 0 && index < org.GroupCount() &&
            org.CategoryOfGroup(index) == position)
            return at(CL_GroupOP_Name, index);
        break;
    case Sheet::Channels:
        if (position < 0 || position >= org.GroupCount()) break;
        if (kind == datKind::Name && index == position)
            return at(CL_Mch_Freq, org.FirstChannelOfGroup(position));
        if (kind == datKind::Mch && index >= org.FirstChannelOfGroup(position) &&
            index < org.FirstChannelOfGroup(position) + org.ChannelsOfGroup(position))
            return at(CL_Mch_Freq, index);
        break;
    case Sheet::Edges:
        if (kind == datKind::PgSrch) return at(CL_PgSrch_Freq_High, index);
        break;
    case Sheet::LinkNames:
        if (kind == datKind::PgLink) return at(CL_PgLink_Name, index);
        break;
    case Sheet::AutoWrite:
        if (kind != datKind::AutoMWCH) break;
        for (int row = 0; row < datLookup::AutoWriteRowCount(org.Image()); ++row)
            if (datLookup::AutoWriteSlotOfRow(org.Image(), row) == index)
                return at(CL_AutoMWCH_Freq, row);
        break;
    case Sheet::Banks:
        if (kind == datKind::BasicBank) return at(CL_BasicOp_Name, index);
        break;
    case Sheet::BankPrograms:
        if (kind == datKind::BasicPg && index / cmcOrganisation::MaxBankPgEntries == position)
            return at(CL_Basic_PgSrch_Freq_High, index);
        break;
    case Sheet::BankChannels:
        if (kind == datKind::BasicCh && index / cmcOrganisation::MaxBankChEntries == position)
            return at(CL_Basic_ChSrch_Freq, index);
        break;
    case Sheet::Common:
        if (kind == datKind::None && logicId != 0) return at(logicId, cellIndex);
        break;
    case Sheet::None:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<clsFindMatch> FindRecordInSheets(const cmcOrganisation& organisation,
                                               const std::vector<std::string>& addresses,
                                               const cmcFindPositionOf& positionOf, uint32_t kind,
                                               int index, int logicId, int cellIndex) {
    for (const std::string& address : addresses) {
        const clsSheetOf sheet = sheetOf(address);
        const char positionKindOf = positionKind(sheet.sheet);
        const int position =
            positionKindOf && positionOf ? positionOf(positionKindOf, sheet.number) : sheet.number;
        if (auto match = RecordOnSheet(organisation, sheet.sheet, position, kind, index, logicId,
                                       cellIndex)) {
            match->address = address;
            return match;
        }
    }
    return std::nullopt;
}
