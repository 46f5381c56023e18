// pelham-cli import-other FILE.tcf IN [--format auto|generic|bookmarks|scanner|columns]
// [--map frequency=COL,...] [--into group:N | --into last | --new-groups] [--dry-run]
// [-o OUT.tcf]: reads a channel list of another program as File > Import > From Other
// Tools... does. Every row is printed with its notes on standard output, then the summary;
// without --dry-run the rows are imported and the document saved.

#include "CliCsvOptions.h"

#include "catalogue/cmcGTex.h"
#include "files/cmcOtherList.h"
#include "files/cmcTcfFile.h"

#include <cstdio>

namespace {

std::string baseName(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

int fail(const std::string& key) {
    std::fprintf(stderr, "pelham-cli: %s\n", cmcGTex::Process().GetText(key).c_str());
    return cmcTcfFile::Format;
}

void printPlan(const clsOtherRead& read, const clsOtherPlan& plan, const clsOtherTarget& target,
               const cmcOrganisation& organisation) {
    std::printf("format: %s\nmap: %s\n", std::string(OtherFormatName(read.table.format)).c_str(),
                OtherMapText(read.mapping).c_str());
    for (const clsOtherPlanRow& row : plan.rows) {
        std::printf("%d:", row.line);
        if (row.imported) {
            std::printf(" %s \"%s\" %s %s %s %s %s", CsvFormatMegahertz(row.hertz, '.').c_str(),
                        row.name.c_str(), row.mode.c_str(), row.step.c_str(), row.tone.c_str(),
                        row.duplex.c_str(), row.skip.c_str());
            if (row.priority == "ON") std::printf(" PRIO");
            std::printf(" [%s]", OtherRowGroupName(row, target, organisation).c_str());
        } else if (row.hertz) {
            std::printf(" %s \"%s\"", CsvFormatMegahertz(row.hertz, '.').c_str(), row.name.c_str());
        }
        for (const clsOtherNote& note : row.notes)
            std::printf(" (%s)", OtherNoteText(note).c_str());
        std::printf("\n");
    }
    std::printf("%s\n", OtherSummaryText(plan, target).c_str());
}

// --into group:N, --into last or --new-groups (the default).
bool readTarget(const CliArgs& args, cmcOrganisation& organisation, clsOtherTarget& target) {
    const std::optional<std::string> into = args.value("--into");
    if (!into) return true;
    if (args.has("--new-groups")) return false;
    target.newGroups = false;
    if (*into == "last") {
        target.group = organisation.GroupCount() - 1;
        return target.group >= 0;
    }
    std::optional<int> number = CliSheetNumber(*into, "group:");
    if (!number || *number < 0 || *number >= organisation.GroupCount()) return false;
    target.group = *number;
    return true;
}

int RunImportOther(const CliArgs& args) {
    if (args.positional.size() != 2)
        return CliUsageError("import-other", "import-other takes a clone data file and a list");
    const std::optional<int> format = OtherFormatFromName(args.value("--format").value_or("auto"));
    if (!format)
        return CliUsageError("import-other",
                             "--format takes auto, generic, bookmarks, scanner or columns");
    CliDocument document;
    const std::string& tcf = args.positional[0];
    if (int code = document.Open(args, "import-other", tcf); code != 0) return code;
    cmcOrganisation& organisation = document.Organisation();
    clsOtherTarget target;
    target.categoryName = baseName(args.positional[1]);
    if (!readTarget(args, organisation, target))
        return CliUsageError("import-other", "--into takes group:N of the document or last");

    clsOtherRead read = OtherReadFile(args.positional[1], *format);
    if (!read.error.empty()) return fail(read.error);
    if (auto map = args.value("--map")) {
        std::string error;
        if (!OtherApplyMap(*map, read.table, read.mapping, error)) return fail(error);
    }
    if (read.mapping[OtherField::Frequency] < 0) return fail("GI_Mess_Other_NoFrequency");
    const clsCsvReadOptions options = CsvReadOptions(document);
    const clsOtherPlan plan = OtherPlan(read.table, read.mapping, options, organisation);
    printPlan(read, plan, target, organisation);
    if (args.has("--dry-run")) return 0;
    if (!OtherCanImport(organisation, target)) {
        std::fprintf(stderr, "pelham-cli: the document has no room to add to\n");
        return 1;
    }
    const clsCsvImportResult result =
        OtherImport(plan, target, organisation, document.Events(), options);
    if (!result.accepted || result.imported == 0) return 1;
    return document.Save(args.value("-o").value_or(tcf));
}

const CliRegistration registration(
    {"import-other",
     "FILE.tcf IN [--format auto|generic|bookmarks|scanner|columns] [--map FIELD=COL,...] "
     "[--into group:N | --into last | --new-groups] [--dry-run] [-o OUT.tcf]",
     RunImportOther,
     "Reads another program's channel list, prints each row with its notes, imports and saves."});

} // namespace
