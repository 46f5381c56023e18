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

cmcEeprom& indDocumentForClone::WorkingImage() {
    return main_.WorkingImage();
}
int indDocumentForClone::ConfirmSave(bool another) {
    return main_.ConfirmSave(another);
}
void indDocumentForClone::AdoptLoadedImage(cmcEeprom& image) {
    main_.AdoptLoadedImage(image);
}
void indDocumentForClone::MarkModified() {
    main_.MarkModified();
}
void indDocumentForClone::ClearFileName() {
    main_.ClearFileName();
}
void indDocumentForClone::CloseSheet() {
    main_.CloseSheet();
}
bool indDocumentForClone::MainWindowVisible() {
    return main_.MainWindowVisible();
}

int indDocumentForClone::InstalledDestination() {
    const int destination = main_.Settings().destination;
    return destination >= 0 && destination < NoDestination ? destination : NoDestination;
}

indCloneLine indDocumentForClone::CloneLine() {
    const indEnviron& settings = main_.Settings();
    indCloneLine line;
    line.portPath = settings.comPort;
    line.highSpeed = settings.highSpeed != 0;
    return line;
}

void indDocumentForClone::OpenCloneInformation() {
    main_.OpenCloneInformation();
}
