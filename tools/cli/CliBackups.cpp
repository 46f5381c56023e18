// pelham-cli backups [FILE.tcf]: the backups Clone Write made of the receiver, newest
// first: when, the receiver's comment and the file; with a file, how many differences
// each has from it. "pelham-cli write BACKUP.tcf" writes one back.

#include "CliDocument.h"

#include "app/indCloneSafety.h"

#include <cstdio>

namespace {

int RunBackups(const CliArgs& args) {
    if (args.positional.size() > 1) return CliUsageError("backups", "at most one file is taken");
    CliDocument document;
    const bool compare = !args.positional.empty();
    if (compare) {
        if (int code = document.Open(args, "backups", args.positional[0]); code != 0) return code;
    }
    const std::string folder = DefaultBackupFolder();
    const std::vector<clsBackupEntry> backups =
        ListBackups(folder, compare ? &document.Image() : nullptr, &document.Destination(),
                    document.JapaneseText());
    if (backups.empty()) std::fprintf(stderr, "no backups in %s\n", folder.c_str());
    for (const clsBackupEntry& backup : backups) {
        std::printf("%s  %-16s", backup.when.c_str(), backup.comment.c_str());
        if (backup.differences < 0)
            std::printf("  unreadable");
        else if (compare)
            std::printf("  %5d differences", backup.differences);
        std::printf("  %s\n", backup.path.c_str());
    }
    return 0;
}

const CliRegistration registration({"backups", "[FILE.tcf]", RunBackups,
                                    "Lists the receiver's backups, newest first; with a file, "
                                    "how many differences each has from it."});

} // namespace
