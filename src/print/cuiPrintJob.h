#pragma once

// The print commands: Print Current Sheet and Print All. The user picks a printer (or a
// PDF file) in the platform's dialog, sees the pages in the preview, and only Print there
// prints. Print Current Sheet prints at once; Print All prints one sheet per tick of its
// job, so that the "Now Printing" window can take a Cancel between sheets. The main window
// stays disabled from the dialog's answer until the command ends.

#include "print/cuiPreview.h"
#include "print/cuiPrinter.h"

#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QPrinter;
class indEnviron;

class cuiPrintJob {
  public:
    // The steps that ask the user; the defaults run the print dialog and the preview.
    struct Questions {
        std::function<bool(QPrinter& printer, QWidget* owner)> choosePrinter;
        std::function<bool(cuiPreview& preview)> showPreview;
    };
    static constexpr int TickMs = 50;

    cuiPrintJob(QWidget* owner, const cuiSheetServices& services, indEnviron* settings,
                cuiPreview::Images images);
    ~cuiPrintJob();
    cuiPrintJob(const cuiPrintJob&) = delete;
    cuiPrintJob& operator=(const cuiPrintJob&) = delete;

    void SetQuestions(Questions questions) { questions_ = std::move(questions); }
    // What the sheets need of the program, taken again before each command (the
    // destination may have changed since).
    void SetServices(const cuiSheetServices& services) { services_ = services; }
    // Runs a command on the sheets of the addresses (one for Print Current Sheet, the
    // tree's for Print All). Returns when it has ended or its job has started.
    void Print(const std::vector<std::string>& addresses, bool all);
    bool Running() const { return job_.isActive(); }
    // The "Now Printing" window while a command prints.
    QDialog* PrintingWindow() const { return window_; }
    // Set by the "Now Printing" window's Cancel: no further page is printed.
    void Cancel() { cancelled_ = true; }
    // The pages the last command printed so far.
    int PagesPrinted() const { return printed_; }

  private:
    void BuildPrintingWindow();
    void ShowPrintingWindow();
    // One sheet's pages of a Print All job; the last one ends the document.
    void Tick();
    void End();

    QPointer<QWidget> owner_;
    cuiSheetServices services_;
    indEnviron* settings_;
    cuiPreview::Images images_;
    Questions questions_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<cuiPrinter> pages_;
    std::unique_ptr<cuiPageWriter> writer_;
    std::vector<std::vector<cuiPrintPage>> sheets_; // the job's pages, sheet by sheet
    size_t next_ = 0;
    bool cancelled_ = false;
    int printed_ = 0;
    QPointer<QDialog> window_;
    QTimer job_;
};
