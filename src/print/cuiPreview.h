#pragma once

// The print preview: every print command shows its pages here first, one at a time drawn
// as on paper, and the user pages through them, zooms, changes the printer font (which
// lays the pages out again) and answers Print or not.

#include "print/cuiPrinter.h"

#include <QDialog>
#include <QIcon>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QScrollArea;
class indEnviron;

class cuiPreview : public QDialog {
  public:
    // The toolbar images by the main window's toolbar indexes (13 to 17 for the page
    // buttons and the zoom).
    using Images = std::function<QIcon(int index)>;

    cuiPreview(QWidget* owner, const QString& caption, cuiPrinter& printer, indEnviron* settings,
               const Images& images);

    // The pages to show; sizes the window to the page.
    void Prepare(std::vector<cuiPrintPage> pages);
    // Shows page 1 and runs the window modally; true when the user chose Print.
    bool Show();

    const std::vector<cuiPrintPage>& Pages() const { return pages_; }
    int CurrentPage() const { return current_; } // 0-based
    void GoTo(int page);
    bool Zoomed() const;
    void SetZoomed(bool on);
    // Sets the printer font size (8 to 12 points) and lays the pages out again.
    void ChangeFontSize(int points);
    // The drawn page, as shown at full size.
    const QImage& PageImage() const { return image_; }

    QAction* PrintAction() const { return print_; }
    QAction* SettingAction() const { return setting_; }
    QAction* TopAction() const { return top_; }
    QAction* PreviousAction() const { return previous_; }
    QAction* NextAction() const { return next_; }
    QAction* LastAction() const { return last_; }
    QAction* ZoomAction() const { return zoom_; }
    QLineEdit* PageBox() const { return pageBox_; }
    QString StatusText() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildToolBar(const Images& images);
    void DrawPage();
    void FitImage();
    void AskSetting();
    void ScrollBy(int dx, int dy);
    void ShowTitle();

    cuiPrinter& printer_;
    indEnviron* settings_;
    std::vector<cuiPrintPage> pages_;
    int current_ = 0;
    QImage image_;
    QAction* print_ = nullptr;
    QAction* setting_ = nullptr;
    QAction* top_ = nullptr;
    QAction* previous_ = nullptr;
    QAction* next_ = nullptr;
    QAction* last_ = nullptr;
    QAction* zoom_ = nullptr;
    QLineEdit* pageBox_ = nullptr;
    QLabel* pageCount_ = nullptr;
    QLabel* statusPage_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* picture_ = nullptr;
    QString caption_; // the program's name, after the sheet's title
};
