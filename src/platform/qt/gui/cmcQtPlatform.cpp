#include "platform/qt/gui/cmcQtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTranslator>

#include <sstream>
#include <vector>

namespace {

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

int toAnswer(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return answer::Ok;
    case QMessageBox::Yes:
        return answer::Yes;
    case QMessageBox::No:
        return answer::No;
    default:
        return answer::Cancel; // Cancel, Escape and the close box
    }
}

std::optional<std::string> runDialog(QFileDialog::AcceptMode mode,
                                     const cmcFileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDirectory(QString::fromStdString(request.folder));
    dialog.setNameFilter(QString::fromStdString(cmcQtDialogFilter(request.filter)));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

} // namespace

int cmcQtMessageBox::show(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) {
    QMessageBox box(toQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    toQt(buttons), QApplication::activeWindow());
    if (buttons == MsgButtons::YesNo) box.setEscapeButton(QMessageBox::No);
    return toAnswer(box.exec());
}

std::optional<std::string> cmcQtFileDialogs::openFile(const cmcFileDialogRequest& request) {
    return runDialog(QFileDialog::AcceptOpen, request);
}

std::optional<std::string> cmcQtFileDialogs::saveFile(const cmcFileDialogRequest& request) {
    return runDialog(QFileDialog::AcceptSave, request);
}

std::string cmcQtDialogFilter(const std::string& catalogueFilter) {
    std::vector<std::string> parts;
    std::stringstream stream(catalogueFilter);
    for (std::string part; std::getline(stream, part, '|');)
        parts.push_back(part);
    std::string result;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = parts[i];
        if (auto paren = description.rfind(" ("); paren != std::string::npos)
            description.erase(paren);
        std::string patterns;
        const std::string& source = parts[i + 1];
        for (size_t at = 0; at < source.size(); ++at) {
            if (source.compare(at, 3, "*.*") == 0) {
                patterns += '*'; // Qt's "match everything"
                at += 2;
            } else {
                patterns += source[at] == ';' ? ' ' : source[at];
            }
        }
        if (!result.empty()) result += ";;";
        result += description + " (" + patterns + ")";
    }
    return result;
}

namespace {
cmcRect toRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}
} // namespace

cmcRect cmcQtScreen::screen() {
    QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? toRect(primary->geometry()) : cmcRect{0, 0, 1024, 768};
}

cmcRect cmcQtScreen::workArea() {
    QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? toRect(primary->availableGeometry()) : cmcRect{0, 0, 1024, 768};
}

void cmcQtWaitCursor::setWaiting(bool waiting) {
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::string cmcQtClipboard::text() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!watching_) {
        QObject::connect(clipboard, &QClipboard::dataChanged, &watcher_,
                         [this] { fresh_ = false; });
        watching_ = true;
    }
    if (!fresh_) {
        text_ = clipboard->text().toStdString();
        fresh_ = true;
    }
    return text_;
}

void cmcQtClipboard::setText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

bool cmcQtTranslate(QTranslator& translator, int language) {
    if (language != 1) return true;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), folder))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

cmcQtPlatform::cmcQtPlatform() {
    cmcPlatform platform = base();
    platform.messages = &messages;
    platform.dialogs = &dialogs;
    platform.screen = &screen;
    platform.cursor = &cursor;
    platform.clipboard = &clipboard;
    cmcPlatform::install(platform);
}
