// Edits land where the user made them: on the link that is open, with the names of the
// channels that move, and a paste that overflows keeps what fits.

#include "TaskWindow.h"

#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "print/cuiPreview.h"
#include "print/cuiPrintJob.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiTree.h"

#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTreeWidgetItem>

#include <QTest>

namespace {

// A message box the user takes a while to answer: events and timers run meanwhile, as in
// the nested loop of a real box.
class clsSlowAnswer : public cmcMessageBox {
  public:
    clsSlowAnswer(cmcFakePlatform& platform, int answer) : platform_(platform), answer_(answer) {
        previous_ = cmcPlatform::get();
        cmcPlatform slow = previous_;
        slow.messages = this;
        cmcPlatform::install(slow);
    }
    ~clsSlowAnswer() override { cmcPlatform::install(previous_); }
    int show(const std::string& text, const std::string&, MsgIcon, MsgButtons) override {
        texts.push_back(text);
        for (int i = 0; i < 10; ++i) {
            platform_.clock.advance(50);
            QTest::qWait(5);
        }
        return answer_;
    }
    std::vector<std::string> texts;

  private:
    cmcFakePlatform& platform_;
    cmcPlatform previous_;
    int answer_;
};

class EditsLandTask : public TaskWindow {
  protected:
    // A group's channels typed in its new row: frequency, then name.
    void AddChannel(int position, const std::string& frequency, const std::string& name) {
        TypeInCell(Row(position), CL_Mch_Freq, frequency);
        if (!name.empty()) TypeInCell(Row(position), CL_Mch_Name_Name, name);
    }

    std::string FirstGroup() {
        return "[St_CNBank]GI_Sheet_MemoryCH,Group " + std::to_string(form->Tree()->Groups().at(0));
    }

    // Prints through the menu item to a PDF file, without the preview's pause; the text of
    // the pages.
    QString PrintToPdf(const std::string& item) {
        const QString pdf = QString::fromStdString(folder + "/printed.pdf");
        QFile::remove(pdf);
        form->PrintJob().SetQuestions({[&pdf](QPrinter& printer, QWidget*) {
                                           printer.setOutputFormat(QPrinter::PdfFormat);
                                           printer.setOutputFileName(pdf);
                                           return true;
                                       },
                                       [](cuiPreview&) { return true; }});
        Menu(item);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form->PrintJob().Running(); }, 20000));
        Settle();
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"),
                     {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        reader.waitForFinished(30000);
        return QString::fromUtf8(reader.readAllStandardOutput());
    }

    std::string LinkNode(int link) {
        return "Program Search Link/P-LINK No." + std::to_string(link);
    }
};

// Each link sheet shows its own edges: a choice in its Add row goes into that link only, a
// deleted entry leaves it, and printing the link shows what it holds.
TEST_F(EditsLandTask, EveryLinkSheetEditsItsOwnLink) {
    for (int link = 0; link < 10; ++link) {
        OpenNode(LinkNode(link));
        EXPECT_EQ(Sheet().Grid().Rows(), Row(26)) << "25 entries and the Add row";
        Choose(Row(0), CL_PgLink_No, std::to_string(link + 1));
        EXPECT_EQ(Shown(Row(1), CL_PgLink_No), std::to_string(link + 1)) << link;
    }
    OpenNode(LinkNode(3));
    Choose(Row(0), CL_PgLink_No, "20");
    EXPECT_EQ(Shown(Row(2), CL_PgLink_No), "20");

    std::vector<std::string> expected;
    for (int link = 0; link < 10; ++link)
        expected.push_back("Program search link " + std::to_string(link) + ": Edge (blank) → " +
                           std::to_string(link + 1) + (link == 3 ? " 20" : ""));
    EXPECT_EQ(SavedChanges(), expected);
    // On paper the link's page names it and lists its two edges.
    const QString printed = PrintToPdf("File/Print/Current Sheet...");
    EXPECT_TRUE(printed.contains(QStringLiteral("P-LINK No.3"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QRegularExpression(QStringLiteral("\\b0\\s+4\\b"))))
        << printed.toStdString();
    EXPECT_TRUE(printed.contains(QRegularExpression(QStringLiteral("\\b1\\s+20\\b"))))
        << printed.toStdString();

    // Link 4 gives up edge 4: the Delete key on its row.
    ASSERT_TRUE(Click(Row(1), CL_PgLink_No));
    platform.messages.script({answer::Ok, answer::Ok});
    Key(Qt::Key_Delete);
    Settle();
    EXPECT_EQ(Shown(Row(1), CL_PgLink_No), "20");
    expected[3] = "Program search link 3: Edge (blank) → 20";
    EXPECT_EQ(SavedChanges(), expected);
}

// A link's name shows in the tree; a blank name gives the node its own caption back.
TEST_F(EditsLandTask, TheTreeFollowsALinksNameAndItsBlankName) {
    OpenNode("Program Search Link");
    TypeInCell(Row(3), CL_PgLink_Name, "Airband");
    QTreeWidgetItem* links = form->Tree()->topLevelItem(0)->child(2);
    ASSERT_EQ(links->childCount(), 10);
    EXPECT_EQ(links->child(3)->text(0).toStdString(), "Airband");
    ASSERT_TRUE(Click(Row(3), CL_PgLink_Name));
    Key(Qt::Key_F2);
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Return);
    Settle();
    EXPECT_EQ(Shown(Row(3), CL_PgLink_Name), "");
    EXPECT_EQ(links->child(3)->text(0).toStdString(), "Link4");
}

// Ctrl+Up and Ctrl+Down on a name take the name with its channels, one-channel names too.
TEST_F(EditsLandTask, MovingANameTakesItsChannelsAlong) {
    ASSERT_GT(Main().Organisation().GroupCount(), 0);
    OpenAddress(FirstGroup());
    const int first = Main().Organisation().ChannelsOfGroup(0);
    AddChannel(first, "146", "AAA");
    AddChannel(first + 1, "147", "BBB");
    AddChannel(first + 2, "148", "CCC");
    ASSERT_EQ(Shown(Row(first + 1), CL_Mch_Name_Name), "BBB");

    ASSERT_TRUE(Click(Row(first + 1), CL_Mch_Name_Name));
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Shown(Row(first), CL_Mch_Name_Name), "BBB");
    EXPECT_EQ(Shown(Row(first), CL_Mch_Freq), "147.000000");
    EXPECT_EQ(Shown(Row(first + 1), CL_Mch_Name_Name), "AAA");
    EXPECT_EQ(Shown(Row(first + 1), CL_Mch_Freq), "146.000000");
    EXPECT_EQ(Sheet().CurrentRow(), Row(first)) << "the cursor moves with the name";

    // The moved name goes on down twice, past AAA and CCC.
    Key(Qt::Key_Down, Qt::ControlModifier);
    Key(Qt::Key_Down, Qt::ControlModifier);
    std::vector<std::string> names, frequencies;
    for (int n = first; n < first + 3; ++n) {
        names.push_back(Shown(Row(n), CL_Mch_Name_Name));
        frequencies.push_back(Shown(Row(n), CL_Mch_Freq));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"AAA", "CCC", "BBB"}));
    EXPECT_EQ(frequencies, (std::vector<std::string>{"146.000000", "148.000000", "147.000000"}));

    // Two names dragged over in the name column go down together, and stay selected for
    // the next step.
    ASSERT_TRUE(Click(Row(first), CL_Mch_Name_Name));
    cuiGrid& grid = Sheet().Grid();
    const int nameColumn = Column(Row(first), CL_Mch_Name_Name);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {},
                      grid.CellRect(nameColumn, Row(first)).center());
    QTest::mouseMove(grid.viewport(), grid.CellRect(nameColumn, Row(first + 1)).center());
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {},
                        grid.CellRect(nameColumn, Row(first + 1)).center());
    Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_TRUE(Sheet().IsMarked(nameColumn, Row(first + 1)));
    EXPECT_TRUE(Sheet().IsMarked(nameColumn, Row(first + 2)));
    Key(Qt::Key_Up, Qt::ControlModifier);
    Key(Qt::Key_Down, Qt::ControlModifier);
    names.clear(), frequencies.clear();
    for (int n = first; n < first + 3; ++n) {
        names.push_back(Shown(Row(n), CL_Mch_Name_Name));
        frequencies.push_back(Shown(Row(n), CL_Mch_Freq));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"BBB", "AAA", "CCC"}));
    EXPECT_EQ(frequencies, (std::vector<std::string>{"147.000000", "146.000000", "148.000000"}));

    // Saved, every name still labels its own frequency.
    cmcEeprom saved;
    SavedImage(saved);
    cmcOrganisation org(saved, &Main().Organisation().Destination());
    org.Adopt();
    const int slot = org.FirstChannelOfGroup(0) + first;
    org.RecountNames(0);
    const char* const wanted[][2] = {{"BBB", "147"}, {"AAA", "146"}, {"CCC", "148"}};
    for (int n = 0; n < 3; ++n) {
        datCh channel = org.Record();
        channel.Load(datKind::Mch, slot + n);
        EXPECT_EQ(channel.frequency, uint32_t(std::stoi(wanted[n][1])) * 1000000u) << n;
        datCh name = org.Record();
        name.Load(datKind::Name, int(channel.nameIndex));
        EXPECT_EQ(name.NameField().substr(0, 3), wanted[n][0]) << n;
    }
}

// A paste of three channels on the last row of a full group asks, and after OK pastes
// the one that fits, as one undoable step.
TEST_F(EditsLandTask, APasteThatOverflowsPastesWhatFitsAfterOk) {
    OpenAddress(FirstGroup());
    const int first = Main().Organisation().ChannelsOfGroup(0);
    AddChannel(first, "146", "");
    AddChannel(first + 1, "147", "");
    AddChannel(first + 2, "148", "");
    const int last = first + 2;
    ASSERT_TRUE(Click(Row(first), CL_Mch_Freq));
    ASSERT_TRUE(Click(Row(last), CL_Mch_Freq, Qt::ShiftModifier));
    Key(Qt::Key_C, Qt::ControlModifier);
    Settle();

    ASSERT_TRUE(Click(Row(last), CL_Mch_Freq));
    {
        clsSlowAnswer user(platform, answer::Ok);
        Key(Qt::Key_V, Qt::ControlModifier);
        Settle();
        ASSERT_FALSE(user.texts.empty());
        EXPECT_NE(user.texts[0].find("overflow"), std::string::npos) << user.texts[0];
    }
    EXPECT_EQ(Shown(Row(last), CL_Mch_Freq), "146.000000") << "the first copied channel fits";
    EXPECT_EQ(Main().Organisation().ChannelsOfGroup(0), first + 3) << "nothing added";
    Key(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Shown(Row(last), CL_Mch_Freq), "148.000000") << "one step undoes the paste";
}

// Tab and Shift+Tab in the editor commit what was typed and move on, as Enter commits.
TEST_F(EditsLandTask, TabInTheEditorCommitsAndMovesOn) {
    OpenAddress(FirstGroup());
    const int first = Main().Organisation().ChannelsOfGroup(0);
    AddChannel(first, "146", "");
    AddChannel(first + 1, "147", "");
    const int name = Column(Row(first), CL_Mch_Name_Name);

    ASSERT_TRUE(Click(Row(first), CL_Mch_Name_Name));
    Type("ABC");
    ASSERT_TRUE(Sheet().EditorOpen());
    Key(Qt::Key_Tab);
    EXPECT_FALSE(Sheet().EditorOpen());
    EXPECT_GT(Sheet().CurrentColumn(), name) << "Tab moves right";
    EXPECT_TRUE(Sheet().Grid().hasFocus());
    EXPECT_EQ(Shown(Row(first), CL_Mch_Name_Name), "ABC");

    ASSERT_TRUE(Click(Row(first + 1), CL_Mch_Freq));
    Type("148");
    Key(Qt::Key_Backtab);
    EXPECT_FALSE(Sheet().EditorOpen());
    EXPECT_LT(Sheet().CurrentColumn(), Column(Row(first + 1), CL_Mch_Freq)) << "Shift+Tab: left";
    EXPECT_EQ(Shown(Row(first + 1), CL_Mch_Freq), "148.000000");
    Type("DEF"); // on whatever cell Shift+Tab reached: a name or the No. column
    Key(Qt::Key_Return);
    const std::vector<std::string> changes = SavedChanges();
    ASSERT_FALSE(changes.empty());
    std::string all;
    for (const std::string& change : changes)
        all += change + "\n";
    EXPECT_NE(all.find("ABC"), std::string::npos) << all;
    EXPECT_NE(all.find("148.000000"), std::string::npos) << all;
}

// The new row takes no record from what it cannot read: letters typed in its name column
// stay visible in the frequency editor and are refused with a word; full-width digits of
// an input method read as digits, there and on existing rows.
TEST_F(EditsLandTask, TheNewRowMakesChannelsOnlyFromFrequenciesItUnderstands) {
    OpenAddress(FirstGroup());
    const int count = Main().Organisation().ChannelsOfGroup(0);
    const int newRow = Row(count);
    ASSERT_TRUE(Click(newRow, CL_Mch_Name_Name));
    Type("AIR");
    ASSERT_TRUE(Sheet().EditorOpen()) << "no letter vanished";
    EXPECT_EQ(Sheet().CurrentColumn(), Column(newRow, CL_Mch_Freq));
    Key(Qt::Key_Return);
    Settle();
    EXPECT_EQ(Main().Organisation().ChannelsOfGroup(0), count) << "no stray channel";
    EXPECT_NE(StatusText().find("AIR"), std::string::npos) << StatusText();

    ASSERT_TRUE(Click(newRow, CL_Mch_Freq));
    Key(Qt::Key_Return); // the editor opens empty; Escape leaves nothing behind
    Key(Qt::Key_Escape);
    EXPECT_EQ(Main().Organisation().ChannelsOfGroup(0), count);
    Key(Qt::Key_Return);
    Key(Qt::Key_Return); // nor does an empty entry
    Settle();
    EXPECT_EQ(Main().Organisation().ChannelsOfGroup(0), count);

    TypeInCell(newRow, CL_Mch_Freq, "\uFF11\uFF14\uFF16\uFF0E\uFF15"); // １４６．５
    ASSERT_EQ(Main().Organisation().ChannelsOfGroup(0), count + 1);
    EXPECT_EQ(Shown(newRow, CL_Mch_Freq), "146.500000");
    TypeInCell(newRow, CL_Mch_Freq, "\uFF11\uFF14\uFF17"); // １４７ on the row just made
    EXPECT_EQ(Shown(newRow, CL_Mch_Freq), "147.000000");
    EXPECT_EQ(Main().Organisation().ChannelsOfGroup(0), count + 1);
}

// Printing every sheet leaves the open one as it was: its title keeps its own group's
// counts, though the printed groups counted their names meanwhile.
TEST_F(EditsLandTask, PrintAllLeavesTheOpenSheetAsItWas) {
    OpenNode("Memory CH/" +
             form->Tree()->topLevelItem(0)->child(0)->child(0)->text(0).toStdString());
    const int groups = Main().Organisation().GroupsOfCategory(0);
    TypeInCell(Row(groups), CL_GroupOP_Name, "Second");
    ASSERT_EQ(Main().Organisation().GroupsOfCategory(0), groups + 1);
    OpenNode("Memory CH/" +
             form->Tree()->topLevelItem(0)->child(0)->child(0)->text(0).toStdString() + "/Second");
    for (int n = 0; n < 3; ++n)
        AddChannel(n, "14" + std::to_string(n + 5), "N" + std::to_string(n));
    OpenAddress(FirstGroup());
    const QString title = Sheet().TitleLabel()->text();

    EXPECT_FALSE(PrintToPdf("File/Print/All...").isEmpty());
    EXPECT_EQ(Sheet().TitleLabel()->text(), title);
}

} // namespace
