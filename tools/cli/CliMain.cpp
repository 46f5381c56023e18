#include "CliCommand.h"
#include "CliPlatform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::vector<CliCommand>& table() {
    static std::vector<CliCommand> commands;
    return commands;
}

// Options that take a value; every other "--word" is a flag.
const std::set<std::string> ValueOptions = {
    "--port",    "--destination", "--language", "--sheet", "--cell", "--index",
    "--text",    "--key",         "--choose",   "--bank",  "-o",     "--trace",
    "--command", "--rows",        "--from",     "--paper",  "--by",
    "--start",   "--step",        "--count",    "--name",  "--first",
    "--format",  "--map",         "--into",
};

const CliCommand* findCommand(const std::string& name) {
    for (const CliCommand& command : table())
        if (name == command.name) return &command;
    return nullptr;
}

const char CommonOptions[] =
    "options for every command: --language en|ja, --destination D\n"
    "a file that opens only with corrections for the destination is reported on standard\n"
    "error and saved only with --yes\n";
const char SheetNames[] =
    "SHEET is categories, category:N, group:N, edges, link:N, autowrite, banks,\n"
    "      bank-ch:N, bank-pg:N or common\n";

void printUsage(FILE* out) {
    std::fprintf(out, "usage:\n");
    for (const CliCommand& command : table())
        std::fprintf(out, "  pelham-cli %s %s\n", command.name, command.usage);
    std::fputs(CommonOptions, out);
    std::fprintf(out, "pelham-cli COMMAND --help shows one command's usage\n");
}

// "pelham-cli COMMAND --help": the command's usage on standard output.
int printCommandHelp(const CliCommand& command) {
    std::printf("usage: pelham-cli %s %s\n", command.name, command.usage);
    if (*command.summary) std::printf("%s\n", command.summary);
    if (std::strstr(command.usage, "SHEET")) std::fputs(SheetNames, stdout);
    std::fputs(CommonOptions, stdout);
    return 0;
}

bool asksForHelp(const CliArgs& args) {
    return args.has("--help") ||
           std::find(args.positional.begin(), args.positional.end(), "-h") != args.positional.end();
}

// Splits the words after the command name; nothing on a malformed command line.
std::optional<CliArgs> parse(int argc, char** argv, std::string& error) {
    CliArgs args;
    for (int i = 2; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--") {
            for (++i; i < argc; ++i)
                args.positional.push_back(argv[i]);
            break;
        }
        if (ValueOptions.count(word)) {
            if (i + 1 >= argc) {
                error = word + " needs a value";
                return std::nullopt;
            }
            args.values[word] = argv[++i];
        } else if (word.rfind("--", 0) == 0 && word.size() > 2) {
            args.flags.insert(word);
        } else {
            args.positional.push_back(word);
        }
    }
    return args;
}

} // namespace

std::optional<std::string> CliArgs::value(const std::string& option) const {
    auto found = values.find(option);
    if (found == values.end()) return std::nullopt;
    return found->second;
}

std::optional<long long> CliArgs::number(const std::string& option, long long low,
                                         long long high) const {
    auto text = value(option);
    if (!text || text->empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long long parsed = std::strtoll(text->c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return std::nullopt;
    return parsed;
}

CliRegistration::CliRegistration(const CliCommand& command) {
    table().push_back(command);
}

int CliUsageError(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "pelham-cli: %s\n", message.c_str());
    if (const CliCommand* found = findCommand(command))
        std::fprintf(stderr, "usage: pelham-cli %s %s\n", found->name, found->usage);
    return ExitUsage;
}

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? ExitUsage : 0;
    }
    const CliCommand* command = findCommand(argv[1]);
    if (!command) {
        std::fprintf(stderr, "pelham-cli: unknown command '%s'\n", argv[1]);
        printUsage(stderr);
        return ExitUsage;
    }
    std::string error;
    auto args = parse(argc, argv, error);
    if (!args) return CliUsageError(command->name, error);
    if (asksForHelp(*args)) return printCommandHelp(*command);
    const auto language = args->value("--language");
    if (language && *language != "en" && *language != "ja")
        return CliUsageError(command->name, "--language takes en or ja");
    CliPlatform platform(argc, argv, args->has("--yes"), language, command->paints);
    return command->run(*args);
}
