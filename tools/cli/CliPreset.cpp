// pelham-cli preset FILE.tcf PRESET.sch (--all | --bank N) (--add | --overwrite) [--yes]
// [-o OUT.tcf]: imports every category of a preset file (or of an installed preset named
// without its folder) as Preset Basic Search does, as
// new banks after bank N (or after the last bank), or in place of bank N (or of every
// bank), then saves the document as Save does.

#include "CliCsvOptions.h"

#include "catalogue/cmcGTex.h"
#include "files/cmcCsvText.h"
#include "files/cmcPresetImport.h"
#include "files/cmcPresetReader.h"
#include "files/cmcTcfFile.h"
#include "platform/cmcPlatform.h"

#include <filesystem>

namespace {

// A preset file as given, or else a name ("USA" or "usa.sch") of the presets installed
// with the program, in the folder the preset dialog lists.
std::string PresetPath(const std::string& given, bool japanese) {
    if (std::filesystem::exists(given) || given.find('/') != std::string::npos) return given;
    const std::string folder = PresetFolder(cmcPlatform::get().folders->dataFolder(), japanese);
    for (const std::string& file : PresetFiles(folder)) {
        const std::filesystem::path path(file);
        if (CsvEqualNoCase(path.filename().string(), given) ||
            CsvEqualNoCase(path.stem().string(), given))
            return file;
    }
    return given;
}

// The question the preset dialog asks before Overwrite.
bool ConfirmOverwrite(bool allBanks) {
    cmcGTex& text = cmcGTex::Process();
    const char* key = allBanks ? "GI_Mess_Confirm_All_OW_Preset" : "GI_Mess_Confirm_Cate_OW_Preset";
    return cmcMessage(text.GetLines(key), text.GetText("GI_Sys_AppTitle"), MsgIcon::Warning,
                      MsgButtons::OkCancel) == answer::Ok;
}

int RunPreset(const CliArgs& args) {
    if (args.positional.size() != 2)
        return CliUsageError("preset", "preset takes a clone data file and a preset file");
    const bool overwrite = args.has("--overwrite");
    if (overwrite == args.has("--add"))
        return CliUsageError("preset", "give one of --add and --overwrite");
    const bool allBanks = args.has("--all");
    if (allBanks == args.value("--bank").has_value())
        return CliUsageError("preset", "give one of --all and --bank N");
    int bank = PresetAllBanks;
    if (!allBanks) {
        auto n = args.number("--bank", 0, cmcOrganisation::MaxBanks - 1);
        if (!n) return CliUsageError("preset", "--bank takes 0..19");
        bank = static_cast<int>(*n);
    }

    CliDocument document;
    const std::string& tcf = args.positional[0];
    if (int code = document.Open(args, "preset", tcf); code != 0) return code;
    if (bank != PresetAllBanks && bank >= document.Organisation().BankCount())
        return CliUsageError("preset", "the document has no such bank");

    const std::string path = PresetPath(args.positional[1], document.JapaneseText());
    if (!CliReadable(path)) {
        cmcTcfFile::ShowFileError(cmcTcfFile::FileOpen);
        return cmcTcfFile::FileOpen;
    }
    const clsCsvReadOptions options = CsvReadOptions(document);
    Preset_Data preset;
    if (!ReadPreset(path, options.japaneseText, preset)) {
        clsCsvImportResult refused; // "File error. Illegal data."
        CsvShowImportSummary(refused);
        return cmcTcfFile::Format;
    }
    if (overwrite && !ConfirmOverwrite(allBanks)) return 1;
    const int choice = overwrite ? presetchoice::Overwrite : presetchoice::Add;
    preset.selection = choice;
    for (Cate_Data& category : preset.categories)
        category.selection = choice;

    clsPresetImportResult result =
        ImportPresets({preset}, document.Organisation(), document.Events(), bank, options);
    ShowPresetSummary(result);
    if (int code = document.Save(args.value("-o").value_or(tcf)); code != 0) return code;
    return result.headersAccepted ? 0 : cmcTcfFile::Format;
}

const CliRegistration
    registration({"preset",
                  "FILE.tcf PRESET.sch (--all | --bank N) (--add | --overwrite) "
                  "[--yes] [-o OUT.tcf]",
                  RunPreset,
                  "Loads a preset file, or an installed preset by name (USA), into the "
                  "search banks and saves."});

} // namespace
