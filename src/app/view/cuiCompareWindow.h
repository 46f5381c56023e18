#pragma once

// File > Compare with...: the differences from the document to a clone data file, one per
// line, in a window beside the main window. The main window stays usable, so the user can
// look at the sheets the lines name; comparing again replaces the window's contents.

#include "files/cmcImageDiff.h"

#include <QWidget>

#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class cmcGTex;

class cuiCompareWindow : public QWidget {
  public:
    cuiCompareWindow(cmcGTex& text, QWidget* mainWindow);

    // The main window's compare window (made when it has none), filled and shown.
    static cuiCompareWindow* Show(cmcGTex& text, const std::string& path,
                                  const std::vector<clsImageDifference>& differences,
                                  QWidget* mainWindow);

    void SetDifferences(const std::string& path, const std::vector<clsImageDifference>& differences);

    QLabel* Summary() const { return summary_; }
    QPlainTextEdit* List() const { return list_; }
    QPushButton* CopyButton() const { return copyButton_; }
    QPushButton* CloseButton() const { return closeButton_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString Line(int n) const;

    cmcGTex& text_;
    QLabel* summary_;
    QPlainTextEdit* list_;
    QPushButton* copyButton_;
    QPushButton* closeButton_;
};
