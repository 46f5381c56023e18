// Pelham: clone programming for the receiver. Builds the process-wide objects, the main
// window (or first the Initial Setup), and runs the message loop; a second instance ends
// at once.

#include "app/indCloneSafety.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "app/view/TForm2.h"
#include "platform/qt/gui/cmcQtPlatform.h"
#include "settings/indEnviron.h"

#include <QApplication>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int ExitUsage = 64;

struct CommandLine {
    std::vector<std::string> args; // for the settings store: the program path first
    std::optional<std::string> port;
    std::optional<std::string> trace; // the serial trace's file, for this run
    std::optional<std::string> file; // a clone data file to open at start
    bool valid = true;
};

// Takes "--port PATH", "--trace FILE" and a file to open out; everything else goes to the
// settings store, which looks for "/setup" ("--setup" is the same switch) and
// "--language en|ja".
CommandLine ParseCommandLine(const QStringList& words) {
    CommandLine line;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const bool setup = words[i].compare(QLatin1String("--setup"), Qt::CaseInsensitive) == 0 ||
                           words[i].compare(QLatin1String("/setup"), Qt::CaseInsensitive) == 0;
        if (setup) {
            line.args.push_back("/setup");
            continue;
        }
        if (i > 0 && !words[i].startsWith(QLatin1String("--"))) {
            if (line.file) line.valid = false; // one file at a time
            line.file = words[i].toStdString();
            continue;
        }
        if (words[i] == QLatin1String("--language")) {
            const bool known = i + 1 < words.size() && (words[i + 1] == QLatin1String("en") ||
                                                        words[i + 1] == QLatin1String("ja"));
            if (!known) {
                line.valid = false;
                break;
            }
            line.args.push_back("--language");
            line.args.push_back(words[++i].toStdString());
            continue;
        }
        const bool port = words[i] == QLatin1String("--port");
        if (!port && words[i] != QLatin1String("--trace")) {
            if (i > 0) line.valid = false; // an option this program does not know
            line.args.push_back(words[i].toStdString());
            continue;
        }
        if (i + 1 >= words.size()) {
            line.valid = false;
            break;
        }
        (port ? line.port : line.trace) = words[++i].toStdString();
    }
    return line;
}

// Unsaved work goes to the user's state folder. PELHAM_RECOVERY_INTERVAL_MS shortens the
// 30 s between writes, for tests that kill the program.
void StartRecovery(indRecovery& recovery) {
    recovery.Start(indRecovery::DefaultPath());
    const char* interval = std::getenv("PELHAM_RECOVERY_INTERVAL_MS");
    if (!interval || !*interval) return;
    char* end = nullptr;
    const unsigned long ms = std::strtoul(interval, &end, 10);
    if (*end == '\0' && ms > 0 && ms <= indRecovery::DefaultIntervalMs) recovery.SetInterval(ms);
}

int RunProgram(QApplication& application, const CommandLine& line) {
    indProcess process(line.args);
    // Another instance runs: no window, no message, nothing written.
    if (!process.AllowedToRun()) return 0;
    QTranslator qtTexts;
    cmcQtTranslate(qtTexts, process.Environ().language);
    if (line.port) process.UsePortForThisRun(*line.port);
    // A trace that cannot be written says why; the program runs on without one.
    if (line.trace) StartSerialTrace(*line.trace);
    StartRecovery(process.Main().Recovery());

    int result = 0;
    {
        TForm1 form(process.Main());
        if (line.file) form.OpenAtStart(*line.file);
        // Without setup done the Initial Setup comes first; the main window stays hidden
        // until it closes.
        if (process.Environ().setupDone)
            form.ShowWindow();
        else
            TForm2::Show(process.Main(), &form);
        result = application.exec();
    }
    return result; // the process objects go in reverse order; the settings are written
}

} // namespace

int main(int argc, char** argv) {
    cmcQtPlatform platform;
    QApplication application(argc, argv);
    const CommandLine line = ParseCommandLine(QApplication::arguments());
    if (!line.valid) {
        std::fputs("usage: pelham [--setup] [--language en|ja] [--port PATH] [--trace FILE] "
                   "[FILE.tcf]\n",
                   stderr);
        return ExitUsage;
    }
    try {
        return RunProgram(application, line);
    } catch (const std::exception& error) {
        // Nothing the program can go on from; say so rather than vanish.
        cmcMessage(error.what(), platform.folders.programName(), MsgIcon::Error);
        return 1;
    }
}
