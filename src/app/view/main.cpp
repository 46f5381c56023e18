// Pelham: clone programming for the receiver. Builds the process-wide objects, the main
// window (or first the Initial Setup), and runs the message loop; a second instance ends
// at once.

#include "app/indCloneSafety.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "app/view/TForm2.h"
#include "app/view/cuiAccessible.h"
#include "app/view/cuiCommandLine.h"
#include "app/view/cuiListWindow.h"
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

int RunProgram(QApplication& application, const clsCommandLine& line) {
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
    // Before the display is opened: --help and a usage error need none.
    const clsCommandLine line = cuiParseCommandLine(std::vector<std::string>(argv, argv + argc));
    if (!line.error.empty()) {
        std::fprintf(stderr, "pelham: %s (pelham --help lists the options)\n", line.error.c_str());
        return ExitUsage;
    }
    if (line.help) {
        std::fputs(cuiUsageText(), stdout);
        return 0;
    }
    cmcQtPlatform platform;
    cuiListBox lists; // Clone Write's plan and the list of backups
    lists.Install();
    QApplication application(argc, argv);
    application.setStyle(new cuiFocusStyle);
    try {
        return RunProgram(application, line);
    } catch (const std::exception& error) {
        // Nothing the program can go on from; say so rather than vanish.
        cmcMessage(error.what(), platform.folders.programName(), MsgIcon::Error);
        return 1;
    }
}
