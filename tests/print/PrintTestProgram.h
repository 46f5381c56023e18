#pragma once

// The print tests share a running program on the fake platform and the offscreen display,
// a way to fill a group with channels of distinct frequencies, and a reader of PDF text.

#include "app/indMain.h"
#include "app/indProcess.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "platform/fake/cmcFakePlatform.h"
#include "print/cuiPrinter.h"
#include "settings/indEnviron.h"

#include <QApplication>
#include <QProcess>
#include <QStringList>

#include <memory>
#include <string>

inline void EnsurePrintTestApplication() {
    static int argc = 1;
    static char name[] = "test_print";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

struct clsPrintProgram {
    explicit clsPrintProgram(int destination = 1) {
        EnsurePrintTestApplication();
        process = std::make_unique<indProcess>();
        Main().ReceiverInformation()[indMain::InfoDestinationByte] = uint8_t(destination);
        process->Events().Send(ev::AdoptDestination);
    }

    indMain& Main() { return process->Main(); }
    cmcOrganisation& Org() { return Main().Organisation(); }

    cuiSheetServices Services() {
        cuiSheetServices services;
        services.catalogue = &process->Text();
        services.events = &process->Events();
        services.organisation = &Org();
        services.destination = process->Environ().destination;
        return services;
    }

    cuiPrintFrame Frame() { return cuiPrintFrame::FromCatalogue(process->Text()); }

    // Gives the group count channels in all, 146.000 MHz upwards in 12.5 kHz steps.
    void FillGroup(int group, int count) {
        const int first = Org().FirstChannelOfGroup(group);
        while (Org().ChannelsOfGroup(group) < count)
            Org().InsertChannel(group, first + Org().ChannelsOfGroup(group));
        for (int n = 0; n < count; ++n) {
            datCh channel(&Main().WorkingImage(), &Org());
            channel.SetDefault(datKind::Mch, 6);
            channel.frequency = 146000000u + uint32_t(n) * 12500u;
            channel.Store(datKind::Mch, first + n);
        }
    }

    cmcFakePlatform platform;
    std::unique_ptr<indProcess> process;
};

// The text of each page of a PDF file, as pdftotext reads it.
inline QStringList PdfPages(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"),
                 {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!reader.waitForFinished(30000)) return {};
    QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split(QChar('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}
