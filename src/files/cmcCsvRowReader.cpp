#include "files/cmcCsvRowReader.h"

#include "files/cmcCsvNames.h"
#include "files/cmcCsvValues.h"
#include "model/cmcFrequency.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"
#include "model/indDestination.h"

#include <optional>
#include <vector>

namespace {

constexpr uint32_t OffsetReadLimitHz = 199995000;

// One row split into fields, with the column map of the header.
class clsRowFields {
  public:
    clsRowFields(const std::string& line, char separator,
                 const std::array<int, CsvColumnCount>& positions)
        : fields_(CsvSplitFields(line, separator)), positions_(positions) {}

    bool Present(CsvColumn column) const { return positions_[CsvColumnIndex(column)] >= 0; }
    // The field of a column; empty for a column the header lacks or a short row.
    std::string_view Field(CsvColumn column) const {
        int position = positions_[CsvColumnIndex(column)];
        if (position < 0 || position >= static_cast<int>(fields_.size())) return {};
        return fields_[static_cast<size_t>(position)];
    }
    bool AllBlank() const {
        for (const std::string& field : fields_)
            if (!CsvTrim(field).empty()) return false;
        return true;
    }

  private:
    std::vector<std::string> fields_;
    const std::array<int, CsvColumnCount>& positions_;
};

// A value read from a column: the value, whether it was readable, and whether the column
// was there at all. A missing column reads as 0 and takes any default without counting
// as a correction; an unreadable field in a present column counts.
struct clsCsvValue {
    int value = 0;
    bool valid = true;
    bool present = false;
};

std::string withPoint(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c == ',') c = '.';
    return result;
}

clsCsvValue readList(const clsRowFields& row, CsvColumn column, CsvSpellingList list,
                     bool decimalField = false) {
    clsCsvValue result;
    if (!row.Present(column)) return result;
    result.present = true;
    std::string text = decimalField ? withPoint(row.Field(column)) : std::string(row.Field(column));
    std::optional<int> code = CsvLookup(list, text);
    result.valid = code.has_value();
    result.value = code.value_or(0);
    return result;
}

clsCsvValue readDtcs(const clsRowFields& row) {
    clsCsvValue result;
    if (!row.Present(CsvColumn::DtcsCode)) return result;
    result.present = true;
    std::string text(CsvTrim(row.Field(CsvColumn::DtcsCode)));
    if (text.size() <= 2) text = "0" + text; // "23" reads as "023"
    std::optional<int> code = CsvLookup(csvlist::Dtcs, text);
    result.valid = code.has_value();
    result.value = code.value_or(0);
    return result;
}

// "1500Hz": a whole number of hertz followed by "Hz" in any case.
clsCsvValue readTrainFrequency(const clsRowFields& row) {
    clsCsvValue result;
    if (!row.Present(CsvColumn::CancellerFrequency)) return result;
    result.present = true;
    std::string text = CsvLower(CsvTrim(row.Field(CsvColumn::CancellerFrequency)));
    result.valid = false;
    if (text.size() <= 2 || text.compare(text.size() - 2, 2, "hz") != 0) return result;
    std::optional<int64_t> hertz = CsvParseInteger(text.substr(0, text.size() - 2), 0, 1000000);
    if (!hertz) return result;
    result.valid = true;
    result.value = static_cast<int>(*hertz);
    return result;
}

// The row's frequency-like field: nothing for an empty field.
struct clsCsvFrequency {
    bool empty = true;
    std::optional<int64_t> hertz; // unset: unreadable
};

clsCsvFrequency readFrequency(const clsRowFields& row, CsvColumn column, char decimal) {
    clsCsvFrequency result;
    std::string_view text = CsvTrim(row.Field(column));
    if (text.empty()) return result;
    result.empty = false;
    result.hertz = CsvParseMegahertz(text, decimal);
    // A field separator of ";" leaves "." free to be a decimal point as well.
    if (!result.hertz && decimal == ',') result.hertz = CsvParseMegahertz(text, '.');
    return result;
}

bool inCoverage(const std::optional<int64_t>& hertz) {
    return hertz && *hertz >= CoverageLowHz && *hertz <= CoverageHighHz;
}

// Reads an organisation skip ("OFF" or "SKIP" only).
int readOrganisationSkip(const clsRowFields& row, CsvColumn column, int fallback, bool& corrected) {
    if (!row.Present(column)) return fallback;
    std::optional<int> code = CsvLookup(csvlist::Skip, row.Field(column));
    if (code && *code <= 1) return *code;
    corrected = true;
    return fallback;
}

int readOrganisationLink(const clsRowFields& row, CsvColumn column, int fallback, bool& corrected) {
    if (!row.Present(column)) return fallback;
    std::optional<int> code = CsvLookup(csvlist::OffOn, row.Field(column));
    if (code) return *code;
    corrected = true;
    return fallback;
}

// Direct keys: empty is none (255), 0..99 a key; anything else takes the default.
uint8_t readDirectKey(const clsRowFields& row, CsvColumn column, uint8_t fallback,
                      bool& corrected) {
    std::string_view text = CsvTrim(row.Field(column));
    if (text.empty()) return NoDirectKey;
    if (std::optional<int64_t> key = CsvParseInteger(text, 0, 99)) return uint8_t(*key);
    corrected = true;
    return fallback;
}

int readCounter(const clsRowFields& row, CsvColumn column, bool& corrected) {
    std::string_view text = CsvTrim(row.Field(column));
    if (text.empty()) return CsvNone;
    if (std::optional<int64_t> n = CsvParseInteger(text, 0, 9999)) return int(*n);
    corrected = true;
    return CsvNone;
}

std::string readOrganisationName(const clsRowFields& row, CsvColumn column, bool japaneseText) {
    return CsvTrimRight(CsvNameToImage(row.Field(column), japaneseText).bytes);
}

void readOrganisation(const clsRowFields& row, bool japaneseText, Bank_Info& info,
                      bool& corrected) {
    datCh category;
    category.SetDefault(datKind::Category, 0);
    datCh group;
    group.SetDefault(datKind::Group, 0);

    info.categoryIcon = category.icon;
    if (row.Present(CsvColumn::CategoryIcon)) {
        if (auto icon = CsvLookup(csvlist::Icon, row.Field(CsvColumn::CategoryIcon)))
            info.categoryIcon = uint8_t(*icon);
        else
            corrected = true;
    }
    info.categoryName = readOrganisationName(row, CsvColumn::CategoryName, japaneseText);
    info.categoryDirectKey =
        readDirectKey(row, CsvColumn::CategoryDirectKey, category.directKey, corrected);
    info.categoryLink =
        readOrganisationLink(row, CsvColumn::CategoryLink, category.link, corrected);
    info.categorySkip =
        readOrganisationSkip(row, CsvColumn::CategorySkip, category.skip, corrected);

    info.groupNo = readCounter(row, CsvColumn::GroupNo, corrected);
    info.groupName = readOrganisationName(row, CsvColumn::GroupName, japaneseText);
    info.groupDirectKey = readDirectKey(row, CsvColumn::GroupDirectKey, group.directKey, corrected);
    info.groupLink = readOrganisationLink(row, CsvColumn::GroupLink, group.link, corrected);
    info.groupSkip = readOrganisationSkip(row, CsvColumn::GroupSkip, group.skip, corrected);

    info.nameNo = readCounter(row, CsvColumn::NameNo, corrected);
    info.nameText = readOrganisationName(row, CsvColumn::NameName, japaneseText);
    if (!CsvNameNumberToImage(std::string(CsvTrim(row.Field(CsvColumn::NameNumber))),
                              info.nameNumber))
        corrected = true;
    info.nameSkip = readOrganisationSkip(row, CsvColumn::NameSkip, 0, corrected);
}

// Puts a value into a field, or the band default when it is unreadable.
template <class Field>
void take(Field& field, const clsCsvValue& value, Field fallback, bool& corrected) {
    if (value.valid) {
        field = Field(value.value);
        return;
    }
    field = fallback;
    if (value.present) corrected = true;
}

} // namespace

cmcCsvRowReader::cmcCsvRowReader(int kind, const clsCsvReadOptions& options)
    : kind_(kind), options_(options), separators_(options.separators) {
    const int destination = options.destination ? options.destination->Index() : 0;
    flags_ = clsCsvFlags::ForKind(kind, destination);
    positions_.fill(-1);
}

int cmcCsvRowReader::RowNumberLimit(int kind) {
    switch (kind) {
    case csvkind::PgSrch:
        return 25;
    case csvkind::AutoMWCH:
        return 200;
    case csvkind::BasicCh:
        return 100;
    case csvkind::BasicPg:
        return 20;
    default:
        return 1600;
    }
}

uint32_t cmcCsvRowReader::RecordKind(int kind) {
    if (kind == csvkind::Category || kind == csvkind::Group) return datKind::Mch;
    return static_cast<uint32_t>(kind);
}

bool cmcCsvRowReader::MatchHeader(const std::string& line, const clsCsvSeparators& separators) {
    std::vector<std::string> names = CsvSplitFields(line, separators.field);
    positions_.fill(-1);
    for (int column = 0; column < CsvColumnCount; ++column) {
        std::string_view wanted = CsvColumnName(static_cast<CsvColumn>(column), flags_);
        for (size_t i = 0; i < names.size(); ++i) {
            if (!CsvEqualNoCase(CsvTrim(names[i]), wanted)) continue;
            positions_[static_cast<size_t>(column)] = static_cast<int>(i);
            break;
        }
    }
    const bool found = ColumnPosition(CsvColumn::ChNo) >= 0 &&
                       ColumnPosition(CsvColumn::Frequency) >= 0 &&
                       (!flags_.edges || ColumnPosition(CsvColumn::FrequencyLow) >= 0);
    if (found) separators_ = separators;
    return found;
}

bool cmcCsvRowReader::ReadHeader(const std::string& line) {
    if (MatchHeader(line, options_.separators)) return true;
    const clsCsvSeparators other =
        clsCsvSeparators::FromDecimal(options_.separators.field == ',' ? ',' : '.');
    if (MatchHeader(line, other)) return true;
    positions_.fill(-1);
    return false;
}

int cmcCsvRowReader::ReadRow(const std::string& line, datCh& record, int& discarded, int& corrected,
                             Bank_Info& info) const {
    const uint32_t recordKind = RecordKind(kind_);
    record.Clear();
    record.kind = recordKind;
    record.SetInUse(false);
    clsRowFields row(line, separators_.field, positions_);

    std::optional<int64_t> number =
        CsvParseInteger(row.Field(CsvColumn::ChNo), 0, RowNumberLimit(kind_));
    if (!number) {
        // Spreadsheets end lists with rows of bare separators; those are not data.
        if (!row.AllBlank()) ++discarded;
        return CsvRefusedRow;
    }
    const int rowNumber = static_cast<int>(*number);
    bool changed = false;
    if (flags_.organisation) readOrganisation(row, options_.japaneseText, info, changed);

    if (flags_.name) {
        const size_t width =
            kind_ == csvkind::BasicCh ? record.shortName.size() : record.name.size();
        clsCsvName name =
            CsvNameToImage(CsvTrimRight(row.Field(CsvColumn::Name)), options_.japaneseText);
        if (name.replaced || name.bytes.size() > width) changed = true;
        if (kind_ == csvkind::BasicCh)
            record.SetShortName(name.bytes);
        else
            record.SetName(name.bytes);
    }

    const indDestination& destination =
        options_.destination ? *options_.destination : indDestination::Active();
    const auto snap = [&](int64_t hertz) {
        uint32_t f = static_cast<uint32_t>(hertz);
        uint32_t snapped = SnapFrequency(f, destination.BandOf(f), false);
        if (snapped != f) changed = true;
        return snapped;
    };
    const auto finish = [&](bool discard) {
        if (discard)
            ++discarded;
        else if (changed)
            ++corrected;
        return rowNumber;
    };

    if (flags_.edges) {
        clsCsvFrequency low = readFrequency(row, CsvColumn::FrequencyLow, separators_.decimal);
        if (low.empty) return finish(false);
        if (!inCoverage(low.hertz)) return finish(true);
        record.secondFrequency = snap(*low.hertz);
    }
    clsCsvFrequency high = readFrequency(row, CsvColumn::Frequency, separators_.decimal);
    if (high.empty) return finish(false);
    if (!inCoverage(high.hertz)) return finish(true);
    record.frequency = snap(*high.hertz);
    record.SetInUse(true);

    const clsCsvValue dup = readList(row, CsvColumn::Dup, csvlist::Dup);
    const clsCsvValue step = readList(row, CsvColumn::Step, csvlist::Step, true);
    const clsCsvValue mode = readList(row, CsvColumn::Mode, csvlist::Mode);
    const clsCsvValue att = readList(row, CsvColumn::Att, csvlist::Att);
    const clsCsvValue skip = readList(row, CsvColumn::Skip, csvlist::Skip);
    const clsCsvValue priority = readList(row, CsvColumn::Priority, csvlist::OffOn);
    const clsCsvValue stopBeep = readList(row, CsvColumn::StopBeep, csvlist::OffOn);
    const clsCsvValue toneMode = readList(row, CsvColumn::ToneMode, csvlist::ToneMode);
    const clsCsvValue tone = readList(row, CsvColumn::Tone, csvlist::Tone, true);
    const clsCsvValue dtcs = readDtcs(row);
    const clsCsvValue polarity = readList(row, CsvColumn::DtcsPolarity, csvlist::Polarity);
    const clsCsvValue canceller = readList(row, CsvColumn::Canceller, csvlist::Canceller);
    const clsCsvValue train = readTrainFrequency(row);
    const clsCsvValue vsc = readList(row, CsvColumn::Vsc, csvlist::OffOn);

    // The defaults of the band the frequency lies in.
    datCh band(record.Image(), nullptr, options_.destination);
    band.SetDefault(datKind::Band, destination.BandOf(record.frequency));
    const bool autoAllowed = destination.HasAutoModeAndStep();

    if (flags_.channelSettings) {
        take(record.duplex, dup, band.duplex, changed);
        take(record.toneMode, toneMode, band.toneMode, changed);
        take(record.tone, tone, band.tone, changed);
        take(record.dtcsCode, dtcs, band.dtcsCode, changed);
        take(record.dtcsPolarity, polarity, band.dtcsPolarity, changed);
        take(record.vsc, vsc, band.vsc, changed);
        if (row.Present(CsvColumn::Offset)) {
            clsCsvFrequency offset = readFrequency(row, CsvColumn::Offset, separators_.decimal);
            if (offset.hertz && *offset.hertz >= 0 && *offset.hertz <= OffsetReadLimitHz) {
                uint32_t f = static_cast<uint32_t>(*offset.hertz);
                record.offset = SnapFrequency(f, destination.BandOf(record.frequency), true);
                if (record.offset != f) changed = true;
            } else {
                record.offset = band.offset;
                changed = true;
            }
        }
        // Without the canceller columns the channel keeps the band's train frequency.
        record.trainFrequency = band.trainFrequency;
    }
    if (flags_.canceller) {
        take(record.canceller, canceller, band.canceller, changed);
        if (train.valid && train.value >= int(TrainLowHz) && train.value <= int(TrainHighHz)) {
            record.trainFrequency = RoundTrainFrequency(uint32_t(train.value));
            if (record.trainFrequency != uint32_t(train.value)) changed = true;
        } else if (train.present) {
            changed = true;
        }
    }

    const bool edge = kind_ == csvkind::PgSrch;
    if (flags_.stepCheck) {
        const bool usable = step.valid && (step.value != values::StepNotSet || edge);
        take(record.tuningStep, clsCsvValue{step.value, usable, step.present}, band.tuningStep,
             changed);
        if (!autoAllowed && record.tuningStep == values::StepAuto) {
            record.tuningStep = 0;
            if (step.present) changed = true;
        }
    }
    {
        int value = mode.value;
        bool usable = mode.valid && (value != values::ModeNotSet || edge);
        if (usable && value == 5) { // "FM-N" is FM on this receiver
            value = values::ModeFm;
            changed = true;
        }
        take(record.mode, clsCsvValue{value, usable, mode.present}, band.mode, changed);
        if (!autoAllowed && record.mode == values::ModeAuto) {
            record.mode = values::ModeFm;
            if (mode.present) changed = true;
        }
    }
    if (flags_.attCheck) {
        const bool usable = att.valid && (att.value != values::AttenuatorNotSet || edge);
        take(record.attenuator, clsCsvValue{att.value, usable, att.present}, band.attenuator,
             changed);
    }
    if (flags_.organisation) {
        take(record.skip, skip, 0, changed);
        take(record.priority, priority, 0, changed);
        take(record.stopBeep, stopBeep, 0u, changed);
    }
    return finish(false);
}

bool CsvNameNumberToImage(const std::string& text, std::string& number) {
    number = "   ";
    if (text.empty()) return true;
    const bool marked =
        text.size() > 2 && (text[0] == 'N' || text[0] == 'n' || text[1] == 'O' || text[1] == 'o');
    if (!marked) return false;
    std::string digits;
    size_t i = 2;
    for (; i < text.size() && i < 5 && text[i] >= '0' && text[i] <= '9'; ++i)
        digits += text[i];
    number.replace(0, digits.size(), digits);
    return i == text.size() && !digits.empty();
}
