#pragma once

// The widget tests of this folder share one application on the offscreen display.

#include <QApplication>

inline void EnsureTestApplication() {
    static int argc = 1;
    static char name[] = "test_app_view";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}
