// The keyboard focus after a window held the main window: the widget that had it gets it
// back, so arrows and Tab act at once.

#include "ViewTestSupport.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "app/view/cuiAccessible.h"
#include "app/view/cuiCloneProgress.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "platform/fake/cmcFakePlatform.h"
#include "print/cuiPrintJob.h"
#include "sheet/view/cuiGrid.h"
#include "sheet/view/cuiSheet.h"
#include "sheet/view/cuiTree.h"

#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class WindowFocusTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    void SetUp() override {
        process = std::make_unique<indProcess>();
        form = std::make_unique<TForm1>(process->Main());
        form->ShowWindow();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        Settle();
        ASSERT_NE(form->Sheet(), nullptr);
    }

    void TearDown() override {
        form.reset();
        process.reset();
    }

    // The controller's task runs (it reopens a sheet that was closed).
    void Settle() {
        for (int i = 0; i < 10; ++i) {
            platform.clock.advance(50);
            QTest::qWait(5);
        }
    }

    // Closes the window of that name that holds the main window.
    void CloseHeld(const char* name) {
        QWidget* held = form->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(held, nullptr) << name;
        EXPECT_FALSE(form->isEnabled()) << name;
        EXPECT_TRUE(QTest::qWaitFor([held] { return QApplication::activeWindow() == held; }))
            << name;
        QTest::keyClick(held, Qt::Key_Escape);
        QTest::qWait(5);
    }

    cmcFakePlatform platform;
    std::unique_ptr<indProcess> process;
    std::unique_ptr<TForm1> form;
    QTemporaryDir folder;
};

TEST_F(WindowFocusTest, TheWidgetThatHadTheFocusGetsItBack) {
    struct Holder {
        const char* name;
        std::function<void()> run; // opens the window and ends it as the user would
    };
    const Holder holders[] = {
        {"About box",
         [this] {
             form->ShowAbout();
             CloseHeld("aboutBox");
         }},
        {"Clone Information",
         [this] {
             form->ShowCloneInformation();
             CloseHeld("cloneInformation");
         }},
        {"print preview",
         [this] {
             form->PrintJob().SetQuestions({[this](QPrinter& printer, QWidget*) {
                                                printer.setOutputFormat(QPrinter::PdfFormat);
                                                printer.setOutputFileName(
                                                    folder.filePath(QStringLiteral("a.pdf")));
                                                return true;
                                            },
                                            [this](cuiPreview&) {
                                                EXPECT_FALSE(form->isEnabled());
                                                return false; // the preview's Close
                                            }});
             form->Print(false);
         }},
        {"Clone Read",
         [this] {
             // A read holds the window, replaces the sheet, and lets the window go.
             process->Events().Send(ev::CloneStarting);
             {
                 auto progress = cuiCloneProgress::Factory(form.get())();
                 EXPECT_FALSE(form->isEnabled());
                 process->Main().CloseSheet();
             }
             process->Events().Send(ev::CloneEnding);
             Settle();
         }},
    };
    for (const Holder& holder : holders) {
        for (const bool grid : {true, false}) {
            ASSERT_NE(form->Sheet(), nullptr) << holder.name;
            if (grid)
                form->Sheet()->Grid().setFocus(Qt::OtherFocusReason);
            else
                form->Tree()->setFocus(Qt::OtherFocusReason);
            QTest::qWait(5);
            holder.run();
            Settle();
            ASSERT_TRUE(form->isEnabled()) << holder.name;
            ASSERT_NE(form->Sheet(), nullptr) << holder.name;
            QWidget* expected = grid ? static_cast<QWidget*>(&form->Sheet()->Grid())
                                     : static_cast<QWidget*>(form->Tree());
            EXPECT_EQ(QApplication::focusWidget(), expected)
                << holder.name << (grid ? ", grid" : ", tree");
        }
    }
}

// The default button with the keyboard focus looks unlike the default button without it,
// in a style that draws both with the same outline.
TEST(FocusStyleTest, TheFocusedDefaultButtonStandsApart) {
    EnsureTestApplication();
    auto draw = [](QStyle& style, bool focused) {
        QImage image(120, 40, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QStyleOptionButton option;
        option.rect = image.rect();
        option.text = QStringLiteral("OK");
        option.features = QStyleOptionButton::DefaultButton;
        option.state = QStyle::State_Enabled | QStyle::State_Raised;
        if (focused) option.state |= QStyle::State_HasFocus;
        QPainter painter(&image);
        style.drawControl(QStyle::CE_PushButton, &option, &painter, nullptr);
        return image;
    };
    cuiFocusStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    EXPECT_NE(draw(style, true), draw(style, false));
}

// The focus frame does not cross the label of a button sized to its text.
TEST(FocusStyleTest, TheFocusFrameStaysClearOfALongLabel) {
    EnsureTestApplication();
    cuiFocusStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    QPushButton button(QStringLiteral("Open as New Document"));
    button.setStyle(&style);
    const QSize size = button.sizeHint();
    auto draw = [&](const QString& text, bool focused) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QStyleOptionButton option;
        option.initFrom(&button);
        option.rect = image.rect();
        option.text = text;
        option.state = QStyle::State_Enabled | QStyle::State_Raised;
        if (focused) option.state |= QStyle::State_HasFocus;
        QPainter painter(&image);
        style.drawControl(QStyle::CE_PushButton, &option, &painter, nullptr);
        return image;
    };
    const QImage plain = draw(button.text(), false), blank = draw(QString(), false),
                 focused = draw(button.text(), true);
    int label = 0, frame = 0, crossed = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const bool isLabel = plain.pixel(x, y) != blank.pixel(x, y);
            const bool isFrame = focused.pixel(x, y) != plain.pixel(x, y);
            label += isLabel, frame += isFrame, crossed += isLabel && isFrame;
        }
    EXPECT_GT(label, 0);
    EXPECT_GT(frame, 0);
    EXPECT_EQ(crossed, 0) << "of " << label << " label pixels";
}

} // namespace
