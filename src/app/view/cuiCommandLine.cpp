#include "app/view/cuiCommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The toolkit's options, with and without a value; it reads and removes them itself.
constexpr std::array<std::string_view, 15> ToolkitOptionsWithValue = {
    "-platform",      "-platformpluginpath",
    "-platformtheme", "-plugin",
    "-qmljsdebugger", "-qwindowgeometry",
    "-qwindowicon",   "-qwindowtitle",
    "-session",       "-style",
    "-stylesheet",    "-display",
    "-geometry",      "-name",
    "-title"};
constexpr std::array<std::string_view, 5> ToolkitFlags = {"-reverse", "-widgetcount", "-nograb",
                                                          "-dograb", "-sync"};

template <size_t N>
bool IsOneOf(const std::string& word, const std::array<std::string_view, N>& list) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

bool IsSetup(const std::string& word) {
    std::string lower = word;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return lower == "--setup" || lower == "/setup";
}

} // namespace

clsCommandLine cuiParseCommandLine(const std::vector<std::string>& words) {
    clsCommandLine line;
    if (!words.empty()) line.args.push_back(words.front());
    bool options = true;
    const auto takeFile = [&line](const std::string& word) {
        if (line.file && line.error.empty()) line.error = "one file at a time";
        line.file = word;
    };
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (!options || word.empty() || word == "-" || word.front() != '-') {
            if (options && IsSetup(word)) {
                line.args.push_back("/setup");
                continue;
            }
            takeFile(word);
            continue;
        }
        if (word == "--") {
            options = false;
        } else if (word == "--help" || word == "-h") {
            line.help = true;
        } else if (IsSetup(word)) {
            line.args.push_back("/setup");
        } else if (word == "--port" || word == "--trace") {
            if (i + 1 >= words.size()) {
                if (line.error.empty()) line.error = word + " needs a value";
                break;
            }
            (word == "--port" ? line.port : line.trace) = words[++i];
        } else if (word == "--language") {
            const bool known = i + 1 < words.size() && (words[i + 1] == "en" || words[i + 1] == "ja");
            if (!known) {
                if (line.error.empty()) line.error = "--language takes en or ja";
                break;
            }
            line.args.push_back(word);
            line.args.push_back(words[++i]);
        } else if (IsOneOf(word, ToolkitOptionsWithValue)) {
            ++i;
        } else if (!IsOneOf(word, ToolkitFlags) && line.error.empty()) {
            line.error = "unknown option " + word;
        }
    }
    return line;
}

const char* cuiUsageText() {
    return "usage: pelham [--setup] [--language en|ja] [--port PATH] [--trace FILE] [FILE.tcf]\n"
           "\n"
           "  --setup        show the Initial Setup before the main window\n"
           "  --language L   the language of the window, en or ja, for this run\n"
           "  --port PATH    use this serial port for this run\n"
           "  --trace FILE   write every byte sent and received on the port to FILE\n"
           "  -h, --help     print this text and end\n"
           "  FILE.tcf       a clone data file to open at start\n";
}
