// pelham-cli export FILE.tcf --sheet SHEET OUT.csv: writes the channel list of a sheet as
// File > Export does. pelham-cli export FILE.tcf --format generic OUT.csv writes every
// memory channel as the generic radio CSV of other programs, as File > Export > For Other
// Tools... does. The exit status is 0, or the file error code of the export.

#include "CliCsvOptions.h"

#include "files/cmcCsvColumns.h"
#include "files/cmcOtherList.h"

namespace {

// Whether the sheet's group or category exists in the document.
bool SheetExists(cmcOrganisation& organisation, int kind, int index) {
    if (kind == csvkind::Mch) return index < organisation.GroupCount();
    if (kind == csvkind::Group) return index < organisation.CategoryCount();
    return true;
}

int RunExportGeneric(const CliArgs& args) {
    if (args.value("--format") != "generic")
        return CliUsageError("export", "--format takes generic");
    CliDocument document;
    if (int code = document.Open(args, "export", args.positional[0]); code != 0) return code;
    return CsvWriteText(args.positional[1], OtherExportGenericText(document.Organisation()));
}

int RunExport(const CliArgs& args) {
    if (args.positional.size() != 2)
        return CliUsageError("export", "export takes a clone data file and a CSV file");
    if (args.value("--format")) return RunExportGeneric(args);
    int kind = 0, index = 0, status = 0;
    if (!CliSheet(args, "export", kind, index, status)) return status;
    if (!CsvCanExport(kind))
        return CliUsageError("export", "this sheet has no channel list to export");
    CliDocument document;
    if (int code = document.Open(args, "export", args.positional[0]); code != 0) return code;
    if (!SheetExists(document.Organisation(), kind, index))
        return CliUsageError("export", "the document has no such sheet");
    return CsvExport(args.positional[1], document.Organisation(), kind, index,
                     CsvWriteOptions(document));
}

const CliRegistration registration({"export", "FILE.tcf (--sheet SHEET | --format generic) OUT.csv", RunExport,
     "Writes one sheet as a CSV file, as File > Export does, or every channel as the "
     "generic radio CSV of other programs."});

} // namespace
