#include "platform/cmcPlatform.h"

#include <cstdio>
#include <cstdlib>

namespace {
cmcPlatform installed;
bool isInstalled = false;
} // namespace

void cmcPlatform::install(const cmcPlatform& platform) {
    installed = platform;
    isInstalled = true;
}

void cmcPlatform::uninstall() {
    installed = cmcPlatform{};
    isInstalled = false;
}

const cmcPlatform& cmcPlatform::get() {
    if (!isInstalled) {
        std::fputs("pelham: no platform installed\n", stderr);
        std::abort();
    }
    return installed;
}

void cmcFatal(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    if (isInstalled && installed.messages) {
        std::string caption = installed.folders ? installed.folders->programName() : "pelham";
        installed.messages->show(text, caption, MsgIcon::Error, MsgButtons::Ok);
    }
    std::abort();
}

int cmcMessage(const std::string& text, const std::string& caption, MsgIcon icon,
               MsgButtons buttons) {
    const cmcPlatform& platform = cmcPlatform::get();
    if (!platform.messages) return buttons == MsgButtons::Ok ? answer::Ok : answer::Cancel;
    return platform.messages->show(text, caption, icon, buttons);
}

cmcListAnswer cmcAskList(const cmcListQuestion& question) {
    const cmcPlatform& platform = cmcPlatform::get();
    return platform.lists ? platform.lists->show(question) : cmcListAnswer{};
}

cmcWaitCursorScope::cmcWaitCursorScope() {
    if (auto* cursor = cmcPlatform::get().cursor) cursor->setWaiting(true);
}

cmcWaitCursorScope::~cmcWaitCursorScope() {
    if (auto* cursor = cmcPlatform::get().cursor) cursor->setWaiting(false);
}

std::string cmcDefaultPortPath() {
    if (isInstalled && installed.ports) {
        for (const cmcPortInfo& port : installed.ports->ports())
            if (port.usb) return port.path;
    }
    return "/dev/ttyUSB0";
}
