#include "CliPlatform.h"

#include "app/indProcess.h"
#include "settings/indEnviron.h"

#include <QApplication>

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

int cmcConsoleMessageBox::show(const std::string& text, const std::string&, MsgIcon,
                               MsgButtons buttons) {
    std::fprintf(stderr, "%s\n", text.c_str());
    const bool question = buttons != MsgButtons::Ok;
    if (!question) return answer::Ok;
    const int yes = buttons == MsgButtons::OkCancel ? answer::Ok : answer::Yes;
    if (assumeYes_) return yes;
    if (!isatty(STDIN_FILENO)) return answer::Cancel;
    std::fprintf(stderr, "[y/N] ");
    std::string reply;
    if (!std::getline(std::cin, reply)) return answer::Cancel;
    return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y') ? yes : answer::Cancel;
}

namespace {

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, bool paints) {
    if (!paints) return std::make_unique<QCoreApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace

std::vector<std::string> CliSettingsArgs(const std::optional<std::string>& language) {
    std::vector<std::string> args = {"pelham-cli"};
    if (language) args.insert(args.end(), {"--language", *language});
    return args;
}

CliPlatform::CliPlatform(int& argc, char** argv, bool assumeYes,
                         const std::optional<std::string>& language, bool paints)
    : app_(MakeApplication(argc, argv, paints)), messages_(assumeYes) {
    cmcPlatform platform = base();
    platform.messages = &messages_;
    platform.dialogs = &dialogs_;
    platform.screen = &screen_;
    cmcPlatform::install(platform);
    {
        const indEnviron settings(indProcess::MutexName, indProcess::SettingsKey,
                                  indProcess::SettingsKey, CliSettingsArgs(language),
                                  indEnviron::Access::ReadOnly);
        language_ = settings.language;
    }
    catalogue_.Attach(language_ == 1 ? JapaneseTable() : EnglishTable());
    cmcGTex::SetProcess(&catalogue_);
}

CliPlatform::~CliPlatform() {
    cmcGTex::SetProcess(nullptr);
}
