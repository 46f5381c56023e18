#pragma once

// The two ways into the help pages: Help > Contents opens the contents page, and "Help" on
// a cell opens the page of the cell's topic near the pointer. The controller finds the
// page and reports what went wrong; the main window's help viewer shows it.

#include <string>

class cuiMain;

// The contents page: the catalogue's name for it ("help/en/index.html") under the data
// folder, or beside the data folder (a source tree keeps data/ and help/ side by side).
// When neither exists, the name under the data folder, so that a message can name it.
std::string HelpFilePath(const std::string& dataFolder, const std::string& name);

// The page of a context id, in the contents page's folder: "IDH1013.html" for 13.
std::string HelpTopicPage(const std::string& contentsPath, int context);

// The contents page of the language setting, as the installed catalogue names it.
std::string HelpFilePath(const cuiMain& main);

// Help > Contents, and the topic of a cell's logic id. A missing contents page and a cell
// without a page are reported in a message box; without a help viewer nothing happens.
void ShowHelpContents(cuiMain& main);
void ShowCellHelp(cuiMain& main, int logicId);
