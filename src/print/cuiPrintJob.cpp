#include "print/cuiPrintJob.h"

#include "catalogue/cmcGTex.h"
#include "platform/cmcPlatform.h"
#include "settings/indEnviron.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QThread>

#include <cmath>

namespace {

constexpr int ShowPauseMs = 10;

bool AskPrinter(QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

// Why a printer's output file cannot be written, as the file system says it ("Permission
// denied", "Is a directory"); empty for a real printer. The probe leaves no file behind.
QString OutputFileReason(const QPrinter& printer) {
    const QString path = printer.outputFileName();
    if (path.isEmpty()) return {};
    QFile file(path);
    const bool existed = file.exists();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return file.errorString();
    file.close();
    if (!existed) file.remove();
    return {};
}

// "File error." with the catalogue's text, then the reason and the file's name when the
// printer writes a file.
void ShowPrintError(cmcGTex& text, const char* key, const QPrinter& printer) {
    std::string message = text.GetText("GI_Mess_FileErr_Headline") + "\n\n" + text.GetText(key);
    const QString reason = OutputFileReason(printer);
    if (!reason.isEmpty()) message += "\n" + reason.toStdString();
    if (!printer.outputFileName().isEmpty())
        message += "\n\n" + printer.outputFileName().toStdString();
    cmcMessage(message, text.GetText("GI_Sys_AppTitle"), MsgIcon::Error);
}

// The "Now Printing" window: Escape (or a close request) cancels the job, and the window
// stays until the job has ended.
class cuiPrintingWindow : public QDialog {
  public:
    cuiPrintingWindow(QWidget* owner, std::function<void()> cancel)
        : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
          cancel_(std::move(cancel)) {}
    void reject() override { cancel_(); }

  private:
    std::function<void()> cancel_;
};

// The pages cut into runs of one sheet each, in order.
std::vector<std::vector<cuiPrintPage>> BySheet(const std::vector<cuiPrintPage>& pages) {
    std::vector<std::vector<cuiPrintPage>> sheets;
    for (const cuiPrintPage& page : pages) {
        if (sheets.empty() || sheets.back().front().address != page.address) sheets.emplace_back();
        sheets.back().push_back(page);
    }
    return sheets;
}

} // namespace

cuiPrintJob::cuiPrintJob(QWidget* owner, const cuiSheetServices& services, indEnviron* settings,
                         cuiPreview::Images images)
    : owner_(owner), services_(services), settings_(settings), images_(std::move(images)) {
    questions_.choosePrinter = AskPrinter;
    questions_.showPreview = [](cuiPreview& preview) { return preview.Show(); };
    job_.setTimerType(Qt::PreciseTimer);
    job_.setInterval(TickMs);
    QObject::connect(&job_, &QTimer::timeout, [this] { Tick(); });
}

cuiPrintJob::~cuiPrintJob() {
    job_.stop();
    if (window_) delete window_.data();
}

void cuiPrintJob::Print(const std::vector<std::string>& addresses, bool all) {
    if (Running() || addresses.empty()) return;
    cmcGTex& text = *services_.catalogue;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!printer_->isValid()) {
        if (cmcMessageBox* messages = cmcPlatform::get().messages)
            messages->show(text.GetLines("GI_Sys_Printer_NoPrinter"),
                           text.GetText("GI_Sys_AppTitle"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (!questions_.choosePrinter(*printer_, owner_)) return;

    if (owner_) owner_->setEnabled(false);
    BuildPrintingWindow();
    cancelled_ = false;
    printed_ = 0;
    printer_->setCopyCount(1);
    printer_->setFullPage(true);
    pages_ = std::make_unique<cuiPrinter>(services_, cuiPrintFrame::FromCatalogue(text));
    if (settings_) pages_->SetFontPoints(settings_->printerFontSize);
    pages_->TakePageSize(*printer_);

    bool print = false;
    {
        cuiPreview preview(owner_, QString::fromStdString(text.GetText("GI_Sys_AppTitle")), *pages_,
                           settings_, images_);
        preview.Prepare(cuiLayOutSheets(*pages_, addresses));
        print = questions_.showPreview(preview);
        sheets_ = BySheet(preview.Pages());
    }
    if (!print) return End();

    int count = 0;
    for (const auto& sheet : sheets_)
        count += static_cast<int>(sheet.size());
    ShowPrintingWindow();
    writer_ = std::make_unique<cuiPageWriter>(*pages_, *printer_, count);
    if (!writer_->IsOpen()) {
        // The output file cannot be made: say so, rather than end as if printed.
        End();
        ShowPrintError(text, "GI_Mess_FileErr_FileOpen", *printer_);
        return;
    }
    next_ = 0;
    if (all) {
        job_.start();
        return;
    }
    do // the last tick ends the document, also when there is no page at all
        Tick();
    while (writer_);
}

void cuiPrintJob::Tick() {
    if (next_ < sheets_.size()) {
        if (!cancelled_)
            for (const cuiPrintPage& page : sheets_[next_])
                writer_->Write(page);
        printed_ = writer_->Written();
        ++next_;
    }
    if (next_ < sheets_.size()) return;
    const bool finished = writer_->Finish();
    End();
    if (!finished) ShowPrintError(*services_.catalogue, "GI_Mess_FileErr_FileAccess", *printer_);
}

void cuiPrintJob::End() {
    job_.stop();
    writer_.reset();
    pages_.reset();
    sheets_.clear();
    if (window_) window_->deleteLater();
    window_ = nullptr;
    if (!owner_) return;
    owner_->setEnabled(true);
    owner_->activateWindow();
}

// A small window with a label and Cancel, sized after its label and centred over the main
// window; the main window stays disabled, this one usable.
void cuiPrintJob::BuildPrintingWindow() {
    cmcGTex& text = *services_.catalogue;
    const auto line = [&text](int n) {
        return QString::fromStdString(text.GetLine("GI_Sys_Printer_PrintingDialog", n));
    };
    auto* window = new cuiPrintingWindow(owner_, [this] { Cancel(); });
    window->setObjectName(QStringLiteral("nowPrinting"));
    window->setWindowTitle(line(0));
    auto* label = new QLabel(line(1), window);
    label->adjustSize();
    auto* button = new QPushButton(line(2), window);
    button->setObjectName(QStringLiteral("nowPrintingCancel"));
    button->setDefault(true);
    const int labelWidth = label->width(), labelHeight = label->height();
    const int buttonHeight = button->sizeHint().height();
    const int width = 2 * labelWidth;
    const int height = 3 * (labelHeight + buttonHeight);
    window->setFixedSize(width, height);
    label->move((width - labelWidth) / 2, 2 * labelHeight);
    const int buttonWidth = static_cast<int>(std::lround(1.2 * labelWidth));
    button->setGeometry((width - buttonWidth) / 2,
                        height - static_cast<int>(std::lround(1.5 * buttonHeight)), buttonWidth,
                        buttonHeight);
    QObject::connect(button, &QPushButton::clicked, [this] { Cancel(); });
    if (owner_) window->move(owner_->geometry().center() - QPoint(width / 2, height / 2));
    window_ = window;
}

void cuiPrintJob::ShowPrintingWindow() {
    if (!window_) return;
    window_->setEnabled(true);
    window_->show();
    window_->raise();
    QThread::msleep(ShowPauseMs);
    QCoreApplication::processEvents();
}
