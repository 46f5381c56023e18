#include "app/indHelp.h"

#include "app/cuiMain.h"
#include "catalogue/cmcGTex.h"
#include "platform/cmcPlatform.h"
#include "settings/indEnviron.h"
#include "sheet/cmcCellNames.h"

#include <filesystem>

namespace {

const char* const HelpFileKey = "GI_Sys_MyHelpFile";      // line L: the contents page of language L
const char* const HelpErrorKey = "GI_Sys_HtmlHelp_Error"; // line 0 file missing, line 1 no topic
constexpr int TopicBase = 1000;

bool Exists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string Replaced(std::string text, const std::string& path) {
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, path);
    return text;
}

void Report(cuiMain& main, int result, const std::string& path) {
    if (result == cuiMainWindow::HelpFileMissing)
        main.Message(Replaced(main.Catalogue().GetLine(HelpErrorKey, 0), path), MsgIcon::Error);
    else if (result == cuiMainWindow::HelpNoTopic)
        main.Message(main.Catalogue().GetLine(HelpErrorKey, 1), MsgIcon::Warning);
}

} // namespace

std::string HelpFilePath(const std::string& dataFolder, const std::string& name) {
    const std::filesystem::path relative(name);
    if (relative.is_absolute()) return name;
    const std::filesystem::path folder(dataFolder);
    const std::filesystem::path installed = (folder / relative).lexically_normal();
    const std::filesystem::path beside = (folder / ".." / relative).lexically_normal();
    return (Exists(installed) || !Exists(beside) ? installed : beside).string();
}

std::string HelpTopicPage(const std::string& contentsPath, int context) {
    const std::string page = "IDH" + std::to_string(TopicBase + context) + ".html";
    return (std::filesystem::path(contentsPath).parent_path() / page).string();
}

std::string HelpFilePath(const cuiMain& main) {
    cmcFolders* folders = cmcPlatform::get().folders;
    const int language = main.Settings().language == 1 ? 1 : 0;
    return HelpFilePath(folders ? folders->dataFolder() : std::string(),
                        main.Catalogue().GetLine(HelpFileKey, language));
}

void ShowHelpContents(cuiMain& main) {
    cuiMainWindow* window = main.MainWindow();
    if (!window) return;
    const std::string path = HelpFilePath(main);
    Report(main, window->ShowHelpContents(path), path);
}

void ShowCellHelp(cuiMain& main, int logicId) {
    cuiMainWindow* window = main.MainWindow();
    if (!window) return;
    const std::string path = HelpFilePath(main);
    const int context = main.HelpTopics().ContextOf(std::string(LogicIdName(logicId)));
    Report(main, window->ShowHelpTopic(path, context), path);
}
