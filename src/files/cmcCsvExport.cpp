#include "files/cmcCsvExport.h"

#include "catalogue/cmcGTex.h"
#include "files/cmcCsvColumns.h"
#include "files/cmcCsvNames.h"
#include "files/cmcCsvValues.h"
#include "files/cmcSafeWrite.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "model/indDestination.h"
#include "platform/cmcPlatform.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int EdgeCount = 25;

std::string spellDecimal(CsvSpellingList list, int code, char decimal) {
    std::string text(CsvSpell(list, code));
    for (char& c : text)
        if (c == '.') c = decimal;
    return text;
}

std::string directKeyText(uint8_t key) {
    return key <= 99 ? std::to_string(key) : std::string();
}

std::string nameText(const char* bytes, size_t size, bool japaneseText) {
    return CsvTrimRight(CsvNameFromImage(std::string_view(bytes, size), japaneseText));
}

// The organisation records of the channel on the current row, loaded once per change.
struct clsRowOrganisation {
    datCh category, group, name;
    int categoryNumber = -1, groupNumber = -1, nameIndex = -1;
    int groupCounter = 0, nameCounter = 0;
};

class clsExportWriter {
  public:
    clsExportWriter(const cmcOrganisation& organisation, int kind,
                    const clsCsvWriteOptions& options)
        : organisation_(organisation), kind_(kind), options_(options),
          flags_(clsCsvFlags::ForKind(kind, organisation.Destination().Index())) {
        for (int c = 0; c < CsvColumnCount; ++c)
            if (CsvColumnPresent(static_cast<CsvColumn>(c), flags_))
                columns_.push_back(static_cast<CsvColumn>(c));
    }

    void Header() {
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (i) text_ += options_.separators.field;
            text_ += CsvColumnName(columns_[i], flags_);
        }
        text_ += options_.lineEnd;
    }

    // One row for the record of a kind at an index.
    void Row(uint32_t recordKind, int index) {
        datCh record = organisation_.Record();
        record.Load(recordKind, index);
        if (flags_.organisation && record.InUse()) TrackOrganisation(index, record);
        char number[16];
        std::snprintf(number, sizeof number, kind_ == 2 ? "%.2d" : "%.4d", row_++);
        text_ += number;
        for (size_t i = 1; i < columns_.size(); ++i) {
            text_ += options_.separators.field;
            if (record.InUse()) text_ += Value(columns_[i], record);
        }
        text_ += options_.lineEnd;
    }

    std::string Take() { return std::move(text_); }

  private:
    void TrackOrganisation(int slot, const datCh& record) {
        const int category = organisation_.CategoryOfChannel(slot);
        const int group = organisation_.GroupOfChannel(slot);
        const int name = static_cast<int>(record.nameIndex);
        if (org_.groupNumber < 0) {
            org_.groupCounter = org_.nameCounter = 0;
        } else if (group != org_.groupNumber) {
            ++org_.groupCounter;
            org_.nameCounter = 0;
        } else if (name != org_.nameIndex) {
            ++org_.nameCounter;
        }
        if (category != org_.categoryNumber) {
            org_.category = organisation_.Record();
            org_.category.Load(datKind::Category, category);
        }
        if (group != org_.groupNumber) {
            org_.group = organisation_.Record();
            org_.group.Load(datKind::Group, group);
        }
        if (name != org_.nameIndex || group != org_.groupNumber) {
            org_.name = organisation_.Record();
            org_.name.Load(datKind::Name, name);
        }
        org_.categoryNumber = category, org_.groupNumber = group, org_.nameIndex = name;
    }

    std::string Megahertz(uint32_t hertz) const {
        return CsvFormatMegahertz(hertz, options_.separators.decimal);
    }

    std::string Value(CsvColumn column, const datCh& r) const {
        const bool japanese = options_.japaneseText;
        const char decimal = options_.separators.decimal;
        switch (column) {
        case CsvColumn::ChNo:
            return {};
        case CsvColumn::CategoryIcon:
            return std::string(CsvSpell(csvlist::Icon, org_.category.icon));
        case CsvColumn::CategoryName:
            return nameText(org_.category.name.data(), org_.category.name.size(), japanese);
        case CsvColumn::CategoryDirectKey:
            return directKeyText(org_.category.directKey);
        case CsvColumn::CategoryLink:
            return std::string(CsvSpell(csvlist::OffOn, org_.category.link));
        case CsvColumn::CategorySkip:
            return std::string(CsvSpell(csvlist::Skip, org_.category.skip));
        case CsvColumn::GroupNo:
            return std::to_string(org_.groupCounter);
        case CsvColumn::GroupName:
            return nameText(org_.group.name.data(), org_.group.name.size(), japanese);
        case CsvColumn::GroupDirectKey:
            return directKeyText(org_.group.directKey);
        case CsvColumn::GroupLink:
            return std::string(CsvSpell(csvlist::OffOn, org_.group.link));
        case CsvColumn::GroupSkip:
            return std::string(CsvSpell(csvlist::Skip, org_.group.skip));
        case CsvColumn::NameNo:
            return std::to_string(org_.nameCounter);
        case CsvColumn::NameName:
            return nameText(org_.name.name.data(), org_.name.name.size(), japanese);
        case CsvColumn::NameNumber: {
            std::string number = nameText(org_.name.nameNumber.data(), 3, false);
            return number.empty() ? number : "No" + number;
        }
        case CsvColumn::NameSkip:
            return std::string(CsvSpell(csvlist::Skip, org_.name.skip));
        case CsvColumn::Name:
            if (kind_ == csvkind::BasicCh)
                return nameText(r.shortName.data(), r.shortName.size(), japanese);
            return nameText(r.name.data(), r.name.size(), japanese);
        case CsvColumn::FrequencyLow:
            return Megahertz(r.secondFrequency);
        case CsvColumn::Frequency:
            return Megahertz(r.frequency);
        case CsvColumn::Dup:
            return std::string(CsvSpell(csvlist::Dup, r.duplex));
        case CsvColumn::Offset:
            return Megahertz(r.offset);
        case CsvColumn::Step:
            return spellDecimal(csvlist::Step, int(r.tuningStep), decimal);
        case CsvColumn::Mode: // "FM-N" is written as the FM it is
            return std::string(CsvSpell(csvlist::Mode, r.mode == 5 ? 0 : int(r.mode)));
        case CsvColumn::Att:
            return std::string(CsvSpell(csvlist::Att, int(r.attenuator)));
        case CsvColumn::Skip:
            return std::string(CsvSpell(csvlist::Skip, r.skip));
        case CsvColumn::Priority:
            return std::string(CsvSpell(csvlist::OffOn, r.priority));
        case CsvColumn::StopBeep:
            return std::string(CsvSpell(csvlist::OffOn, int(r.stopBeep)));
        case CsvColumn::ToneMode:
            return std::string(CsvSpell(csvlist::ToneMode, r.toneMode));
        case CsvColumn::Tone:
            return spellDecimal(csvlist::Tone, int(r.tone), decimal);
        case CsvColumn::DtcsCode:
            return std::string(CsvSpell(csvlist::Dtcs, r.dtcsCode));
        case CsvColumn::DtcsPolarity:
            return std::string(CsvSpell(csvlist::Polarity, r.dtcsPolarity));
        case CsvColumn::Canceller:
            return std::string(CsvSpell(csvlist::Canceller, int(r.canceller)));
        case CsvColumn::CancellerFrequency:
            return std::to_string(r.trainFrequency) + "Hz";
        case CsvColumn::Vsc:
            return std::string(CsvSpell(csvlist::OffOn, int(r.vsc)));
        }
        return {};
    }

    const cmcOrganisation& organisation_;
    int kind_;
    clsCsvWriteOptions options_;
    clsCsvFlags flags_;
    std::vector<CsvColumn> columns_;
    clsRowOrganisation org_;
    std::string text_;
    int row_ = 0;
};

void showFileError(const char* key) {
    cmcGTex& text = cmcGTex::Process();
    cmcMessage(text.GetText("GI_Mess_FileErr_Headline") + "\n\n" + text.GetText(key),
               text.GetText("GI_Sys_AppTitle"), MsgIcon::Warning);
}

// The first and last record index of a list: slots of a group or category, edges, rows of
// the auto-write order; last < first for a list that does not exist.
std::pair<int, int> listRange(const cmcOrganisation& organisation, int kind, int index) {
    switch (kind) {
    case csvkind::Mch:
        if (index < 0 || index >= organisation.GroupCount()) break;
        return {organisation.FirstChannelOfGroup(index), organisation.LastChannelOfGroup(index)};
    case csvkind::Group:
        if (index < 0 || index >= organisation.CategoryCount()) break;
        return {organisation.FirstChannelOfCategory(index),
                organisation.LastChannelOfCategory(index)};
    case csvkind::PgSrch:
        return {0, EdgeCount - 1};
    case csvkind::AutoMWCH:
        return {0, datLookup::AutoWriteRowCount(organisation.Image()) - 1};
    default:
        break;
    }
    return {0, -1};
}

} // namespace

bool CsvCanExport(int kind) {
    return kind == csvkind::Mch || kind == csvkind::Group || kind == csvkind::PgSrch ||
           kind == csvkind::AutoMWCH;
}

std::string CsvExportRowsText(const cmcOrganisation& organisation, int kind, int index, int first,
                              int last, const clsCsvWriteOptions& options) {
    clsExportWriter writer(organisation, kind, options);
    writer.Header();
    const auto [listFirst, listLast] = listRange(organisation, kind, index);
    const cmcEeprom& image = organisation.Image();
    for (int i = std::max(first, listFirst); i <= std::min(last, listLast); ++i) {
        if (kind == csvkind::AutoMWCH)
            writer.Row(datKind::AutoMWCH, datLookup::AutoWriteSlotOfRow(image, i));
        else
            writer.Row(kind == csvkind::PgSrch ? datKind::PgSrch : datKind::Mch, i);
    }
    return writer.Take();
}

std::string CsvExportText(const cmcOrganisation& organisation, int kind, int index,
                          const clsCsvWriteOptions& options) {
    const auto [first, last] = listRange(organisation, kind, index);
    return CsvExportRowsText(organisation, kind, index, first, last, options);
}

int CsvExport(const std::string& path, const cmcOrganisation& organisation, int kind, int index,
              const clsCsvWriteOptions& options) {
    return CsvWriteText(path, CsvExportText(organisation, kind, index, options));
}

int CsvWriteText(const std::string& path, std::string_view text) {
    switch (cmcSafeWrite(path, text)) {
    case clsSafeWriteResult::Ok:
        return csvexport::Ok;
    case clsSafeWriteResult::CannotCreate:
        showFileError("GI_Mess_FileErr_FileOpen");
        return csvexport::FileOpen;
    case clsSafeWriteResult::CannotWrite:
        showFileError("GI_Mess_FileErr_FileAccess");
        return csvexport::FileAccess;
    }
    return csvexport::FileAccess;
}
