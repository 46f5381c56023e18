#include "app/indMain.h"
#include "app/indProcess.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "platform/fake/cmcFakePlatform.h"
#include "settings/indEnviron.h"
#include "sheet/view/cuiCellPainter.h"
#include "sheet/view/cuiFlector.h"
#include "sheet/view/cuiSheetAddress.h"
#include "sheet/view/iuiSh_ChNew.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// A running program on the fake platform with the offscreen display, and one sheet.
class SheetViewTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_sheet_view";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }

    void TearDown() override {
        sheet.reset();
        if (process && Main().MainWindow()) Main().WindowClosed();
        process.reset();
    }

    // The main window as the controller sees it: it only opens pick lists.
    class clsWindow : public cuiMainWindow {
      public:
        void SetCaption(const std::string&) override {}
        bool IsWindowVisible() const override { return false; }
        bool IsWindowEnabled() const override { return true; }
        void EnableWindow(bool) override {}
        void ShowWindow() override {}
        cmcRect Placement() const override { return {0, 0, 800, 600}; }
        int SplitterPosition() const override { return 100; }
        void CloseWindow() override {}
        void OpenPickList(cmcCellCapsule& opener, const std::string& list) override {
            cuiFlector::Open(opener, list);
        }
    };
    clsWindow window;

    // The program with the new document of a destination, as the receiver would give it.
    void Start(int destination) {
        sheet.reset();
        process.reset();
        process = std::make_unique<indProcess>();
        Main().CreateUi(window);
        Main().ReceiverInformation()[indMain::InfoDestinationByte] = uint8_t(destination);
        process->Events().Send(ev::AdoptDestination);
        ASSERT_EQ(process->Environ().destination, destination);
    }

    indMain& Main() { return process->Main(); }
    cmcOrganisation& Org() { return Main().Organisation(); }

    cuiSheetServices Services(int destination) {
        cuiSheetServices services;
        services.catalogue = &process->Text();
        services.events = &process->Events();
        services.settings = &process->Environ();
        services.organisation = &Org();
        services.destination = destination;
        services.fontSizePercentage = process->Environ().fontSizePercentage;
        return services;
    }

    cuiSheet& Open(const std::string& address) {
        sheet.reset();
        sheet = cuiCreateSheet(address, Services(process->Environ().destination), nullptr);
        sheet->resize(1100, 500);
        sheet->show();
        sheet->Open();
        sheet->activateWindow();
        sheet->Grid().setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
        return *sheet;
    }

    // The column of the first cell bound to the logic id, in a row.
    int ColumnOf(int logicId, int row) {
        for (int column = 0; column < sheet->Layout().Columns(); ++column)
            if (sheet->CellAt(column, row).logicId == logicId) return column;
        return -1;
    }

    int DataRow(int record) { return sheet->Grid().FixedRows() + record; }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : &sheet->Grid(), key, modifiers);
    }

    void Type(const std::string& text) {
        for (char ch : text) {
            QWidget* target = QApplication::focusWidget();
            QTest::keyClick(target ? target : &sheet->Grid(), ch);
        }
    }

    void AddChannels(int count) {
        while (Org().ChannelsOfGroup(0) < count) {
            const int newRow = DataRow(Org().ChannelsOfGroup(0));
            ASSERT_TRUE(sheet->MoveTo(ColumnOf(CL_Mch_Freq, newRow), newRow));
            Type("146.5");
            Key(Qt::Key_Return);
        }
    }

    datCh Channel(int position) {
        datCh record = Org().Record();
        record.Load(datKind::Mch, Org().FirstChannelOfGroup(0) + position);
        return record;
    }

    cmcFakePlatform platform;
    std::unique_ptr<indProcess> process;
    std::unique_ptr<cuiSheet> sheet;
};

const char* const GroupSheet = "[St_CNBank]GI_Sheet_MemoryCH,Group 0";

TEST(SheetAddressTest, SplitsAtTheFirstCommaAndFindsTheKindBeforeIt) {
    struct Case {
        const char* address;
        const char* kind;
        const char* layout;
        const char* argument;
    } cases[] = {
        {"[St_ChNew]GI_Sheet_CategoryOp,CategoryOp", "St_ChNew", "GI_Sheet_CategoryOp",
         "CategoryOp"},
        {"GI_Sheet_TopPage", "", "GI_Sheet_TopPage", ""},
        {"[St_ColCut]GI_Sheet_ScanLink_Name", "St_ColCut", "GI_Sheet_ScanLink_Name", ""},
        {"[St_ColCut_A]GI_Sheet_X,3,100", "St_ColCut_A", "GI_Sheet_X", "3,100"},
        {"x[St_Common]GI_Sheet_Common,0", "St_Common", "GI_Sheet_Common", "0"},
        {"GI_Sheet_X,[St_ChNew]", "", "GI_Sheet_X", "[St_ChNew]"}, // after the comma: binding
        {"[St_ChNew GI_Sheet_X", "", "[St_ChNew GI_Sheet_X", ""},
        {"]x[St_Common]GI_Sheet_Common", "St_Common", "GI_Sheet_Common", ""},
    };
    for (const Case& c : cases) {
        const cuiSheetAddress parsed = cuiParseSheetAddress(c.address);
        EXPECT_EQ(parsed.kind, c.kind) << c.address;
        EXPECT_EQ(parsed.layoutName, c.layout) << c.address;
        EXPECT_EQ(parsed.argument, c.argument) << c.address;
    }
}

TEST_F(SheetViewTest, TypingInTheNewRowCreatesAChannelAndTheNextNewRow) {
    Start(1);
    Open(GroupSheet);
    const int channels = Org().ChannelsOfGroup(0);
    const int newRow = DataRow(channels);
    const int rows = sheet->Layout().Rows();
    const QString title = sheet->TitleLabel()->text();
    ASSERT_TRUE(sheet->MoveTo(ColumnOf(CL_Mch_Freq, newRow), newRow));

    Type("145");
    Key(Qt::Key_Return);

    ASSERT_EQ(Org().ChannelsOfGroup(0), channels + 1);
    EXPECT_EQ(Channel(channels).frequency, 145000000u);
    EXPECT_EQ(sheet->Layout().Rows(), rows + 1);
    EXPECT_EQ(sheet->DisplayText(ColumnOf(CL_Misc_ChNo_Mch, newRow + 1), newRow + 1), "New");
    EXPECT_EQ(sheet->DisplayText(ColumnOf(CL_Mch_Freq, newRow), newRow), "145.000000");
    EXPECT_NE(sheet->TitleLabel()->text(), title);
    EXPECT_TRUE(
        sheet->TitleLabel()->text().contains(QString::number(1600 - Org().TotalChannels())));
}

// A joined heading whose first column is scrolled out of view still shows its text over
// the columns in view.
TEST_F(SheetViewTest, AJoinedHeadingHalfScrolledOutShowsItsText) {
    Start(1);
    Open(GroupSheet);
    cuiGrid& grid = sheet->Grid();
    const int first = ColumnOf(CL_Mch_Decode, DataRow(0));
    const int last = ColumnOf(CL_Mch_DTCS_Polarity, DataRow(0));
    ASSERT_GT(last, first + 1);
    // So narrow that one column of the run is in view at a time.
    sheet->resize(sheet->width() - grid.viewport()->width() + grid.FixedWidth() +
                      grid.ColumnWidth(last) + 10,
                  400);
    QApplication::processEvents();
    int heading = -1;
    for (int row = 0; row < grid.FixedRows() && heading < 0; ++row)
        if (sheet->Layout().Cell(first + 1, row).HasLayout(cmcCellObj::Join)) heading = row;
    ASSERT_GE(heading, 0) << "no heading joined over the tone columns";

    // The share of the heading's run in view that is not its background: its text.
    auto inked = [&] {
        QApplication::processEvents();
        const QImage image = grid.viewport()->grab().toImage();
        const int from = std::max(grid.CellRect(first, heading).left(), grid.FixedWidth());
        const QRect run = QRect(QPoint(from, grid.CellRect(first, heading).top()),
                                grid.CellRect(last, heading).bottomRight())
                              .adjusted(3, 3, -4, -4)
                              .intersected(image.rect());
        const QRgb background = image.pixel(run.topLeft());
        int ink = 0;
        for (int y = run.top(); y <= run.bottom(); ++y)
            for (int x = run.left(); x <= run.right(); ++x)
                ink += image.pixel(x, y) != background;
        return ink;
    };
    int left = first;
    for (; left <= last; ++left) {
        grid.horizontalScrollBar()->setValue(left - grid.FixedColumns());
        if (grid.CellRect(left, heading).left() != grid.FixedWidth()) break; // scrolled to the end
        EXPECT_GT(inked(), 20) << "with column " << left - first << " of the run at the left";
    }
    EXPECT_GT(left, first + 2) << "the run could not be scrolled out far enough";
}

TEST_F(SheetViewTest, EscapeInTheEditorLeavesTheDatumAndEnterStoresIt) {
    Start(1);
    Open(GroupSheet);
    const int row = DataRow(0);
    const int column = ColumnOf(CL_Mch_Freq, row);
    const uint32_t before = Channel(0).frequency;
    ASSERT_TRUE(sheet->MoveTo(column, row));
    Key(Qt::Key_Return);
    ASSERT_TRUE(sheet->EditorOpen());
    Type("146.52");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(sheet->EditorOpen());
    EXPECT_EQ(Channel(0).frequency, before);

    Type("146.52");
    Key(Qt::Key_Down); // commits and moves on
    EXPECT_FALSE(sheet->EditorOpen());
    EXPECT_EQ(Channel(0).frequency, 146520000u);
    EXPECT_EQ(sheet->CurrentRow(), row + 1);
}

TEST_F(SheetViewTest, TypingANameOpensTheEditorWithTheFirstLetter) {
    Start(1);
    Open(GroupSheet);
    const int row = DataRow(1);
    const int column = ColumnOf(CL_Mch_Name_Name, row);
    ASSERT_TRUE(sheet->MoveTo(column, row));
    Type("REPEATER");
    EXPECT_TRUE(sheet->EditorOpen());
    Key(Qt::Key_Return);
    EXPECT_FALSE(sheet->EditorOpen());
    EXPECT_EQ(sheet->DisplayText(column, row), "REPEATER");
}

TEST_F(SheetViewTest, EnterOnAStepCellOpensThePickListWhereEnterChooses) {
    Start(1);
    Open(GroupSheet);
    const int row = DataRow(0);
    ASSERT_TRUE(sheet->MoveTo(ColumnOf(CL_Mch_Dup, row), row));
    EXPECT_EQ(sheet->DisplayText(sheet->CurrentColumn(), row), "OFF");
    Key(Qt::Key_Return);
    cuiFlector* list = cuiFlector::Current();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    // The list opens on the value the cell holds; Down and Enter take the next one.
    EXPECT_EQ(list->Sheet().DisplayText(list->Sheet().CurrentColumn(), list->Sheet().CurrentRow()),
              "OFF");
    QTest::keyClick(&list->Sheet().Grid(), Qt::Key_Down);
    QTest::keyClick(&list->Sheet().Grid(), Qt::Key_Return);
    EXPECT_EQ(sheet->DisplayText(sheet->CurrentColumn(), row), "-DUP");
    QTest::qWait(10);
    EXPECT_EQ(cuiFlector::Current(), nullptr);
}

TEST_F(SheetViewTest, DownOnTheLastItemOfAOneColumnPickListWraps) {
    Start(1);
    Open(GroupSheet);
    const int row = DataRow(0);
    ASSERT_TRUE(sheet->MoveTo(ColumnOf(CL_Mch_Dup, row), row));
    Key(Qt::Key_Return);
    cuiFlector* list = cuiFlector::Current();
    ASSERT_NE(list, nullptr);
    cuiSheet& items = list->Sheet();
    const int last = items.Layout().Rows() - 1;
    ASSERT_TRUE(items.MoveTo(0, last));
    QTest::keyClick(&items.Grid(), Qt::Key_Down);
    EXPECT_EQ(items.CurrentRow(), 0);
    QTest::keyClick(&items.Grid(), Qt::Key_Up);
    EXPECT_EQ(items.CurrentRow(), last);
    QTest::keyClick(&items.Grid(), Qt::Key_Escape);
    QTest::qWait(10);
    EXPECT_EQ(cuiFlector::Current(), nullptr);
    EXPECT_EQ(sheet->DisplayText(sheet->CurrentColumn(), row), "OFF");
}

TEST_F(SheetViewTest, DeleteOnALineSelectionDeletesThoseChannels) {
    Start(1);
    Open(GroupSheet);
    AddChannels(3);
    const int channels = Org().ChannelsOfGroup(0);
    const uint32_t kept = Channel(2).frequency;
    const int row = DataRow(0);
    ASSERT_TRUE(sheet->MoveTo(ColumnOf(CL_Mch_Freq, row), row));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(sheet->MultiSelectionActive());
    EXPECT_TRUE(sheet->IsMarked(sheet->CurrentColumn(), row));
    EXPECT_TRUE(sheet->IsMarked(sheet->CurrentColumn(), row + 1));
    platform.messages.script({answer::Ok, answer::Ok, answer::Yes});
    Key(Qt::Key_Delete);
    EXPECT_EQ(Org().ChannelsOfGroup(0), channels - 2);
    EXPECT_EQ(Channel(0).frequency, kept);
    EXPECT_FALSE(sheet->MultiSelectionActive());
}

TEST_F(SheetViewTest, ShiftDownOverANameBlockSelectsTheWholeBlock) {
    Start(1);
    Open(GroupSheet);
    AddChannels(3);
    // Channels 0 and 1 of the first group share one name.
    datCh first = Channel(0);
    datCh second = Channel(1);
    second.nameIndex = first.nameIndex;
    second.StoreAndReload();
    Org().RecountNames(0);
    Open(GroupSheet);
    auto& bank = static_cast<iuiSh_ChBank&>(*sheet);
    int top = 0, bottom = 0;
    bank.BlockRows(DataRow(1), top, bottom);
    ASSERT_EQ(top, DataRow(0));
    ASSERT_EQ(bottom, DataRow(1));

    const int column = ColumnOf(CL_Mch_Name_Name, DataRow(0));
    ASSERT_TRUE(sheet->MoveTo(column, DataRow(0)));
    // Landing on the name marks the block; its text stands in the first row only.
    EXPECT_TRUE(sheet->IsMarked(column, DataRow(1)));
    // Down steps over the block.
    Key(Qt::Key_Down);
    EXPECT_EQ(sheet->CurrentRow(), DataRow(2));
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_TRUE(sheet->IsMarked(column, DataRow(0)));
    EXPECT_TRUE(sheet->IsMarked(column, DataRow(1)));
    EXPECT_TRUE(sheet->IsMarked(column, DataRow(2)));
}

TEST_F(SheetViewTest, CancellerColumnsExistOnlyAtDestinationZero) {
    for (int destination : {0, 1}) {
        Start(destination);
        Open(GroupSheet);
        const int row = DataRow(0);
        const int canceller = ColumnOf(CL_Mch_Decode_RX, row);
        ASSERT_GE(canceller, 0);
        EXPECT_EQ(sheet->Grid().ColumnWidth(canceller) == 0, destination != 0) << destination;
        ASSERT_TRUE(sheet->MoveTo(ColumnOf(CL_Mch_Freq, row), row));
        for (int step = 0; step < sheet->Layout().Columns(); ++step) {
            const int id = sheet->CellAt(sheet->CurrentColumn(), row).logicId;
            if (destination != 0) {
                EXPECT_NE(id, CL_Mch_Decode_RX);
                EXPECT_NE(id, CL_Mch_Air_Freq);
            }
            Key(Qt::Key_Right);
        }
    }
}

TEST_F(SheetViewTest, FixedRowsBeyondTheRowsLeaveOneRowToScroll) {
    // A sheet of one heading row and one data row that asks for three fixed rows.
    static const char* const lines[] = {
        "#GI_Sheet_Tall_Style",     "(FixedRows=3)(FixedCols=5)",
        "#GI_Sheet_Tall_BasicCell", "{(Font=DEFAULT_CHARSET,,clWindowText,-12,,,)}",
        "#GI_Sheet_Tall_Cells",     "{W}Heading|{W}Other",
        "{SW}One|{SW}Two",          "#End_Of_Ovl",
    };
    Start(1);
    cmcGTex catalogue;
    catalogue.Attach({lines, std::size(lines)});
    cuiSheetServices services = Services(1);
    services.catalogue = &catalogue;
    cuiSheet tall(services, "GI_Sheet_Tall", nullptr);
    tall.Open();
    EXPECT_EQ(tall.Grid().FixedRows(), 1);
    EXPECT_EQ(tall.Grid().FixedColumns(), 1);
    EXPECT_EQ(tall.CurrentRow(), 1);
    QTest::keyClick(&tall.Grid(), Qt::Key_Right);
    EXPECT_EQ(tall.CurrentColumn(), 1);
}

TEST_F(SheetViewTest, ColumnWidthsAreKeptPerSheetKind) {
    Start(1);
    Open(GroupSheet);
    const int column = ColumnOf(CL_Mch_Freq, DataRow(0));
    sheet->Grid().SetColumnWidth(column, 900);
    sheet.reset(); // stores the widths
    EXPECT_EQ(process->Environ().ReadInteger(SettingsScope::User, "Display/memory/colwidth",
                                             std::to_string(column)),
              900);
    // A stored width beyond the limit stays until the user next changes a width.
    Open(GroupSheet);
    EXPECT_EQ(sheet->Grid().ColumnWidth(column), 900);
    // Widths set in one font size do not clip the text of another.
    sheet->Grid().SetColumnWidth(column, 20);
    sheet.reset();
    process->Environ().fontSizePercentage = 150;
    Open(GroupSheet);
    const int wide = sheet->Grid().ColumnWidth(column);
    EXPECT_GT(wide, 100);
    sheet.reset(); // stores the widths of 150 %
    process->Environ().fontSizePercentage = 100;
    Open(GroupSheet);
    EXPECT_GT(sheet->Grid().ColumnWidth(column), 20);
    EXPECT_LT(sheet->Grid().ColumnWidth(column), wide);
}

// Tab moves between cells; Ctrl+Tab and Ctrl+Shift+Tab leave the sheet for the controls
// around it, so the keyboard alone can get out of a sheet.
TEST_F(SheetViewTest, CtrlTabLeavesTheSheet) {
    Start(1);
    QWidget window;
    auto* before = new QLineEdit(&window);
    std::unique_ptr<cuiSheet> inside =
        cuiCreateSheet(GroupSheet, Services(process->Environ().destination), &window);
    auto* after = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(before);
    layout->addWidget(inside.get());
    layout->addWidget(after);
    window.resize(900, 500);
    window.show();
    inside->Open();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    inside->Grid().setFocus();
    const int column = inside->CurrentColumn();
    QTest::keyClick(&inside->Grid(), Qt::Key_Tab);
    EXPECT_TRUE(inside->Grid().hasFocus());
    EXPECT_EQ(inside->CurrentColumn(), column + 1);
    QTest::keyClick(&inside->Grid(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(after->hasFocus());
    inside->Grid().setFocus();
    QTest::keyClick(&inside->Grid(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(before->hasFocus());
    layout->removeWidget(inside.get());
    inside.reset();
}

// The start page's lines wrap to a narrow view, and stay one line each in a wide one.
TEST_F(SheetViewTest, TheStartPageWrapsToTheView) {
    Start(1);
    Open("GI_Sheet_TopPage");
    const int line = sheet->Grid().RowHeight(sheet->Layout().Rows() - 1);
    const auto lastRow = [this] { return sheet->Grid().RowHeight(sheet->Layout().Rows() - 1); };
    sheet->resize(300, 400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lastRow() > line; }, 2000)) << "wrapped";
    int width = 0;
    for (int column = 0; column < sheet->Layout().Columns(); ++column)
        width += sheet->Grid().ColumnWidth(column);
    EXPECT_LE(width, sheet->Grid().viewport()->width());
    sheet->resize(1600, 400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lastRow() == line; }, 2000)) << "one line again";
}

// While a clone holds the window, the sheet's empty area keeps the colour of its cells, so
// the start page does not stand out as a white block on grey.
TEST_F(SheetViewTest, ADisabledSheetKeepsOneBackground) {
    Start(1);
    Open("GI_Sheet_TopPage");
    sheet->resize(1200, 400);
    QCoreApplication::processEvents();
    sheet->setEnabled(false);
    const QImage image = sheet->Grid().viewport()->grab().toImage();
    const QColor base = sheet->palette().color(QPalette::Active, QPalette::Base);
    ASSERT_NE(base, sheet->palette().color(QPalette::Disabled, QPalette::Base));
    EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), base) << "empty area";
    EXPECT_EQ(image.pixelColor(2, 2), base) << "start page";
}

// Every sheet the tree can open, and every pick list, builds and paints.
// The list kinds make the list sheet; a kind that names no class, or none, a plain sheet
// (never the end of the program).
TEST_F(SheetViewTest, EachKindMakesItsSheetClassAndAnUnknownKindAPlainSheet) {
    Start(1);
    const auto kindOf = [this](const std::string& address) {
        Open(address);
        if (dynamic_cast<iuiSh_ChBank*>(sheet.get())) return std::string("iuiSh_ChBank");
        if (dynamic_cast<iuiSh_ChNew*>(sheet.get())) return std::string("iuiSh_ChNew");
        if (dynamic_cast<iuiSh_ColCutBank*>(sheet.get())) return std::string("iuiSh_ColCutBank");
        if (dynamic_cast<iuiSh_ColCut*>(sheet.get())) return std::string("iuiSh_ColCut");
        if (dynamic_cast<iuiSh_Common*>(sheet.get())) return std::string("iuiSh_Common");
        return std::string("cuiSheet");
    };
    EXPECT_EQ(kindOf("[St_ColCut]GI_Sheet_ScanLink,ScanLink 3"), "iuiSh_ChNew");
    auto* link = dynamic_cast<iuiSh_ChNew*>(sheet.get());
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->SetNumber(), 3);
    EXPECT_EQ(link->FirstRecord(), 78);
    EXPECT_EQ(sheet->Layout().Rows(), sheet->Grid().FixedRows() + 26);
    EXPECT_EQ(kindOf("[St_ChNew]GI_Sheet_BasicOp,BasicOp"), "iuiSh_ChNew");
    EXPECT_EQ(kindOf(GroupSheet), "iuiSh_ChBank");
    EXPECT_EQ(kindOf("[St_CCBank]GI_Sheet_AutoMWCH,AutoMWCH"), "iuiSh_ColCutBank");
    EXPECT_EQ(kindOf("[St_Common]GI_Sheet_Common,0"), "iuiSh_Common");
    EXPECT_EQ(kindOf("[St_ChBank]GI_Sheet_AutoMWCH,AutoMWCH"), "cuiSheet");
    EXPECT_EQ(kindOf("[St_NoSuchKind]GI_Sheet_AutoMWCH,AutoMWCH"), "cuiSheet");
    EXPECT_EQ(kindOf("GI_Sheet_TopPage"), "cuiSheet");
}

// Greyed values stay readable on white, on the current line's shade and in a dark palette.
TEST(CellPainterTest, GreyedTextReachesAReadableContrastInLightAndDarkPalettes) {
    QPalette light(QColor(240, 240, 240));
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Disabled, QPalette::Text, QColor(0xC0, 0xC0, 0xC0));
    QPalette dark(QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Active, QPalette::Text, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x50, 0x50, 0x50));
    for (const QPalette& palette : {light, dark}) {
        const cuiShading shading(palette);
        for (const QColor& background : {palette.color(QPalette::Base), shading.currentLine}) {
            const QColor grey = cuiGreyText(palette, background);
            EXPECT_GE(cuiContrast(grey, background), ReadableContrast)
                << background.name().toStdString();
            // Still greyer than the ordinary text.
            EXPECT_LT(cuiContrast(grey, background),
                      cuiContrast(palette.color(QPalette::Text), background));
        }
    }
    EXPECT_LT(cuiContrast(QColor(0xC0, 0xC0, 0xC0), Qt::white), 2.0) << "the old silver";
}

// A joined heading drawn for one of its columns stays within that column.
// Wrapped text breaks between words, Japanese between characters, an overlong word anywhere;
// no line is wider than asked and no character is lost but the spaces at the breaks.
TEST(CellPainterTest, WrappedTextBreaksBetweenWords) {
    static int argc = 1;
    static char name[] = "test_sheet_view";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    const QString texts[] = {
        QStringLiteral("Clone Read reads the receiver's memory; Clone Write writes it back."),
        QStringLiteral("「クローン読み込み」で受信機のメモリーを読み込み、書き戻します。"),
        QStringLiteral("Supercalifragilisticexpialidocious and more")};
    const int width = metrics.horizontalAdvance(QStringLiteral("receiver's memory; Clo"));
    for (const QString& text : texts) {
        const QStringList lines = cuiWrapText(text, font, width).split(QLatin1Char('\n'));
        EXPECT_GT(lines.size(), 1) << text.toStdString();
        QString joined;
        for (const QString& line : lines) {
            EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
            joined += line;
        }
        EXPECT_EQ(joined.remove(QLatin1Char(' ')), QString(text).remove(QLatin1Char(' ')));
    }
    const QStringList english = cuiWrapText(texts[0], font, width).split(QLatin1Char('\n'));
    for (const QString& line : english)
        for (const QString& word : line.split(QLatin1Char(' ')))
            EXPECT_TRUE(texts[0].split(QLatin1Char(' ')).contains(word)) << word.toStdString();
    EXPECT_EQ(cuiWrapText(QStringLiteral("one\ntwo"), font, 1000), QStringLiteral("one\ntwo"));
}

TEST(CellPainterTest, AJoinedCellDrawsOnlyWithinTheColumnBeingPainted) {
    static int argc = 1;
    static char name[] = "test_sheet_view";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    cmcCellObj cell;
    cell.color = 0x00FFFFFF;
    cuiCellPaint paint;
    paint.cell = &cell;
    paint.rect = QRect(0, 0, 300, 20); // the whole joined run
    paint.text = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    QImage image(300, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setClipRect(QRect(100, 0, 100, 20)); // the column on show
        cuiDrawCell(painter, paint, cuiShading(QApplication::palette()));
    }
    int inside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool white = image.pixel(x, y) == qRgb(255, 255, 255);
            if (x >= 100 && x < 200)
                inside += white ? 0 : 1;
            else
                ASSERT_TRUE(white) << x << "," << y;
        }
    EXPECT_GT(inside, 0) << "the text shows in its own column";
}

TEST_F(SheetViewTest, EverySheetOpensAndPaints) {
    for (int destination : {0, 1, 5}) {
        Start(destination);
        std::vector<std::string> addresses;
        const std::string body = process->Text().GetLines("GI_Tree_Main_Body");
        for (size_t at = body.find("CallSheet:"); at != std::string::npos;
             at = body.find("CallSheet:", at + 1)) {
            const size_t end = body.find(')', at);
            addresses.push_back(body.substr(at + 10, end - at - 10));
        }
        for (int c = 0; c < Org().CategoryCount(); ++c)
            addresses.push_back("[St_ChNew]GI_Sheet_BankOp,Category " + std::to_string(c));
        for (int g = 0; g < Org().GroupCount(); ++g)
            addresses.push_back("[St_CNBank]GI_Sheet_MemoryCH,Group " + std::to_string(g));
        for (int b = 0; b < Org().BankCount(); ++b) {
            addresses.push_back("[St_ChNew]GI_Sheet_BasicTop,Basic " + std::to_string(b));
            addresses.push_back("[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH " + std::to_string(b));
            addresses.push_back("[St_ChNew]GI_Sheet_BasicPGSrch,BasicPG " + std::to_string(b));
        }
        ASSERT_GT(addresses.size(), 15u);
        // The pick lists, as they drop down under a frequency cell.
        const cmcTextTable table = EnglishTable();
        int lists = 0;
        for (size_t line = 0; line < table.count; ++line) {
            const std::string key = table.lines[line];
            const std::string suffix = "_Cells";
            if (key.rfind("#GI_Sheet_Sel_", 0) != 0 || key.size() < suffix.size() ||
                key.compare(key.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string name = key.substr(1, key.size() - 1 - suffix.size());
            Open(GroupSheet);
            cmcCellCapsule opener;
            opener.cell = &sheet->CellAt(ColumnOf(CL_Mch_Freq, DataRow(0)), DataRow(0));
            cuiSheet list(Services(destination), name, nullptr);
            list.SetParentCapsule(opener);
            list.SetPickListMode(true);
            list.Open();
            EXPECT_FALSE(list.grab().toImage().isNull()) << name;
            EXPECT_TRUE(list.HasCurrent()) << name;
            ++lists;
        }
        EXPECT_GT(lists, 20);
        for (const std::string& address : addresses) {
            Open(address);
            const QImage image = sheet->grab().toImage();
            EXPECT_FALSE(image.isNull()) << address;
            EXPECT_GT(sheet->Layout().Rows(), 0) << address;
        }
    }
}
} // namespace
