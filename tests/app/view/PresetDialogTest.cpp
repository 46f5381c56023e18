#include "ViewTestSupport.h"
#include "app/view/cuiPresetDialog.h"
#include "catalogue/cmcGTex.h"
#include "platform/fake/cmcFakePlatform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The offscreen platform (QT_QPA_PLATFORM=offscreen) with the fakes below it.
class PresetDialogTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    PresetDialogTest() {
        english.Attach(EnglishTable());
        request.sources = {{"Alpha", {"Air", "Marine", "Rail"}}, {"Beta", {"Fire", "Police"}}};
    }

    static void Press(QWidget* widget, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    }
    static std::vector<bool> Enabled(const QListWidget* list) {
        std::vector<bool> enabled;
        for (int row = 0; row < list->count(); ++row)
            enabled.push_back(list->item(row)->flags() & Qt::ItemIsEnabled);
        return enabled;
    }

    cmcFakePlatform platform;
    cmcGTex english;
    indPresetRequest request;
};

TEST_F(PresetDialogTest, AllStandsForEveryCategoryUntilUnchecked) {
    cuiPresetDialog dialog(english, request, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Preset Basic Search");
    EXPECT_EQ(dialog.Sources()->currentRow(), 0);
    QListWidget* categories = dialog.Categories();
    ASSERT_EQ(categories->count(), 4);
    EXPECT_EQ(categories->item(0)->text(), "All");
    EXPECT_EQ(categories->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(Enabled(categories), (std::vector<bool>{true, false, false, false}));

    dialog.Sources()->setCurrentRow(1);
    ASSERT_EQ(categories->count(), 3) << "the second preset's categories";
    EXPECT_EQ(categories->item(2)->text(), "Police");
    EXPECT_EQ(Enabled(categories), (std::vector<bool>{true, false, false}));

    // Space on "All" unchecks it and frees the categories; Space checks "Police".
    categories->setFocus();
    Press(categories, Qt::Key_Space);
    EXPECT_EQ(categories->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Enabled(categories), (std::vector<bool>{true, true, true}));
    categories->setCurrentRow(2);
    Press(categories, Qt::Key_Space);
    EXPECT_EQ(categories->item(2)->checkState(), Qt::Checked);

    dialog.AddButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.Choice());
    EXPECT_EQ(dialog.Choice()->source, 1);
    EXPECT_EQ(dialog.Choice()->categories, std::vector<int>{1});
    EXPECT_FALSE(dialog.Choice()->overwrite);
    EXPECT_TRUE(platform.messages.shown().empty()) << "Add asks nothing";
}

TEST_F(PresetDialogTest, AddWithAllChoosesEveryCategoryAndEnterPressesIt) {
    cuiPresetDialog dialog(english, request, nullptr);
    dialog.show();
    EXPECT_TRUE(dialog.AddButton()->isDefault());
    dialog.Sources()->setFocus();
    Press(dialog.Sources(), Qt::Key_Return);
    ASSERT_TRUE(dialog.Choice());
    EXPECT_EQ(dialog.Choice()->source, 0);
    EXPECT_EQ(dialog.Choice()->categories, (std::vector<int>{0, 1, 2}));
}

TEST_F(PresetDialogTest, EscapeChoosesNothing) {
    // Shown modally as the command shows it; Escape goes to the list that has the focus.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        Press(dialog->findChild<QListWidget*>(), Qt::Key_Escape);
    });
    EXPECT_EQ(cuiPresetDialog::Choose(english, request, nullptr), std::nullopt);
}

// The Close button and the window's close box choose nothing either, and ask nothing.
TEST_F(PresetDialogTest, CloseAndTheCloseBoxChooseNothing) {
    for (const bool button : {true, false}) {
        cuiPresetDialog dialog(english, request, nullptr);
        dialog.show();
        EXPECT_EQ(dialog.CloseButton()->text(), "Close");
        if (button)
            dialog.CloseButton()->click();
        else
            dialog.close();
        EXPECT_FALSE(dialog.isVisible()) << button;
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << button;
        EXPECT_FALSE(dialog.Choice()) << button;
    }
    EXPECT_TRUE(platform.messages.shown().empty());
}

TEST_F(PresetDialogTest, OverwriteAsksFirstAndCancelKeepsTheDialogOpen) {
    for (bool oneBank : {false, true}) {
        request.oneBank = oneBank;
        platform.messages.clear();
        cuiPresetDialog dialog(english, request, nullptr);
        dialog.show();
        platform.messages.script({answer::Cancel});
        dialog.OverwriteButton()->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.isEnabled());
        EXPECT_FALSE(dialog.Choice());
        ASSERT_EQ(platform.messages.shown().size(), 1u);
        const auto& question = platform.messages.shown()[0];
        EXPECT_EQ(question.text, oneBank ? "Replacing.\nThe all channel data of the category will "
                                           "be also replaced.\nAre you sure ?"
                                         : "All basic search channels will be replaced.\nAre "
                                           "you sure ?");
        EXPECT_EQ(question.caption, "Pelham");
        EXPECT_EQ(question.buttons, MsgButtons::OkCancel);

        platform.messages.script({answer::Ok});
        dialog.OverwriteButton()->click();
        EXPECT_FALSE(dialog.isVisible());
        ASSERT_TRUE(dialog.Choice());
        EXPECT_TRUE(dialog.Choice()->overwrite);
    }
}

TEST_F(PresetDialogTest, WithEveryBankInUseOnlyOverwriteIsOffered) {
    request.banksFull = true;
    cuiPresetDialog dialog(english, request, nullptr);
    EXPECT_FALSE(dialog.AddButton()->isEnabled());
    EXPECT_TRUE(dialog.OverwriteButton()->isDefault());
}

// Every caption fits its control, and every control lies inside the dialog, in both
// languages; the dialog stands centred over the main window.
TEST_F(PresetDialogTest, CaptionsFitInEitherLanguage) {
    cmcGTex japanese;
    japanese.Attach(JapaneseTable());
    QWidget mainWindow;
    mainWindow.setGeometry(60, 40, 700, 500);
    mainWindow.show();
    for (cmcGTex* text : {&english, &japanese}) {
        cuiPresetDialog dialog(*text, request, &mainWindow);
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (!qobject_cast<QLabel*>(control) && !qobject_cast<QPushButton*>(control)) continue;
            const char* kind = control->metaObject()->className();
            EXPECT_TRUE(dialog.rect().contains(control->geometry())) << kind;
            EXPECT_GE(control->width(), control->sizeHint().width()) << kind;
            EXPECT_GE(control->height(), control->sizeHint().height()) << kind;
        }
        EXPECT_LT(dialog.AddButton()->geometry().right(), dialog.OverwriteButton()->x());
        EXPECT_LT(dialog.OverwriteButton()->geometry().right(), dialog.CloseButton()->x());
        EXPECT_EQ(dialog.geometry().center(), mainWindow.geometry().center());
    }
}

} // namespace
