#pragma once

// The frame of pelham-cli: parsed arguments, the command table and the console stand-ins
// for message boxes. Each command lives in a file of its own and registers itself.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Exit status for a usage error.
constexpr int ExitUsage = 64;

struct CliArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values; // "--port" -> "/dev/pts/3", "-o" -> ...
    std::set<std::string> flags;               // "--yes", "--add", ...

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string& option) const;
    // The value as a whole decimal number in [low, high], or nothing.
    std::optional<long long> number(const std::string& option, long long low, long long high) const;
};

struct CliCommand {
    const char* name;
    const char* usage; // the argument part of the usage line
    int (*run)(const CliArgs& args);
    const char* summary = ""; // one sentence for "pelham-cli COMMAND --help"
    bool paints = false; // draws pages: runs on the offscreen display
};

// Adds a command to the table; used by a static object in each command's file.
struct CliRegistration {
    explicit CliRegistration(const CliCommand& command);
};

// Prints "pelham-cli: message" and the command's usage line to standard error; returns
// ExitUsage.
int CliUsageError(const std::string& command, const std::string& message);
