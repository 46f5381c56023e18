#include "app/indDocumentFile.h"

#include "app/indMain.h"
#include "files/cmcTcfFile.h"

namespace {
void SetIdentity(cmcTcfFile& file) {
    file.SetModelWord(indMain::ReceiverModelWord);
    file.SetExtraWord(indMain::ReceiverExtraWord);
}
} // namespace

int ReadDocumentFile(const std::string& path, cmcEeprom& image) {
    cmcTcfFile file;
    file.AttachImage(image);
    SetIdentity(file);
    // The marker comes before coverage: a file that lacks its last line is "Illegal
    // data." rather than "There is not enough data.".
    if (int code = file.Read(path); code != cmcTcfFile::Ok) return code; // already shown
    if (!image.HasFormatMarker()) {
        cmcTcfFile::ShowFileError(cmcTcfFile::Data);
        return cmcTcfFile::Data;
    }
    if (int code = file.CheckCoverage(WholeImageRanges); code != cmcTcfFile::Ok) {
        cmcTcfFile::ShowFileError(code);
        return code;
    }
    return cmcTcfFile::Ok;
}

int WriteDocumentFile(const std::string& path, const cmcEeprom& image) {
    cmcTcfFile file;
    // Writing only reads the image; the file class takes it by plain reference.
    file.AttachImage(const_cast<cmcEeprom&>(image));
    SetIdentity(file);
    file.SetComment(CloneComment(image));
    return file.Write(path, WholeImageRanges);
}

std::string RenderDocumentFile(const cmcEeprom& image) {
    cmcTcfFile file;
    file.AttachImage(const_cast<cmcEeprom&>(image)); // rendering only reads it
    SetIdentity(file);
    file.SetComment(CloneComment(image));
    return file.Render(WholeImageRanges);
}

std::string CloneComment(const cmcEeprom& image) {
    std::string comment(CloneCommentLength, ' ');
    uint8_t bytes[CloneCommentLength] = {};
    image.GetBytes(CloneCommentAddress, bytes, CloneCommentLength);
    for (int i = 0; i < CloneCommentLength; ++i)
        if (bytes[i] >= 0x20 && bytes[i] <= 0x7E) comment[i] = static_cast<char>(bytes[i]);
    comment.erase(comment.find_last_not_of(' ') + 1);
    return comment;
}
