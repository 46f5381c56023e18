#include "files/cmcOtherList.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "files/cmcCsvNames.h"
#include "files/cmcCsvValues.h"
#include "files/cmcLoadFile.h"
#include "files/cmcReadCapped.h"
#include "model/cmcFrequency.h"
#include "model/cmcOrganisation.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"
#include "model/indDestination.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::string_view FormatNames[] = {"auto", "generic", "bookmarks", "scanner", "columns"};
constexpr std::string_view FieldNames[OtherFieldCount] = {
    "frequency", "name",     "mode", "duplex", "offset", "tonekind", "rtone",    "ctone",
    "dtcscode",  "polarity", "tone", "step",   "skip",   "lockout",  "priority", "group"};
constexpr std::string_view UnitNames[] = {"Hz", "kHz", "MHz"};

// The header names of the fixed formats, and the names other lists usually use.
struct clsFieldSpelling {
    OtherField field;
    int format; // otherformat::Columns: a guess for any table
    std::string_view name;
};

constexpr clsFieldSpelling FieldSpellings[] = {
    {OtherField::Frequency, otherformat::Generic, "Frequency"},
    {OtherField::Name, otherformat::Generic, "Name"},
    {OtherField::Mode, otherformat::Generic, "Mode"},
    {OtherField::Duplex, otherformat::Generic, "Duplex"},
    {OtherField::Offset, otherformat::Generic, "Offset"},
    {OtherField::ToneKind, otherformat::Generic, "Tone"},
    {OtherField::RTone, otherformat::Generic, "rToneFreq"},
    {OtherField::CTone, otherformat::Generic, "cToneFreq"},
    {OtherField::DtcsCode, otherformat::Generic, "DtcsCode"},
    {OtherField::DtcsPolarity, otherformat::Generic, "DtcsPolarity"},
    {OtherField::Step, otherformat::Generic, "TStep"},
    {OtherField::Skip, otherformat::Generic, "Skip"},
    {OtherField::Frequency, otherformat::Bookmarks, "Frequency"},
    {OtherField::Name, otherformat::Bookmarks, "Name"},
    {OtherField::Mode, otherformat::Bookmarks, "Modulation"},
    {OtherField::Frequency, otherformat::Scanner, "Frequency"},
    {OtherField::Name, otherformat::Scanner, "Name"},
    {OtherField::Mode, otherformat::Scanner, "Modulation"},
    {OtherField::Tone, otherformat::Scanner, "CTCSS/DCS"},
    {OtherField::Lockout, otherformat::Scanner, "Lockout"},
    {OtherField::Priority, otherformat::Scanner, "Priority"},
    {OtherField::Frequency, otherformat::Columns, "Frequency"},
    {OtherField::Frequency, otherformat::Columns, "Freq"},
    {OtherField::Frequency, otherformat::Columns, "Frequency (MHz)"},
    {OtherField::Frequency, otherformat::Columns, "Frequency (kHz)"},
    {OtherField::Frequency, otherformat::Columns, "Frequency (Hz)"},
    {OtherField::Frequency, otherformat::Columns, "MHz"},
    {OtherField::Frequency, otherformat::Columns, "kHz"},
    {OtherField::Name, otherformat::Columns, "Name"},
    {OtherField::Name, otherformat::Columns, "Alpha Tag"},
    {OtherField::Name, otherformat::Columns, "Description"},
    {OtherField::Name, otherformat::Columns, "Label"},
    {OtherField::Name, otherformat::Columns, "Station"},
    {OtherField::Mode, otherformat::Columns, "Mode"},
    {OtherField::Mode, otherformat::Columns, "Modulation"},
    {OtherField::Tone, otherformat::Columns, "Tone"},
    {OtherField::Tone, otherformat::Columns, "CTCSS"},
    {OtherField::Tone, otherformat::Columns, "CTCSS/DCS"},
    {OtherField::Tone, otherformat::Columns, "PL"},
    {OtherField::Tone, otherformat::Columns, "PL Tone"},
    {OtherField::Group, otherformat::Columns, "Group"},
    {OtherField::Group, otherformat::Columns, "Category"},
    {OtherField::Group, otherformat::Columns, "Bank"},
    {OtherField::Group, otherformat::Columns, "Tag"},
};

// Modes of other programs and what the receiver makes of them.
struct clsModeSpelling {
    std::string_view text;
    int mode;   // -1: the receiver has no such mode
    bool noted; // the row says the mode changed
};

constexpr clsModeSpelling ModeSpellings[] = {
    {"FM", values::ModeFm, false},
    {"NFM", values::ModeFm, true},
    {"Narrow FM", values::ModeFm, true},
    {"FM-N", values::ModeFm, true},
    {"FMN", values::ModeFm, true},
    {"NBFM", values::ModeFm, true},
    {"WFM", 1, false},
    {"WFM (mono)", 1, false},
    {"WFM (stereo)", 1, false},
    {"WFM (oirt)", 1, false},
    {"FMW", 1, false},
    {"BFM", 1, false},
    {"AM", 2, false},
    {"NAM", 2, true},
    {"AM-N", 2, true},
    {"AMN", 2, true},
    {"Auto", values::ModeAuto, false},
};

bool yes(std::string_view text) {
    text = CsvTrim(text);
    return CsvEqualNoCase(text, "yes") || CsvEqualNoCase(text, "y") || CsvEqualNoCase(text, "on") ||
           CsvEqualNoCase(text, "true") || text == "1" || CsvEqualNoCase(text, "L") ||
           CsvEqualNoCase(text, "P");
}

// A decimal number with "." or "," as its point; nothing for anything else.
std::optional<double> number(std::string_view text) {
    std::string value(CsvTrim(text));
    for (char& c : value)
        if (c == ',') c = '.';
    if (value.empty()) return std::nullopt;
    char* end = nullptr;
    const double result = std::strtod(value.c_str(), &end);
    if (*end != '\0' || !std::isfinite(result)) return std::nullopt;
    return result;
}

std::string pointed(std::string_view text) {
    std::string value(CsvTrim(text));
    for (char& c : value)
        if (c == ',') c = '.';
    return value;
}

std::optional<int64_t> hertzOf(std::string_view text, OtherUnit unit) {
    const std::string value = pointed(text);
    if (value.empty()) return std::nullopt;
    if (unit == OtherUnit::MHz) return CsvParseMegahertz(value, '.');
    if (unit == OtherUnit::kHz) {
        // Kilohertz read as megahertz give millihertz.
        std::optional<int64_t> milli = CsvParseMegahertz(value, '.');
        if (!milli) return std::nullopt;
        return (*milli + 500) / 1000;
    }
    const size_t point = value.find('.');
    if (point != std::string::npos && !CsvParseInteger(value.substr(point + 1), 0, 999999999) &&
        point + 1 != value.size())
        return std::nullopt;
    return CsvParseInteger(value.substr(0, point), 0, 99999999999LL);
}

std::string megahertz(uint32_t hertz) {
    std::string text = CsvFormatMegahertz(hertz, '.');
    while (text.size() > 1 && text.back() == '0' && text[text.size() - 2] != '.')
        text.pop_back();
    return text;
}

// Image bytes as text: half-width katakana as their characters, the rest as they are.
std::string shownName(std::string_view bytes) {
    std::string text;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0xA1 || b > 0xDF) {
            text += c;
            continue;
        }
        const unsigned point = 0xFF61 + (b - 0xA1);
        text += static_cast<char>(0xE0 | (point >> 12));
        text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (point & 0x3F));
    }
    return text;
}

// The receiver's names are 16 characters long.
constexpr size_t NameLength = 16;

// A name of a file as the receiver will show it: its characters converted as a CSV import
// converts them, cut to the receiver's length.
std::string storedName(std::string_view text, bool japaneseText) {
    std::string bytes = CsvTrimRight(CsvNameToImage(text, japaneseText).bytes);
    if (bytes.size() > NameLength) bytes = CsvTrimRight(bytes.substr(0, NameLength));
    return shownName(bytes);
}

// The name a record of the document shows.
std::string recordName(const cmcOrganisation& organisation, uint32_t kind, int index) {
    datCh record = organisation.Record();
    record.Load(kind, index);
    return shownName(CsvTrimRight(record.NameField()));
}

// A field in quotes, on one line: a line end inside a name becomes a blank.
std::string quoted(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '"') result += '"';
        result += c == '\r' || c == '\n' ? ' ' : c;
    }
    return result + "\"";
}

// ---- reading

std::vector<std::string> trimmedFields(std::string_view record, char separator) {
    std::vector<std::string> fields = CsvSplitFields(record, separator);
    for (std::string& field : fields)
        field = std::string(CsvTrim(field));
    return fields;
}

int findColumn(const std::vector<std::string>& header, std::string_view name) {
    for (size_t i = 0; i < header.size(); ++i)
        if (CsvEqualNoCase(header[i], name)) return static_cast<int>(i);
    return -1;
}

bool hasColumns(const std::vector<std::string>& header,
                std::initializer_list<std::string_view> names) {
    for (std::string_view name : names)
        if (findColumn(header, name) < 0) return false;
    return true;
}

bool isBookmarks(const std::vector<std::string>& records) {
    for (const std::string& record : records) {
        std::string_view line = CsvTrim(record);
        if (CsvStartsWith(line, "# Tag name")) return true;
        if (line.empty()) continue;
        if (line.front() == '#') {
            std::vector<std::string> names = trimmedFields(line.substr(1), ';');
            if (names.size() >= 3 && CsvEqualNoCase(names[0], "Frequency")) return true;
            continue;
        }
        // The first data line: a number of hertz, then ";".
        std::vector<std::string> fields = trimmedFields(line, ';');
        return fields.size() >= 3 && CsvParseInteger(fields[0], 1, 99999999999LL);
    }
    return false;
}

// "# Bank 3" as a group's name.
std::optional<std::string> bankLine(std::string_view line) {
    line = CsvTrim(line);
    if (line.empty() || line.front() != '#') return std::nullopt;
    line = CsvTrim(line.substr(1));
    if (!CsvEqualNoCase(line.substr(0, 4), "bank")) return std::nullopt;
    std::string name(line);
    while (!name.empty() && (name.back() == ',' || name.back() == ';' || name.back() == '\t'))
        name.pop_back();
    return name;
}

void readBookmarks(const std::vector<std::string>& records, clsOtherTable& table) {
    table.separator = ';';
    table.header = {"Frequency", "Name", "Modulation", "Bandwidth", "Tags"};
    bool tagBlock = false;
    for (size_t i = 0; i < records.size(); ++i) {
        std::string_view line = CsvTrim(records[i]);
        if (CsvStartsWith(line, "# Tag name")) {
            tagBlock = true;
            continue;
        }
        if (line.empty()) {
            tagBlock = false;
            continue;
        }
        if (tagBlock || line.front() == '#') continue;
        clsOtherTable::Row row;
        row.line = static_cast<int>(i) + 1;
        row.fields = trimmedFields(line, ';');
        if (row.fields.size() >= 5) {
            // Tags are separated by ","; the first one that is a tag names the group.
            for (std::string& tag : trimmedFields(row.fields[4], ',')) {
                if (tag.empty() || CsvEqualNoCase(tag, "Untagged")) continue;
                row.group = tag;
                break;
            }
        }
        table.rows.push_back(std::move(row));
    }
}

void readCsv(const std::vector<std::string>& records, clsOtherTable& table) {
    size_t first = 0;
    while (first < records.size() && (CsvTrim(records[first]).empty() || bankLine(records[first])))
        ++first;
    if (first == records.size()) return;
    table.separator = CsvDetectSeparator(records[first]);
    table.header = trimmedFields(records[first], table.separator);
    std::string group;
    for (size_t i = 0; i < first; ++i)
        if (auto bank = bankLine(records[i])) group = *bank;
    for (size_t i = first + 1; i < records.size(); ++i) {
        if (auto bank = bankLine(records[i])) {
            group = *bank;
            continue;
        }
        std::string_view line = CsvTrim(records[i]);
        if (line.empty() || line.front() == '#') continue;
        clsOtherTable::Row row;
        row.line = static_cast<int>(i) + 1;
        row.fields = trimmedFields(records[i], table.separator);
        row.group = group;
        table.rows.push_back(std::move(row));
    }
}

int detectFormat(const clsOtherTable& table) {
    if (hasColumns(table.header, {"Location", "Frequency"}) &&
        (findColumn(table.header, "Duplex") >= 0 || findColumn(table.header, "Tone") >= 0))
        return otherformat::Generic;
    if (hasColumns(table.header, {"Channel", "Frequency", "Modulation"}) &&
        (findColumn(table.header, "Lockout") >= 0 || findColumn(table.header, "CTCSS/DCS") >= 0))
        return otherformat::Scanner;
    return otherformat::Columns;
}

// ---- mapping

// The notes and Pelham values of one row.
class clsRowMapper {
  public:
    clsRowMapper(const clsOtherTable::Row& row, const clsOtherMapping& mapping,
                 const clsCsvReadOptions& options, const cmcOrganisation& organisation,
                 clsOtherPlanRow& out)
        : row_(row), mapping_(mapping), options_(options), out_(out),
          defaults_(&organisation.Image(), nullptr, options.destination) {}

    void Map() {
        out_.line = row_.line;
        out_.group =
            Field(OtherField::Group).empty() ? row_.group : std::string(Field(OtherField::Group));
        out_.groupName = storedName(out_.group, options_.japaneseText);
        if (out_.groupName.empty()) out_.groupName = "Group"; // as the CSV import names it
        if (!Frequency()) return;
        if (!Mode()) {
            Name(false); // shown with the row that is left out, without notes
            return;
        }
        Name(true);
        Step();
        Duplex();
        Tone();
        Flags();
        out_.imported = true;
        out_.csvRow = CsvRow();
    }

  private:
    std::string_view Field(OtherField field) const {
        const int column = mapping_[field];
        if (column < 0 || column >= static_cast<int>(row_.fields.size())) return {};
        return row_.fields[static_cast<size_t>(column)];
    }
    void Note(std::string key, std::vector<std::string> parts = {}) {
        out_.notes.push_back({std::move(key), std::move(parts)});
    }
    void LeaveOut(std::string reasonKey, std::string reason = {}) {
        if (!reasonKey.empty()) reason = cmcGTex::Process().GetText(reasonKey);
        Note("GI_Other_Note_NotImported", {reason});
    }
    const indDestination& Destination() const {
        return options_.destination ? *options_.destination : indDestination::Active();
    }

    bool Frequency() {
        const std::string_view text = Field(OtherField::Frequency);
        std::optional<int64_t> hertz = hertzOf(text, mapping_.unit);
        if (!hertz) {
            LeaveOut("GI_Other_Reason_NoFrequency");
            return false;
        }
        if (*hertz < CoverageLowHz || *hertz > CoverageHighHz) {
            LeaveOut("GI_Other_Reason_Range");
            return false;
        }
        const auto f = static_cast<uint32_t>(*hertz);
        band_ = Destination().BandOf(f);
        out_.hertz = SnapFrequency(f, band_, false);
        if (out_.hertz != f) Note("GI_Other_Note_Frequency", {megahertz(out_.hertz)});
        defaults_.SetDefault(datKind::Band, band_);
        return true;
    }

    void Name(bool noted) {
        const std::string text(Field(OtherField::Name));
        const clsCsvName name = CsvNameToImage(text, options_.japaneseText);
        if (noted && CsvTrimRight(name.bytes).size() > NameLength) Note("GI_Other_Note_NameCut");
        if (name.replaced && noted) Note("GI_Other_Note_NameBlanks");
        out_.name = storedName(text, options_.japaneseText);
        nameSource_ = text;
    }

    bool Mode() {
        const std::string_view text = CsvTrim(Field(OtherField::Mode));
        if (text.empty()) {
            out_.mode = CsvSpell(csvlist::Mode, defaults_.mode);
            return true;
        }
        for (const clsModeSpelling& spelling : ModeSpellings) {
            if (!CsvEqualNoCase(spelling.text, text)) continue;
            int mode = spelling.mode;
            if (mode == values::ModeAuto && !Destination().HasAutoModeAndStep()) mode = -1;
            if (mode < 0) break;
            out_.mode = CsvSpell(csvlist::Mode, mode);
            if (spelling.noted) Note("GI_Other_Note_Mode", {std::string(text), out_.mode});
            return true;
        }
        LeaveOut({}, std::string(text));
        return false;
    }

    void Step() {
        const std::optional<double> kilohertz = number(Field(OtherField::Step));
        if (!kilohertz || *kilohertz <= 0) {
            out_.step = CsvSpell(csvlist::Step, defaults_.tuningStep);
            return;
        }
        int best = -1;
        double bestDistance = 0;
        for (const clsCsvSpelling& spelling : csvlist::Step) {
            const std::optional<double> value =
                number(spelling.text.substr(0, spelling.text.size() - 3));
            if (!value) continue; // "Auto", "-"
            const double distance = std::fabs(*value - *kilohertz);
            if (best < 0 || distance < bestDistance) {
                best = spelling.code;
                bestDistance = distance;
            }
        }
        out_.step = CsvSpell(csvlist::Step, best);
        if (bestDistance > 0.001)
            Note("GI_Other_Note_Step", {pointed(Field(OtherField::Step)) + " kHz", out_.step});
    }

    void Duplex() {
        const std::string_view text = CsvTrim(Field(OtherField::Duplex));
        std::optional<int64_t> offset = hertzOf(Field(OtherField::Offset), OtherUnit::MHz);
        int code = 0;
        if (text == "+" || text == "-") {
            code = text == "+" ? 2 : 1;
        } else if (CsvEqualNoCase(text, "split") && offset) {
            // The offset column holds the transmit frequency.
            const int64_t difference = *offset - static_cast<int64_t>(out_.hertz);
            code = difference > 0 ? 2 : difference < 0 ? 1 : 0;
            offset = difference < 0 ? -difference : difference;
            if (code) Note("GI_Other_Note_Split", {std::string(CsvSpell(csvlist::Dup, code))});
        }
        out_.duplex = CsvSpell(csvlist::Dup, code);
        if (code && offset && *offset >= 0 && *offset <= 199995000)
            out_.offset = megahertz(static_cast<uint32_t>(*offset));
        else
            out_.offset = megahertz(defaults_.offset);
    }

    // A tone of the receiver's list from a number of hertz; nothing for any other.
    static std::optional<std::string> ToneSpelling(std::string_view text) {
        const std::optional<double> hertz = number(text);
        if (!hertz) return std::nullopt;
        char spelled[32];
        std::snprintf(spelled, sizeof spelled, "%.1fHz", *hertz);
        if (!CsvLookup(csvlist::Tone, spelled)) return std::nullopt;
        return std::string(spelled);
    }

    void SetTsql(std::string_view text) {
        if (auto tone = ToneSpelling(text)) {
            toneMode_ = "TSQL";
            toneFrequency_ = *tone;
            out_.tone = "TSQL " + tone->substr(0, tone->size() - 2);
            return;
        }
        Note("GI_Other_Note_ToneMissing", {pointed(text)});
    }

    void SetDtcs(std::string code, bool reverse) {
        code = std::string(CsvTrim(code));
        while (code.size() < 3)
            code = "0" + code;
        if (!CsvLookup(csvlist::Dtcs, code)) {
            Note("GI_Other_Note_ToneMissing", {"D" + code});
            return;
        }
        toneMode_ = "DTCS";
        dtcsCode_ = code;
        polarity_ = reverse ? "Reverse" : "Normal";
        out_.tone = "DTCS " + code + (reverse ? "R" : "N");
    }

    void Tone() {
        out_.tone = "OFF";
        if (mapping_[OtherField::ToneKind] >= 0) return GenericTone();
        std::string text = pointed(Field(OtherField::Tone));
        std::string upper = CsvLower(text);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper.empty() || upper == "OFF" || upper == "NONE" || upper == "0" || upper == "-")
            return;
        for (std::string_view prefix : {"CTCSS", "TONE", "PL"}) {
            if (CsvStartsWith(upper, prefix))
                upper = std::string(CsvTrim(upper.substr(prefix.size())));
        }
        if (upper.size() > 2 && upper.compare(upper.size() - 2, 2, "HZ") == 0)
            upper = std::string(CsvTrim(upper.substr(0, upper.size() - 2)));
        bool dtcs = false;
        for (std::string_view prefix : {"DCS", "DTCS", "D"}) {
            if (!CsvStartsWith(upper, prefix)) continue;
            upper = std::string(CsvTrim(upper.substr(prefix.size())));
            dtcs = true;
            break;
        }
        if (dtcs) {
            bool reverse = false;
            if (!upper.empty() &&
                (upper.back() == 'N' || upper.back() == 'I' || upper.back() == 'R')) {
                reverse = upper.back() != 'N';
                upper.pop_back();
            }
            return SetDtcs(upper, reverse);
        }
        SetTsql(upper);
    }

    // Only the Tone column says which of the tone columns apply; the others hold defaults.
    void GenericTone() {
        const std::string_view kind = CsvTrim(Field(OtherField::ToneKind));
        if (CsvEqualNoCase(kind, "TSQL")) return SetTsql(Field(OtherField::CTone));
        if (CsvEqualNoCase(kind, "DTCS")) {
            const std::string_view polarity = CsvTrim(Field(OtherField::DtcsPolarity));
            // The second letter is the receive side's polarity.
            const bool reverse = polarity.size() == 2 && (polarity[1] == 'R' || polarity[1] == 'r');
            return SetDtcs(std::string(Field(OtherField::DtcsCode)), reverse);
        }
        if (CsvEqualNoCase(kind, "Tone"))
            return Note("GI_Other_Note_ToneUnused", {pointed(Field(OtherField::RTone))});
        if (CsvEqualNoCase(kind, "Cross")) return Note("GI_Other_Note_Cross");
    }

    void Flags() {
        const std::string_view skip = CsvTrim(Field(OtherField::Skip));
        int code = 0;
        if (CsvEqualNoCase(skip, "S")) code = 1;
        if (CsvEqualNoCase(skip, "P")) code = 2;
        if (mapping_[OtherField::Lockout] >= 0 && yes(Field(OtherField::Lockout))) code = 1;
        out_.skip = CsvSpell(csvlist::Skip, code);
        out_.priority =
            mapping_[OtherField::Priority] >= 0 && yes(Field(OtherField::Priority)) ? "ON" : "OFF";
    }

    // Name Name, Frequency, Dup, Offset, TS, Mode, SKIP, PRIO, TONE, TSQL Frequency,
    // DTCS Code, DTCS Polarity.
    std::string CsvRow() const {
        const std::string tone = toneMode_.empty()
                                     ? std::string(CsvSpell(csvlist::ToneMode, defaults_.toneMode))
                                     : toneMode_;
        const std::string toneFrequency = toneFrequency_.empty()
                                              ? std::string(CsvSpell(csvlist::Tone, defaults_.tone))
                                              : toneFrequency_;
        const std::string code = dtcsCode_.empty()
                                     ? std::string(CsvSpell(csvlist::Dtcs, defaults_.dtcsCode))
                                     : dtcsCode_;
        const std::string polarity =
            polarity_.empty() ? std::string(CsvSpell(csvlist::Polarity, defaults_.dtcsPolarity))
                              : polarity_;
        std::string row = quoted(nameSource_);
        for (const std::string& field :
             {CsvFormatMegahertz(out_.hertz, '.'), out_.duplex, out_.offset, out_.step, out_.mode,
              out_.skip, out_.priority, tone, toneFrequency, code, polarity})
            row += "," + field;
        return row;
    }

    const clsOtherTable::Row& row_;
    const clsOtherMapping& mapping_;
    const clsCsvReadOptions& options_;
    clsOtherPlanRow& out_;
    int band_ = 0;
    datCh defaults_;
    std::string nameSource_;
    std::string toneMode_, toneFrequency_, dtcsCode_, polarity_;
};

constexpr char PelhamHeader[] =
    "CH No,Category Name,Group No,Group Name,Name No,Name Name,Frequency,Dup,Offset,TS,Mode,"
    "SKIP,PRIO,TONE,TSQL Frequency,DTCS Code,DTCS Polarity";

} // namespace

std::optional<int> OtherFormatFromName(std::string_view name) {
    for (size_t i = 0; i < std::size(FormatNames); ++i)
        if (CsvEqualNoCase(name, FormatNames[i])) return static_cast<int>(i);
    return std::nullopt;
}

std::string_view OtherFormatName(int format) {
    return format >= 0 && format < static_cast<int>(std::size(FormatNames)) ? FormatNames[format]
                                                                            : std::string_view();
}

std::string_view OtherFieldName(OtherField field) {
    return FieldNames[static_cast<size_t>(field)];
}

std::string_view OtherUnitName(OtherUnit unit) {
    return UnitNames[static_cast<size_t>(unit)];
}

clsOtherRead OtherReadText(std::string_view bytes, int format) {
    clsOtherRead read;
    std::optional<std::string> text = CsvDecodeText(bytes, read.table.shiftJis);
    if (!text) {
        read.error = "GI_Mess_Other_Unreadable";
        return read;
    }
    const std::vector<std::string> records = CsvSplitRecords(*text);
    if (format == otherformat::Auto && isBookmarks(records)) format = otherformat::Bookmarks;
    if (format == otherformat::Bookmarks) {
        readBookmarks(records, read.table);
    } else {
        readCsv(records, read.table);
    }
    if (read.table.header.empty()) {
        read.error = "GI_Mess_Other_NoHeader";
        return read;
    }
    read.table.format = format == otherformat::Auto ? detectFormat(read.table) : format;
    read.mapping = OtherGuessMapping(read.table);
    if (read.mapping[OtherField::Frequency] < 0 && read.table.format != otherformat::Columns)
        read.error = "GI_Mess_Other_NoFrequency";
    return read;
}

clsOtherRead OtherReadFile(const std::string& path, int format) {
    std::string bytes;
    if (cmcReadCapped(path, cmcLoadFile::MaxFileBytes, bytes) != cmcReadResult::Ok) {
        clsOtherRead read;
        read.error = "GI_Mess_Other_Unreadable";
        return read;
    }
    return OtherReadText(bytes, format);
}

OtherUnit OtherGuessUnit(const clsOtherTable& table, int column) {
    if (table.format == otherformat::Bookmarks) return OtherUnit::Hz;
    if (table.format == otherformat::Generic || table.format == otherformat::Scanner)
        return OtherUnit::MHz;
    if (column >= 0 && column < static_cast<int>(table.header.size())) {
        const std::string name = CsvLower(table.header[static_cast<size_t>(column)]);
        if (name.find("mhz") != std::string::npos) return OtherUnit::MHz;
        if (name.find("khz") != std::string::npos) return OtherUnit::kHz;
        if (name.find("(hz)") != std::string::npos) return OtherUnit::Hz;
    }
    std::vector<double> values;
    for (const clsOtherTable::Row& row : table.rows)
        if (column >= 0 && column < static_cast<int>(row.fields.size()))
            if (auto value = number(row.fields[static_cast<size_t>(column)]))
                values.push_back(*value);
    if (values.empty()) return OtherUnit::MHz;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    const double middle = values[values.size() / 2];
    // The receiver covers 0.15 to 1,300 MHz: above 1,300 the values are kilohertz, above
    // 1,300,000 hertz.
    if (middle > 1300000) return OtherUnit::Hz;
    if (middle > 1300) return OtherUnit::kHz;
    return OtherUnit::MHz;
}

clsOtherMapping OtherGuessMapping(const clsOtherTable& table) {
    clsOtherMapping mapping;
    for (const clsFieldSpelling& spelling : FieldSpellings) {
        if (spelling.format != table.format) continue;
        if (mapping[spelling.field] >= 0) continue;
        mapping[spelling.field] = findColumn(table.header, spelling.name);
    }
    mapping.unit = OtherGuessUnit(table, mapping[OtherField::Frequency]);
    return mapping;
}

bool OtherApplyMap(std::string_view text, const clsOtherTable& table, clsOtherMapping& mapping,
                   std::string& error) {
    error = "GI_Mess_Other_BadMap";
    for (const std::string& pair : CsvSplitFields(text, ',')) {
        const size_t equals = pair.find('=');
        if (equals == std::string::npos) return false;
        const std::string_view key = CsvTrim(std::string_view(pair).substr(0, equals));
        const std::string_view value = CsvTrim(std::string_view(pair).substr(equals + 1));
        if (CsvEqualNoCase(key, "unit")) {
            bool found = false;
            for (size_t u = 0; u < std::size(UnitNames); ++u) {
                if (!CsvEqualNoCase(value, UnitNames[u])) continue;
                mapping.unit = static_cast<OtherUnit>(u);
                found = true;
            }
            if (!found) return false;
            continue;
        }
        int field = -1;
        for (int f = 0; f < OtherFieldCount; ++f)
            if (CsvEqualNoCase(key, FieldNames[f])) field = f;
        if (field < 0) return false;
        int column = -1;
        if (value != "-") {
            column = findColumn(table.header, value);
            if (column < 0) {
                std::optional<int64_t> position =
                    CsvParseInteger(value, 1, static_cast<int64_t>(table.header.size()));
                if (!position) return false;
                column = static_cast<int>(*position) - 1;
            }
        }
        mapping.columns[static_cast<size_t>(field)] = column;
    }
    error.clear();
    return true;
}

std::string OtherMapText(const clsOtherMapping& mapping) {
    std::string text;
    for (int f = 0; f < OtherFieldCount; ++f) {
        if (mapping.columns[static_cast<size_t>(f)] < 0) continue;
        text += std::string(FieldNames[f]) + "=" +
                std::to_string(mapping.columns[static_cast<size_t>(f)] + 1) + ",";
    }
    return text + "unit=" + std::string(OtherUnitName(mapping.unit));
}

std::string OtherHeaderKey(const clsOtherTable& table) {
    std::string key;
    for (const std::string& name : table.header) {
        if (!key.empty()) key += '|';
        key += CsvLower(name);
    }
    return key;
}

std::string OtherNoteText(const clsOtherNote& note) {
    return cmcFillIn(cmcGTex::Process().GetText(note.key), note.parts);
}

clsOtherPlan OtherPlan(const clsOtherTable& table, const clsOtherMapping& mapping,
                       const clsCsvReadOptions& options, const cmcOrganisation& organisation) {
    clsOtherPlan plan;
    plan.rows.reserve(table.rows.size());
    for (const clsOtherTable::Row& row : table.rows) {
        clsOtherPlanRow& out = plan.rows.emplace_back();
        clsRowMapper(row, mapping, options, organisation, out).Map();
        if (!out.imported) {
            ++plan.leftOut;
            continue;
        }
        ++plan.importable;
        if (!out.notes.empty()) ++plan.noted;
        if (std::find(plan.groups.begin(), plan.groups.end(), out.group) == plan.groups.end())
            plan.groups.push_back(out.group);
    }
    return plan;
}

std::string OtherRowGroupName(const clsOtherPlanRow& row, const clsOtherTarget& target,
                              const cmcOrganisation& organisation) {
    if (target.newGroups) return row.groupName;
    if (target.group < 0 || target.group >= organisation.GroupCount()) return {};
    return recordName(organisation, datKind::Group, target.group);
}

std::string OtherSummaryText(const clsOtherPlan& plan, const clsOtherTarget& target) {
    cmcGTex& text = cmcGTex::Process();
    std::string where =
        target.newGroups
            ? cmcFillIn(text.GetText("GI_Other_Into_New"),
                        {std::to_string(std::max<size_t>(plan.groups.size(), 1))})
            : cmcFillIn(text.GetText("GI_Other_Into_Group"), {std::to_string(target.group)});
    return cmcFillIn(text.GetText("GI_Other_Summary"),
                     {std::to_string(plan.rows.size()), std::to_string(plan.importable),
                      std::to_string(plan.leftOut), std::to_string(plan.noted), where});
}

bool OtherCanImport(cmcOrganisation& organisation, const clsOtherTarget& target) {
    return target.newGroups ? CsvCanImportAdd(organisation, csvkind::Category, 0)
                            : CsvCanImportAdd(organisation, csvkind::Mch, target.group);
}

clsCsvImportResult OtherImportLines(const clsOtherPlan& plan, const clsOtherTarget& target,
                                    cmcOrganisation& organisation, cmcEvMan& events,
                                    const clsCsvReadOptions& options) {
    // Rows of one group stand together, in the order the groups first appear.
    std::vector<const clsOtherPlanRow*> rows;
    for (const std::string& group : plan.groups)
        for (const clsOtherPlanRow& row : plan.rows)
            if (row.imported && row.group == group) rows.push_back(&row);
    std::string text = std::string(PelhamHeader) + "\n";
    int number = 0;
    for (const clsOtherPlanRow* row : rows) {
        const auto groupNo =
            std::find(plan.groups.begin(), plan.groups.end(), row->group) - plan.groups.begin();
        ++number;
        text += std::to_string(number) + "," + quoted(target.categoryName) + "," +
                std::to_string(groupNo) + "," + quoted(row->group) + "," + std::to_string(number) +
                "," + row->csvRow + "\n";
    }
    cmcLoadFile file;
    file.LoadText(text);
    clsCsvReadOptions pelham = options;
    pelham.separators = clsCsvSeparators::FromDecimal('.');
    return target.newGroups
               ? CsvImportLines(file, organisation, events, csvkind::Category, 0, false, pelham)
               : CsvImportLines(file, organisation, events, csvkind::Mch, target.group, false,
                                pelham);
}

clsCsvImportResult OtherImport(const clsOtherPlan& plan, const clsOtherTarget& target,
                               cmcOrganisation& organisation, cmcEvMan& events,
                               const clsCsvReadOptions& options) {
    clsCsvImportResult result = OtherImportLines(plan, target, organisation, events, options);
    if (result.accepted) {
        events.Post(ev::RepaintAll);
        events.Send(ev::SheetTitle);
        events.Send(ev::RebuildBranches);
    }
    CsvShowImportSummary(result);
    return result;
}

std::string OtherExportGenericText(const cmcOrganisation& organisation) {
    std::string text = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                       "DtcsPolarity,Mode,TStep,Skip,Comment\r\n";
    for (int group = 0; group < organisation.GroupCount(); ++group) {
        const std::string groupName = recordName(organisation, datKind::Group, group);
        for (int slot = organisation.FirstChannelOfGroup(group);
             slot <= organisation.LastChannelOfGroup(group); ++slot) {
            datCh channel = organisation.Record();
            channel.Load(datKind::Mch, slot);
            if (!channel.InUse()) continue;
            const std::string nameText =
                recordName(organisation, datKind::Name, static_cast<int>(channel.nameIndex));
            const char* duplex = channel.duplex == 2 ? "+" : channel.duplex == 1 ? "-" : "";
            std::string tone, ctone = "88.5", code = "023", polarity = "NN";
            const bool tsql = channel.toneMode == 2 || channel.toneMode == 3;
            const bool dtcs = channel.toneMode == 5 || channel.toneMode == 6;
            if (tsql) {
                tone = "TSQL";
                std::string spelled(CsvSpell(csvlist::Tone, channel.tone));
                ctone = spelled.substr(0, spelled.size() - 2);
            }
            if (dtcs) {
                tone = "DTCS";
                code = std::string(CsvSpell(csvlist::Dtcs, channel.dtcsCode));
                polarity = channel.dtcsPolarity ? "NR" : "NN";
            }
            std::string mode(CsvSpell(csvlist::Mode, channel.mode));
            if (mode == "-") mode = "FM";
            std::string step(CsvSpell(csvlist::Step, channel.tuningStep));
            const std::optional<double> kilohertz =
                step.size() > 3 ? number(step.substr(0, step.size() - 3)) : std::nullopt;
            char stepText[16];
            std::snprintf(stepText, sizeof stepText, "%.2f", kilohertz.value_or(5.0));
            step = stepText;
            const char* skip = channel.skip == 1 ? "S" : channel.skip == 2 ? "P" : "";
            text += std::to_string(slot) + "," + quoted(nameText) + "," +
                    CsvFormatMegahertz(channel.frequency, '.') + "," + duplex + "," +
                    CsvFormatMegahertz(channel.offset, '.') + "," + tone + ",88.5," + ctone + "," +
                    code + "," + polarity + "," + mode + "," + step + "," + skip + "," +
                    quoted(groupName) + "\r\n";
        }
    }
    return text;
}
