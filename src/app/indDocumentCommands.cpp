#include "app/indDocumentCommands.h"

#include "app/indMain.h"
#include "settings/indEnviron.h"

int indDocumentCommands::FileNew() {
    return main_.FileNew();
}
int indDocumentCommands::FileOpen() {
    return main_.FileOpen();
}
int indDocumentCommands::OpenDocument(const std::string& path) {
    return main_.OpenDocument(path);
}
int indDocumentCommands::FileSave() {
    return main_.FileSave();
}
int indDocumentCommands::FileSaveAs() {
    return main_.FileSaveAs();
}
void indDocumentCommands::CloneRead() {
    main_.CloneRead();
}
void indDocumentCommands::CloneWrite() {
    main_.CloneWrite();
}

void indDocumentCommands::CloseMainWindow() {
    if (cuiMainWindow* window = main_.MainWindow()) window->CloseWindow();
}

void indDocumentCommands::OpenSheet(const std::string& address) {
    main_.OpenSheet(address);
}
void indDocumentCommands::RestartEditSettle() {
    main_.RestartEditSettle();
}
bool indDocumentCommands::CheckModified() {
    return main_.CheckModified() != 0;
}

std::string indDocumentCommands::RecentPath(int i) {
    return main_.Settings().recent.Entry(i);
}

std::string indDocumentCommands::RecentText(int i) {
    return main_.Settings().recent.DisplayText(i, main_.CurrentFolder());
}
