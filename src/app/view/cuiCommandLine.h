#pragma once

// The program's command line, read before the display is opened, so that --help and a
// mistyped option are answered on a machine without one.

#include <optional>
#include <string>
#include <vector>

struct clsCommandLine {
    std::vector<std::string> args; // for the settings store: the program path first
    std::optional<std::string> port;
    std::optional<std::string> trace; // the serial trace's file, for this run
    std::optional<std::string> file;  // a clone data file to open at start
    bool help = false;                // --help or -h: print the usage and end
    std::string error;                // a usage error, in one line; empty when none
};

// "--port PATH", "--trace FILE", "--setup" (or "/setup"), "--language en|ja" (kept in args
// for the settings store), "--help"/"-h" and one file to open; "--" ends the options. The toolkit's own options ("-platform offscreen",
// "-style NAME", ...) are passed over, the toolkit takes them.
clsCommandLine cuiParseCommandLine(const std::vector<std::string>& words);

// The usage text that --help prints.
const char* cuiUsageText();
