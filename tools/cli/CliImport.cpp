// pelham-cli import FILE.tcf --sheet SHEET (--add | --overwrite) [--yes] IN.csv [-o OUT.tcf]:
// reads a CSV file into a sheet as File > Import does and saves the document as Save does,
// to OUT.tcf or back to FILE.tcf. The question before Overwrite is answered by --yes; the
// summary messages go to standard error.

#include "CliCsvOptions.h"

#include "files/cmcCsvImport.h"
#include "files/cmcTcfFile.h"

#include <cstdio>

namespace {

bool SheetExists(cmcOrganisation& organisation, int kind, int index) {
    if (kind == csvkind::Mch) return index < organisation.GroupCount();
    if (kind == csvkind::Group) return index < organisation.CategoryCount();
    return true;
}

int RunImport(const CliArgs& args) {
    if (args.positional.size() != 2)
        return CliUsageError("import", "import takes a clone data file and a CSV file");
    const bool overwrite = args.has("--overwrite");
    if (overwrite == args.has("--add"))
        return CliUsageError("import", "give one of --add and --overwrite");
    int kind = 0, index = 0, status = 0;
    if (!CliSheet(args, "import", kind, index, status)) return status;
    const bool offered =
        overwrite ? CsvCanImportOverwrite(kind)
                  : kind == csvkind::Mch || kind == csvkind::Group || kind == csvkind::Category;
    if (!offered) return CliUsageError("import", "this sheet does not take that import");

    CliDocument document;
    const std::string& tcf = args.positional[0];
    if (int code = document.Open(args, "import", tcf); code != 0) return code;
    cmcOrganisation& organisation = document.Organisation();
    if (!SheetExists(organisation, kind, index))
        return CliUsageError("import", "the document has no such sheet");
    if (!overwrite && !CsvCanImportAdd(organisation, kind, index)) {
        std::fprintf(stderr, "pelham-cli: the sheet has no room to add to\n");
        return 1;
    }
    // The program's open dialog only offers files that exist.
    const std::string& csv = args.positional[1];
    if (!CliReadable(csv)) {
        cmcTcfFile::ShowFileError(cmcTcfFile::FileOpen);
        return cmcTcfFile::FileOpen;
    }

    clsCsvImportResult result = CsvImport(csv, organisation, document.Events(), kind, index,
                                          overwrite, CsvReadOptions(document));
    if (result.cancelled) return 1;
    if (!result.accepted) return cmcTcfFile::Format; // "Illegal data."
    return document.Save(args.value("-o").value_or(tcf));
}

const CliRegistration registration(
    {"import", "FILE.tcf --sheet SHEET (--add | --overwrite) [--yes] IN.csv [-o OUT.tcf]",
     RunImport, "Reads a CSV file into one sheet, as File > Import does, and saves."});

} // namespace
