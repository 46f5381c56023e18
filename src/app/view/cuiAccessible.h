#pragma once

// Windows that are dialogs to the user but plain widgets to Qt (they hold the main window
// or stand beside it) read as dialogs to assistive technology, named by their titles.

class QWidget;

void cuiReadAsDialog(QWidget* window);
