#include "files/cmcPresetImport.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "files/cmcCsvNames.h"
#include "files/cmcCsvValues.h"
#include "model/cmcOrganisation.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"
#include "platform/cmcPlatform.h"

namespace {

constexpr size_t BankNameLength = 16;

// Reads one entry list into the bank; false when its header is refused.
bool importList(const std::vector<std::string>& lines, int kind, int bank,
                cmcOrganisation& organisation, cmcEvMan& events, const clsCsvReadOptions& options,
                clsPresetImportResult& result) {
    cmcCsvRowReader reader(kind, options);
    if (!reader.ReadHeader(lines.front())) return false;
    const bool ch = kind == csvkind::BasicCh;
    const int perBank = ch ? cmcOrganisation::MaxBankChEntries : cmcOrganisation::MaxBankPgEntries;
    datCh record = organisation.Record();
    Bank_Info info;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (CsvTrim(lines[i]).empty()) continue;
        int row = reader.ReadRow(lines[i], record, result.discarded, result.corrected, info);
        if (row == CsvRefusedRow || !record.InUse()) continue;
        const int count = ch ? organisation.BankChCount(bank) : organisation.BankPgCount(bank);
        if (count >= perBank) {
            result.noRoomAll = true;
            break;
        }
        const int index = bank * perBank + count;
        events.Send(ev::InsertBasicEntry, kind, index);
        if ((ch ? organisation.BankChCount(bank) : organisation.BankPgCount(bank)) != count + 1) {
            result.noRoomAll = true;
            break;
        }
        record.Store(static_cast<uint32_t>(kind), index);
        ++result.imported;
    }
    return true;
}

// The bank's name and icon from the category; a cut name or an unknown icon is corrected.
void writeBank(const Cate_Data& category, int bank, cmcOrganisation& organisation,
               const clsCsvReadOptions& options, clsPresetImportResult& result) {
    bool changed = false;
    std::string name = CsvTrimRight(CsvNameToImage(category.name, options.japaneseText).bytes);
    if (name.size() > BankNameLength) {
        name.resize(BankNameLength);
        changed = true;
    }
    datCh record = organisation.Record();
    record.Load(datKind::BasicBank, bank);
    record.SetName(CsvTrim(name).empty() ? "Category" : name);
    std::optional<int> icon = CsvLookup(csvlist::Icon, category.icon);
    if (!icon) changed = true;
    record.icon = static_cast<uint8_t>(icon.value_or(values::IconHamHandheld));
    record.Store(datKind::BasicBank, bank);
    if (changed) ++result.corrected;
}

void deleteBank(cmcEvMan& events, int bank) {
    events.Send(ev::BankDeleted, 0, bank);
    events.Send(ev::DeleteBankQuiet, 0, bank);
}

void showLines(const char* key) {
    cmcGTex& text = cmcGTex::Process();
    cmcMessage(text.GetLines(key), text.GetText("GI_Sys_AppTitle"), MsgIcon::Warning);
}

} // namespace

bool ImportPresetCategory(const Cate_Data& category, int bank, cmcOrganisation& organisation,
                          cmcEvMan& events, const clsCsvReadOptions& options,
                          clsPresetImportResult& result) {
    bool accepted = !category.chLines.empty() || !category.progLines.empty();
    if (!category.chLines.empty() && !importList(category.chLines, csvkind::BasicCh, bank,
                                                 organisation, events, options, result))
        accepted = false;
    if (!category.progLines.empty() && !importList(category.progLines, csvkind::BasicPg, bank,
                                                   organisation, events, options, result))
        accepted = false;
    return accepted;
}

clsPresetImportResult ImportPresets(const std::vector<Preset_Data>& presets,
                                    cmcOrganisation& organisation, cmcEvMan& events, int openBank,
                                    const clsCsvReadOptions& options) {
    clsPresetImportResult result;
    result.accepted = true;
    bool started = false;
    bool stopped = false;
    int target = 0;
    for (const Preset_Data& preset : presets) {
        if (stopped) break;
        if (preset.selection == presetchoice::None) continue;
        for (const Cate_Data& category : preset.categories) {
            if (category.selection == presetchoice::None) continue;
            if (!started) {
                started = true;
                const int banks = organisation.BankCount();
                if (category.selection == presetchoice::Overwrite) {
                    if (openBank == PresetAllBanks) {
                        for (int bank = banks - 1; bank >= 0; --bank)
                            deleteBank(events, bank);
                        target = 0;
                    } else {
                        target = std::min(openBank, banks);
                        if (openBank < banks) deleteBank(events, openBank);
                    }
                } else {
                    target = openBank == PresetAllBanks ? banks : std::min(openBank + 1, banks);
                }
                events.Post(ev::RepaintAll);
            }
            if (organisation.BankCount() >= cmcOrganisation::MaxBanks) {
                result.noRoomAll = stopped = true;
                break;
            }
            events.Send(ev::InsertBank, 0, target);
            writeBank(category, target, organisation, options, result);
            if (!ImportPresetCategory(category, target, organisation, events, options, result))
                result.headersAccepted = false;
            if (organisation.BankChCount(target) + organisation.BankPgCount(target) > 0) {
                events.Send(ev::BankInserted, 0, target);
                ++target;
                ++result.banks;
            } else {
                events.Send(ev::DeleteBankQuiet, 0, target);
            }
            events.Post(ev::RepaintAll);
        }
    }
    events.Post(ev::RepaintAll);
    events.Send(ev::SheetTitle);
    return result;
}

void ShowPresetSummary(const clsPresetImportResult& result) {
    if (!result.headersAccepted) return showLines("GI_Mess_Import_TitleErr");
    CsvShowImportSummary(result);
}

void RunPresetCommand(const std::string& folder, cmcOrganisation& organisation, cmcEvMan& events,
                      int openBank, const clsCsvReadOptions& options, const PresetDialog& dialog) {
    if (PresetFiles(folder).empty()) return;
    std::vector<Preset_Data> presets = ScanPresets(folder, options.japaneseText);
    if (!presets.empty() && dialog) dialog(presets, openBank != PresetAllBanks);
    ShowPresetSummary(ImportPresets(presets, organisation, events, openBank, options));
}
