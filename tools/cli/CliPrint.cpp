// pelham-cli print FILE.tcf (--sheet SHEET | --all) -o OUT.pdf [--paper A4|Letter]: lays
// the sheets out on pages as File > Print does and writes them to a PDF file. It draws on
// the offscreen display: no window is shown and no display is needed. --all prints every
// sheet of the navigation tree in tree order. An existing OUT.pdf is replaced only once
// the new file is complete.

#include "CliDocument.h"

#include "app/indProcess.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvents.h"
#include "model/datClipCh.h"
#include "model/indCellLogic.h"
#include "print/cuiPrinter.h"
#include "settings/indEnviron.h"
#include "sheet/view/cuiTree.h"

#include <QIcon>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include <cstdio>
#include <optional>

namespace {

constexpr int FileOpen = 1;   // the PDF file cannot be created
constexpr int FileAccess = 2; // the PDF file cannot be written completely

// The binding of the tree node behind a SHEET name, its number taken from the tree's
// branch lists; nothing for an unknown name or a record the document lacks.
std::optional<std::string> Binding(const std::string& name, const iuiTree& tree) {
    struct Plain {
        const char* name;
        const char* binding;
    };
    static const Plain plain[] = {{"categories", "CategoryOp"},
                                  {"edges", "ScanEdge"},
                                  {"autowrite", "AutoMWCH"},
                                  {"banks", "BasicOp"},
                                  {"common", "0"}};
    for (const Plain& p : plain)
        if (name == p.name) return std::string(p.binding);
    struct Numbered {
        const char* prefix;
        const char* binding;
        const std::vector<int>* branches; // none: the number is the binding's own
        int limit;
    };
    const Numbered numbered[] = {{"category:", "Category ", &tree.Categories(), 0},
                                 {"group:", "Group ", &tree.Groups(), 0},
                                 {"link:", "ScanLink ", nullptr, 10},
                                 {"bank-ch:", "BasicCH ", &tree.Banks(), 0},
                                 {"bank-pg:", "BasicPG ", &tree.Banks(), 0}};
    for (const Numbered& p : numbered) {
        const std::optional<int> number = CliSheetNumber(name, p.prefix);
        if (!number) continue;
        const int n = *number;
        const int count = p.branches ? static_cast<int>(p.branches->size()) : p.limit;
        if (n < 0 || n >= count) return std::nullopt;
        return p.binding + std::to_string(p.branches ? (*p.branches)[size_t(n)] : n);
    }
    return std::nullopt;
}

std::optional<std::string> AddressOf(const std::string& binding, const iuiTree& tree) {
    for (const std::string& address : tree.SheetAddresses()) {
        const size_t comma = address.find(',');
        if (comma != std::string::npos && address.substr(comma + 1) == binding) return address;
    }
    return std::nullopt;
}

void ShowFileError(const char* key) {
    std::fprintf(stderr, "%s\n", cmcGTex::Process().GetText(key).c_str());
}

// Writes the pages through a file that replaces the old one only when complete.
int WritePdf(cuiPrinter& printer, const std::vector<cuiPrintPage>& pages, const QString& path,
             const QPageSize& paper) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ShowFileError("GI_Mess_FileErr_FileOpen");
        return FileOpen;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QString::fromStdString(cmcGTex::Process().GetText("GI_Sys_AppTitleRev")));
        pdf.setPageSize(paper);
        printer.TakePageSize(pdf);
        cuiPageWriter writer(printer, pdf, static_cast<int>(pages.size()));
        for (const cuiPrintPage& page : pages)
            writer.Write(page);
        if (!writer.Finish()) {
            file.cancelWriting();
            ShowFileError("GI_Mess_FileErr_FileAccess");
            return FileAccess;
        }
    }
    if (!file.commit()) {
        ShowFileError("GI_Mess_FileErr_FileAccess");
        return FileAccess;
    }
    return 0;
}

int RunPrint(const CliArgs& args) {
    if (args.positional.size() != 1)
        return CliUsageError("print", "print takes one clone data file");
    const auto sheetName = args.value("--sheet");
    if (sheetName.has_value() == args.has("--all"))
        return CliUsageError("print", "print takes either --sheet SHEET or --all");
    const auto out = args.value("-o");
    if (!out || out->empty()) return CliUsageError("print", "print needs -o OUT.pdf");
    const std::string paperName = args.value("--paper").value_or("A4");
    if (paperName != "A4" && paperName != "Letter")
        return CliUsageError("print", "--paper takes A4 or Letter");

    CliDocument document;
    if (int code = document.Open(args, "print", args.positional[0]); code != 0) return code;
    datClipCh clipboard;
    indCellDocument parts;
    parts.organisation = &document.Organisation();
    parts.clipboard = &clipboard;
    parts.events = &document.Events();
    parts.destination = &document.Destination();
    parts.japaneseNames = document.JapaneseText();
    indCellLogic logic(parts);
    logic.Install();

    cmcGTex& catalogue = cmcGTex::Process();
    iuiTree tree(
        catalogue, document.Events(), document.Organisation(), [](int, int) { return QIcon(); },
        nullptr);
    tree.Build();
    document.Events().Send(ev::RebuildBranches);

    std::vector<std::string> addresses;
    if (sheetName) {
        const auto binding = Binding(*sheetName, tree);
        const auto address = binding ? AddressOf(*binding, tree) : std::nullopt;
        if (!address)
            return CliUsageError("print", "--sheet takes a sheet of the document, such as "
                                          "group:0 or edges");
        addresses.push_back(*address);
    } else {
        addresses = tree.SheetAddresses();
    }

    cuiSheetServices services;
    services.catalogue = &catalogue;
    services.events = &document.Events();
    services.organisation = &document.Organisation();
    services.destination = document.Destination().Index();
    services.positionOf = [&tree](char kind, int number) { return tree.PositionOf(kind, number); };
    const indEnviron settings(indProcess::MutexName, indProcess::SettingsKey,
                              indProcess::SettingsKey, {}, indEnviron::Access::ReadOnly);
    cuiPrinter printer(services, cuiPrintFrame::FromCatalogue(catalogue));
    printer.SetFontPoints(settings.printerFontSize);
    const QPageSize paper(paperName == "A4" ? QPageSize::A4 : QPageSize::Letter);
    printer.SetPageSize(QPageSize::sizePixels(paper.id(), cuiPrinter::Resolution));
    const std::vector<cuiPrintPage> pages = cuiLayOutSheets(printer, addresses);
    return WritePdf(printer, pages, QString::fromStdString(*out), paper);
}

const CliRegistration registration(
    {"print", "FILE.tcf (--sheet SHEET | --all) -o OUT.pdf [--paper A4|Letter]", RunPrint,
     "Writes the pages File > Print would print to a PDF file, with no display.", true});

} // namespace
