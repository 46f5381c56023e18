#include "support/CliRun.h"

#include <cstdlib>
#include <sys/wait.h>

CliRun RunPelhamCli(const std::string& arguments, const testenv::TempFolder& folder,
                    const std::string& locale, const std::string& environment) {
    const std::string output = folder.file("cli-stdout.txt");
    const std::string errors = folder.file("cli-stderr.txt");
    const std::string command = "XDG_CONFIG_HOME=" + folder.file("config") + " LC_ALL=" + locale +
                                " " + environment + " " +
                                (testenv::binaryFolder() / "pelham-cli").string() + " " +
                                arguments + " >" + output + " 2>" + errors + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testenv::readFile(output),
            testenv::readFile(errors)};
}
