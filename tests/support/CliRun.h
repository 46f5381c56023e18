#pragma once

// Runs pelham-cli as a script would: its words through the shell, standard input from
// /dev/null, its settings file inside the test's folder (never the user's), and the given
// locale. environment: further "NAME=value" words put before the program.

#include "support/TestEnvironment.h"

#include <string>

struct CliRun {
    int status = -1; // exit status; -1 when the program did not exit normally
    std::string output;
    std::string errors;
};

CliRun RunPelhamCli(const std::string& arguments, const testenv::TempFolder& folder,
                    const std::string& locale = "C", const std::string& environment = "");
