// A random but valid user on the real main window offscreen: tree moves, cell moves and
// selections, typed values of every sort, pick-list choices, popup and main-menu commands,
// undo and redo, find, CSV import, font sizes. After every action the document is judged
// through the core: it loads as it is, a save opens to the same bytes, the count tables
// and the tree agree with the records, the open sheet's title is up to date; every few
// actions undoing every step gives the document as the run began and redoing them gives
// it back.
//
// Environment: SOAK_SEED=N replays the run of seed N; SOAK_ACTIONS=N stops after N
// actions in all (0 or unset: runs until stopped); SOAK_RUN=N actions in each run (each
// run starts a fresh window on a fresh document).

#include "../tasks/TaskWindow.h"

#include "app/indUndoCommands.h"
#include "app/view/cuiFindBar.h"
#include "app/view/cuiPresetDialog.h"
#include "model/cmcOrganisation.h"
#include "sheet/view/cuiFlector.h"
#include "sheet/view/cuiTree.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>

// Set when the sanitizers are linked in: called when they end the program.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

long EnvNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

std::string Caption(const QAction* action) {
    QString text = action->text().section(QLatin1Char('\t'), 0, 0);
    text.remove(QLatin1Char('&'));
    return text.toStdString();
}

// Warnings Qt prints about objects and widgets: each is a finding.
std::vector<std::string>& QtWarnings() {
    static std::vector<std::string> warnings;
    return warnings;
}

void RecordQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    // The offscreen platform cannot do everything a desktop does; that is no fault here.
    if (text.contains(QStringLiteral("This plugin does not support"))) return;
    QtWarnings().push_back(text.toStdString());
}

// The run under way, for a report when the program dies: its seed and actions so far.
struct clsRunning {
    uint32_t seed = 0;
    const std::vector<std::string>* actions = nullptr;
} running;

void ReportDeath() {
    if (!running.actions) return;
    std::fprintf(stderr, "soak: seed %u died at action %zu; replay with: make soak SEED=%u\n",
                 running.seed, running.actions->size(), running.seed);
    for (size_t i = 0; i < running.actions->size(); ++i)
        std::fprintf(stderr, "  %zu. %s\n", i + 1, (*running.actions)[i].c_str());
    running.actions = nullptr;
}

void OnFatalSignal(int signal) {
    ReportDeath();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The sheet's own title, computed now.
struct clsTitleOf : cuiSheet {
    static std::string Of(cuiSheet& sheet) { return (sheet.*(&clsTitleOf::TitleText))(); }
    using cuiSheet::TitleText;
};

// Values a user types: valid, out of range, malformed, full-width, very long.
const char* const TypedValues[] = {
    // Frequencies and numbers, in range and not.
    "146.52", "25", "1300", "118.000", "462.5625", "0.1", "99999", "-5", "1", "12", "3.5",
    "12345678901234567890",
    // Names and text, ASCII and full-width.
    "abc", "Tower 1", "AIR", "x", "", "!!!", "NAME WITH MANY CHARACTERS IN IT",
    "\uFF11\uFF14\uFF16\uFF0E\uFF15", "\uFF21\uFF22", "\u30C6\u30B9\u30C8", "\uFF71\uFF72"};

class SoakWindow : public TaskWindow {
  public:
    void TestBody() override {}
    using TaskWindow::SetUpTestSuite;

    // One run: a fresh window and document, count actions; false on a finding.
    bool Run(uint32_t seed, long count, long& actions, long& checks) {
        random_.seed(seed);
        running.seed = seed, running.actions = &log_;
        settleWait = 0;
        SetUp();
        if (::testing::Test::HasFatalFailure()) return false;
        // Sheets open as soon as the tree's selection changes: the rest a user's key moves
        // are given would be idle time here, a fifth of a second on every tree action.
        form->Tree()->SetChangeDelay(0);
        start_.Assign(Main().Organisation().Image());
        csv_ = folder + "/soak.csv";
        if (seed % 2) Enrich();
        bool ok = !::testing::Test::HasFailure();
        for (long n = 0; n < count && ok; ++n) {
            AnswerAtRandom();
            Act();
            ++actions;
            ok = Check(checks);
            if (ok && ((n + 1) % 50 == 0 || n + 1 == count)) ok = CheckUndoRedo(checks);
        }
        if (!ok) {
            std::cerr << "soak: seed " << seed << " failed at action " << log_.size()
                      << "; replay with: make soak SEED=" << seed << " SOAK_RUN=" << count
                      << "\nactions:\n";
            for (size_t i = 0; i < log_.size(); ++i)
                std::cerr << "  " << i + 1 << ". " << log_[i] << "\n";
            if (!lastCsv_.empty()) std::cerr << "the last imported file:\n" << lastCsv_;
        }
        TearDown();
        running.actions = nullptr;
        return ok;
    }

  private:
    int Pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    void Note(const std::string& what) {
        log_.push_back(what + "  [" + (form->Sheet() ? form->OpenSheetAddress() : "no sheet") +
                       "]");
    }

    void AnswerAtRandom() {
        static const int answers[] = {answer::Ok, answer::Cancel, answer::Yes, answer::No};
        platform.messages.script({answers[Pick(4)], answers[Pick(4)]});
    }

    // ---- Actions ----

    // Every other run starts from a fuller document, made as a user makes one: the
    // country presets the program ships added as banks, and rows of a generated CSV file
    // (names of one to three channels) added to the first group.
    void Enrich() {
        platform.folders.data_ = PELHAM_SOURCE_DIR "/data";
        OpenNode("Basic Search");
        const int country = Pick(3);
        QTimer::singleShot(0, [country] {
            auto* dialog = dynamic_cast<cuiPresetDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->Sources()->setCurrentRow(country);
            dialog->Sources()->setFocus();
            QTest::keyClick(dialog->Sources(), Qt::Key_Return);
        });
        Note("preset import: country " + std::to_string(country) + ", Add, every category");
        Menu("Option/Preset Basic Search");

        OpenAddress("[St_CNBank]GI_Sheet_MemoryCH,Group " +
                    std::to_string(form->Tree()->Groups().at(0)));
        platform.dialogs.scriptSave(csv_);
        Menu("File/Export...");
        std::ifstream in(csv_, std::ios::binary);
        std::string header, sample;
        std::getline(in, header);
        std::getline(in, sample);
        in.close();
        auto split = [](const std::string& line) {
            std::vector<std::string> fields;
            std::stringstream stream(line);
            for (std::string field; std::getline(stream, field, ',');)
                fields.push_back(field);
            return fields;
        };
        const std::vector<std::string> columns = split(header);
        auto column = [&](const char* name) {
            return size_t(std::find(columns.begin(), columns.end(), name) - columns.begin());
        };
        const size_t number = column("CH No"), nameNo = column("Name No"),
                     nameText = column("Name Name"), frequency = column("Frequency");
        std::string text = header + "\n";
        const int rows = 10 + Pick(50);
        for (int row = 0, name = 0; row < rows; ++name)
            for (int share = 1 + Pick(3); share > 0 && row < rows; --share, ++row) {
                std::vector<std::string> fields = split(sample);
                fields.resize(columns.size());
                fields[number] = std::to_string(row);
                fields[nameNo] = std::to_string(name);
                fields[nameText] = "N" + std::to_string(name);
                fields[frequency] =
                    std::to_string(118 + Pick(300)) + "." + std::to_string(Pick(40) * 25) + "0";
                std::string line;
                for (const std::string& field : fields)
                    line += (line.empty() ? "" : ",") + field;
                text += line + "\n";
            }
        std::ofstream(csv_, std::ios::binary | std::ios::trunc) << text;
        lastCsv_ = text;
        Note("import Add of " + std::to_string(rows) + " generated rows into the first group");
        platform.dialogs.scriptOpen(csv_);
        platform.messages.script({answer::Ok, answer::Ok});
        Menu("File/Import/Add...");
        Note("(the document holds " + std::to_string(Main().Organisation().TotalChannels()) +
             " channels and " + std::to_string(Main().Organisation().BankCount()) + " banks)");
    }

    void Act() {
        // Any window still held from the last action (a pick list, the find bar's field)
        // stays; the next action works on what the user sees.
        static const std::function<void(SoakWindow&)> actions[] = {
            &SoakWindow::TreeMove,     &SoakWindow::TreeKey,   &SoakWindow::CellClick,
            &SoakWindow::CellClick,    &SoakWindow::CellKey,   &SoakWindow::CellKey,
            &SoakWindow::TypeValue,    &SoakWindow::TypeValue, &SoakWindow::TypeValue,
            &SoakWindow::PickList,     &SoakWindow::PickList,  &SoakWindow::PopupCommand,
            &SoakWindow::PopupCommand, &SoakWindow::EditKey,   &SoakWindow::EditKey,
            &SoakWindow::MenuCommand,  &SoakWindow::UndoRedo,  &SoakWindow::Find,
            &SoakWindow::ImportCsv,    &SoakWindow::PasteText, &SoakWindow::Drag};
        actions[Pick(int(std::size(actions)))](*this);
        Settle();
    }

    void TreeMove() {
        std::vector<QTreeWidgetItem*> nodes;
        std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* node) {
            nodes.push_back(node);
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i));
        };
        for (int i = 0; i < form->Tree()->topLevelItemCount(); ++i)
            walk(form->Tree()->topLevelItem(i));
        QTreeWidgetItem* node = nodes[size_t(Pick(int(nodes.size())))];
        Note("tree: click " + form->Tree()->AddressOf(node));
        ClickNode(node);
    }

    void TreeKey() {
        static const Qt::Key keys[] = {Qt::Key_Up,    Qt::Key_Down, Qt::Key_Left,
                                       Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
        const Qt::Key key = keys[Pick(6)];
        Note("tree: key " + std::to_string(int(key)));
        form->Tree()->setFocus();
        QTest::keyClick(form->Tree(), key);
        // The tree opens the sheet of its current node after its change delay.
        iuiTree& tree = *form->Tree();
        const bool opened = QTest::qWaitFor(
            [&] {
                return !tree.currentItem() ||
                       form->OpenSheetAddress() == tree.AddressOf(tree.currentItem());
            },
            1000);
        if (!opened) ADD_FAILURE() << "the tree did not open the sheet of its current node";
    }

    // A random selectable cell of the open sheet, or false.
    bool RandomCell(int& column, int& row) {
        if (!form->Sheet()) return false;
        cmcSheetLayout& layout = Sheet().Layout();
        for (int tries = 0; tries < 40; ++tries) {
            column = Pick(layout.Columns()), row = Pick(layout.Rows());
            if (Sheet().CellAt(column, row).IsSelectable()) return true;
        }
        return false;
    }

    void ClickAt(int column, int row, Qt::KeyboardModifiers modifiers) {
        cuiGrid& grid = Sheet().Grid();
        grid.EnsureVisible(column, row);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers,
                          grid.CellRect(column, row).center());
    }

    void CellClick() {
        int column = 0, row = 0;
        if (!RandomCell(column, row)) return Note("cell click: no cell");
        const bool shift = Chance(25);
        Note("cell click " + std::to_string(column) + "," + std::to_string(row) +
             (shift ? " with Shift" : ""));
        ClickAt(column, row, shift ? Qt::ShiftModifier : Qt::NoModifier);
    }

    void CellKey() {
        static const Qt::Key keys[] = {Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Left,
                                       Qt::Key_Right,  Qt::Key_Home,     Qt::Key_End,
                                       Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Tab};
        if (!form->Sheet()) return Note("cell key: no sheet");
        const Qt::Key key = keys[Pick(9)];
        const Qt::KeyboardModifiers modifiers = Chance(30) ? Qt::ShiftModifier : Qt::NoModifier;
        Note("cell key " + std::to_string(int(key)) + (modifiers ? " with Shift" : ""));
        Sheet().Grid().setFocus();
        QTest::keyClick(Sheet().Grid().viewport(), key, modifiers);
    }

    void TypeValue() {
        if (!form->Sheet()) return Note("type: no sheet");
        int column = 0, row = 0;
        if (Chance(70) && RandomCell(column, row)) ClickAt(column, row, Qt::NoModifier);
        std::string text = TypedValues[Pick(int(std::size(TypedValues)))];
        if (Chance(5)) text = std::string(size_t(200 + Pick(200)), char('A' + Pick(26)));
        static const char* const endings[] = {"Enter", "Tab", "Escape", "Enter"};
        const std::string ending = endings[Pick(4)];
        Note("type \"" + text + "\" at " + std::to_string(Sheet().CurrentColumn()) + "," +
             std::to_string(Sheet().CurrentRow()) + " then " + ending);
        Sheet().Grid().setFocus();
        if (Chance(20)) Key(Qt::Key_F2);
        Type(text);
        Key(ending == "Enter" ? Qt::Key_Return : ending == "Tab" ? Qt::Key_Tab : Qt::Key_Escape);
    }

    void PickList() {
        if (!form->Sheet()) return Note("pick list: no sheet");
        Sheet().Grid().setFocus();
        Key(Qt::Key_Return);
        cuiFlector* list = cuiFlector::Current();
        if (!list || !list->isVisible()) { // a list closed by the key waits for its deletion
            Note("pick list: Enter, no list");
            if (form->Sheet() && Sheet().EditorOpen()) Key(Qt::Key_Escape);
            return;
        }
        cuiSheet& choices = list->Sheet();
        std::vector<std::pair<int, int>> items;
        for (int r = 0; r < choices.Layout().Rows(); ++r)
            for (int c = 0; c < choices.Layout().Columns(); ++c)
                if (choices.CellAt(c, r).IsSelectable()) items.emplace_back(c, r);
        if (items.empty() || Chance(10)) {
            Note("pick list: Escape");
            QTest::keyClick(choices.Grid().viewport(), Qt::Key_Escape);
            return;
        }
        const auto [c, r] = items[size_t(Pick(int(items.size())))];
        Note("pick list: choose \"" + choices.DisplayText(c, r) + "\"");
        if (Chance(50)) {
            choices.Grid().EnsureVisible(c, r);
            const QPoint at = choices.Grid().CellRect(c, r).center();
            QPointer<QWidget> items = choices.Grid().viewport();
            QTest::mouseMove(items, at);
            if (!items) {
                ADD_FAILURE() << "the pick list closed when the mouse moved over it";
                return;
            }
            QTest::mouseClick(items, Qt::LeftButton, {}, at);
        } else {
            choices.MoveTo(c, r);
            QTest::keyClick(choices.Grid().viewport(), Qt::Key_Return);
        }
    }

    // Commands that open a window of their own or leave the program are not played.
    static bool Playable(const QAction* action) {
        if (action->isSeparator() || !action->isEnabled() || action->menu()) return false;
        const std::string caption = Caption(action);
        return caption != "Help" && caption.find("...") == std::string::npos;
    }

    void PopupCommand() {
        if (!form->Sheet() || !Sheet().HasCurrent()) return Note("popup: no cell");
        Sheet().RefreshPopupMenu();
        std::vector<QAction*> items;
        for (QAction* action : Sheet().PopupMenu().actions())
            if (Playable(action)) items.push_back(action);
        if (items.empty()) return Note("popup: nothing enabled");
        QAction* item = items[size_t(Pick(int(items.size())))];
        Note("popup: " + Caption(item) + " at " + std::to_string(Sheet().CurrentColumn()) + "," +
             std::to_string(Sheet().CurrentRow()));
        item->trigger();
    }

    void EditKey() {
        static const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char* name;
        } keys[] = {{Qt::Key_C, Qt::ControlModifier, "Ctrl+C"},
                    {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
                    {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
                    {Qt::Key_Delete, Qt::NoModifier, "Delete"},
                    {Qt::Key_Insert, Qt::NoModifier, "Insert"},
                    {Qt::Key_Up, Qt::ControlModifier, "Ctrl+Up"},
                    {Qt::Key_Down, Qt::ControlModifier, "Ctrl+Down"}};
        if (!form->Sheet()) return Note("edit key: no sheet");
        const auto& key = keys[Pick(int(std::size(keys)))];
        Note(std::string("edit key ") + key.name + " at " +
             std::to_string(Sheet().CurrentColumn()) + "," + std::to_string(Sheet().CurrentRow()));
        Sheet().Grid().setFocus();
        Key(key.key, key.modifiers);
    }

    void MenuCommand() {
        static const char* const paths[] = {"View/Font Size/1   60% (Small)",
                                            "View/Font Size/2   80%",
                                            "View/Font Size/3  100% (Normal)",
                                            "View/Font Size/4  120%",
                                            "View/Font Size/5  150% (Big)",
                                            "View/Toolbar",
                                            "Clone/Back Up Before Writing",
                                            "Clone/Verify After Writing",
                                            "Option/Speed/Normal Speed",
                                            "Option/Speed/High Speed",
                                            "Option/Port/Port 2"};
        if (Chance(60)) {
            // The Edit menu: what the current cell's popup menu offers, undo and redo.
            QMenu* edit = form->EditMenu();
            emit edit->aboutToShow();
            std::vector<QAction*> items;
            for (QAction* action : edit->actions())
                if (Playable(action)) items.push_back(action);
            if (!items.empty()) {
                QAction* item = items[size_t(Pick(int(items.size())))];
                Note("menu: Edit/" + Caption(item));
                item->trigger();
                return;
            }
        }
        const std::string path = paths[Pick(int(std::size(paths)))];
        QAction* item = MenuItem(path);
        if (!item) {
            ADD_FAILURE() << "no menu item " << path;
            return;
        }
        Note("menu: " + path + (item->isEnabled() ? "" : " (disabled)"));
        if (item->isEnabled()) item->trigger();
    }

    void UndoRedo() {
        const bool redo = Chance(35);
        Note(redo ? "Ctrl+Y" : "Ctrl+Z");
        if (form->Sheet()) Sheet().Grid().setFocus();
        Key(redo ? Qt::Key_Y : Qt::Key_Z, Qt::ControlModifier);
    }

    void Find() {
        static const char* const texts[] = {"146", "A", "Link", "1", "zzz", "\u30C6", "0"};
        const std::string text = texts[Pick(int(std::size(texts)))];
        const int steps = Pick(4);
        Note("find \"" + text + "\", " + std::to_string(steps) + " more");
        if (QApplication::activePopupWidget()) { // the user closes an open pick list first
            Key(Qt::Key_Escape);
            Settle();
        }
        if (form->Sheet()) Sheet().Grid().setFocus();
        Key(Qt::Key_F, Qt::ControlModifier);
        cuiFindBar& bar = *form->FindBar();
        if (!bar.Field()->hasFocus()) {
            QWidget* focus = QApplication::focusWidget();
            ADD_FAILURE() << "Ctrl+F left the find field without the focus; it is on "
                          << (focus ? focus->metaObject()->className() : "nothing")
                          << (QApplication::activePopupWidget() ? " under a popup" : "")
                          << (QApplication::activeWindow() != form.get() ? ", window inactive" : "")
                          << ", active: "
                          << (QApplication::activeWindow()
                                  ? QApplication::activeWindow()->metaObject()->className()
                                  : "none")
                          << (form->Sheet() && Sheet().EditorOpen() ? " in the editor" : "");
            return;
        }
        Type(text);
        Key(Qt::Key_Return);
        for (int i = 0; i < steps; ++i)
            Key(Qt::Key_Return, Chance(30) ? Qt::ShiftModifier : Qt::NoModifier);
        if (Chance(70)) QTest::keyClick(bar.Field(), Qt::Key_Escape);
    }

    // The open list exported, some rows changed, dropped or repeated, and imported back by
    // Add or Overwrite.
    void ImportCsv() {
        QAction* exportItem = MenuItem("File/Export...");
        if (!exportItem || !exportItem->isEnabled()) return Note("import: no list to export");
        platform.dialogs.scriptSave(csv_);
        exportItem->trigger();
        Settle();
        std::ifstream in(csv_, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        in.close();
        std::string changes;
        for (int i = 0, n = Pick(4); i < n && lines.size() > 1; ++i) {
            const size_t at = 1 + size_t(Pick(int(lines.size()) - 1));
            switch (Pick(4)) {
            case 0: // repeated
                lines.insert(lines.begin() + long(at), lines[at]);
                changes += " repeat " + std::to_string(at);
                break;
            case 1: // dropped
                lines.erase(lines.begin() + long(at));
                changes += " drop " + std::to_string(at);
                break;
            case 2: { // a field replaced by a typed value
                std::string& line = lines[at];
                size_t comma = line.find(',');
                for (int skip = Pick(6); skip > 0 && comma != std::string::npos; --skip)
                    comma = line.find(',', comma + 1);
                const std::string value = TypedValues[Pick(int(std::size(TypedValues)))];
                if (comma != std::string::npos) line.insert(comma + 1, value);
                changes += " field " + std::to_string(at) + " \"" + value + "\"";
                break;
            }
            default: { // a row of a frequency alone
                lines.insert(lines.begin() + long(at), "," + std::to_string(140 + Pick(20)) + ".5");
                changes += " new row " + std::to_string(at);
            }
            }
        }
        std::ofstream out(csv_, std::ios::binary | std::ios::trunc);
        lastCsv_.clear();
        for (const std::string& line : lines)
            lastCsv_ += line + "\n";
        out << lastCsv_;
        out.close();
        const bool overwrite = Chance(50);
        Note(std::string("import ") + (overwrite ? "Overwrite" : "Add") + " of the export of " +
             form->OpenSheetAddress() + ":" + changes);
        QAction* importItem =
            MenuItem(overwrite ? "File/Import/Overwrite..." : "File/Import/Add...");
        if (!importItem || !importItem->isEnabled()) return;
        platform.dialogs.scriptOpen(csv_);
        importItem->trigger();
    }

    // Spreadsheet rows on the clipboard, pasted at the cursor.
    void PasteText() {
        if (!form->Sheet()) return Note("paste text: no sheet");
        std::string text;
        for (int n = 1 + Pick(3); n > 0; --n)
            text += std::string(TypedValues[Pick(int(std::size(TypedValues)))]) + "\t" +
                    TypedValues[Pick(int(std::size(TypedValues)))] + "\r\n";
        CopyElsewhere(text);
        Note("paste text \"" + text + "\" at " + std::to_string(Sheet().CurrentColumn()) + "," +
             std::to_string(Sheet().CurrentRow()));
        Sheet().Grid().setFocus();
        Key(Qt::Key_V, Qt::ControlModifier);
    }

    void Drag() {
        int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
        if (!RandomCell(c1, r1) || !RandomCell(c2, r2)) return Note("drag: no cells");
        Note("drag " + std::to_string(c1) + "," + std::to_string(r1) + " to " + std::to_string(c2) +
             "," + std::to_string(r2));
        cuiGrid& grid = Sheet().Grid();
        grid.EnsureVisible(c1, r1);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(c1, r1).center());
        grid.EnsureVisible(c2, r2);
        QTest::mouseMove(grid.viewport(), grid.CellRect(c2, r2).center());
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(c2, r2).center());
    }

    // ---- Invariants ----

    bool Fail(const std::string& what) {
        ADD_FAILURE() << what;
        return false;
    }

    bool Check(long& checks) {
        if (::testing::Test::HasFailure()) return false;
        if (!QtWarnings().empty()) return Fail("Qt: " + QtWarnings().front());
        if (const std::string fault = DocumentFault(); !fault.empty()) return Fail(fault);
        checks += 4;
        cmcOrganisation& org = Main().Organisation();
        // The tree lists what the organisation holds.
        iuiTree& tree = *form->Tree();
        if (int(tree.Categories().size()) != org.CategoryCount() ||
            int(tree.Groups().size()) != org.GroupCount() ||
            int(tree.Banks().size()) != org.BankCount())
            return Fail("the tree lists " + std::to_string(tree.Categories().size()) +
                        " categories, " + std::to_string(tree.Groups().size()) + " groups, " +
                        std::to_string(tree.Banks().size()) + " banks; the document has " +
                        std::to_string(org.CategoryCount()) + ", " +
                        std::to_string(org.GroupCount()) + ", " +
                        std::to_string(org.BankCount()));
        ++checks;

        // The open sheet's title is what the sheet would write now.
        if (form->Sheet() && Sheet().TitleLabel() && !Sheet().TitleLabel()->text().isEmpty()) {
            const std::string shown = Sheet().TitleLabel()->text().toStdString();
            const std::string now = clsTitleOf::Of(Sheet());
            if (shown != now) return Fail("the title shows \"" + shown + "\", not \"" + now + "\"");
            ++checks;
        }
        return true;
    }

    // Opens the Edit menu and clicks the item, if the menu offers it enabled.
    bool EditMenuItem(QAction* item) {
        emit form->EditMenu()->aboutToShow();
        if (!form->EditMenu()->actions().contains(item) || !item->isEnabled()) return false;
        item->trigger();
        return true;
    }

    // Undo of every step gives the document as the run began; redo of every step gives it
    // back as it is now. Through the Edit menu's items, as the user would.
    bool CheckUndoRedo(long& checks) {
        if (form->Sheet() && Sheet().EditorOpen()) Sheet().CancelEditor();
        if (cuiFlector* list = cuiFlector::Current()) list->close();
        Settle();
        cmcEeprom now;
        now.Assign(Main().Organisation().Image());
        int undone = 0;
        while (Main().UndoCommands().CanUndo() && undone < 1000) {
            if (!EditMenuItem(form->UndoItem()))
                return Fail("the Edit menu offers no Undo with steps to undo");
            ++undone;
        }
        Settle();
        if (std::memcmp(Main().Organisation().Image().Data(), start_.Data(), MapSize) != 0)
            return Fail("undoing " + std::to_string(undone) + " steps (of " +
                        std::to_string(Main().UndoCommands().History().StepCount()) + ", window " +
                        (form->isEnabled() ? "enabled" : "disabled") + ") leaves the image at " +
                        FirstDifference(Main().Organisation().Image(), start_));
        if (!Check(checks)) return false;
        int redone = 0;
        while (Main().UndoCommands().CanRedo() && redone < undone) {
            if (!EditMenuItem(form->RedoItem()))
                return Fail("the Edit menu offers no Redo with steps to redo");
            ++redone;
        }
        Settle();
        if (redone != undone)
            return Fail(std::to_string(undone) + " steps undone, only " + std::to_string(redone) +
                        " can be redone");
        if (std::memcmp(Main().Organisation().Image().Data(), now.Data(), MapSize) != 0)
            return Fail("redoing " + std::to_string(redone) + " steps leaves the image at " +
                        FirstDifference(Main().Organisation().Image(), now));
        Note("(undo and redo of " + std::to_string(undone) + " steps checked)");
        ++checks;
        return Check(checks);
    }

    std::mt19937 random_;
    std::vector<std::string> log_;
    cmcEeprom start_;
    std::string csv_;
    std::string lastCsv_;
};

TEST(Soak, RandomUserActions) {
    SoakWindow::SetUpTestSuite();
    qInstallMessageHandler(RecordQtMessage);
    for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL})
        std::signal(signal, OnFatalSignal);
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(ReportDeath);
    const long replay = EnvNumber("SOAK_SEED", -1);
    const long limit = EnvNumber("SOAK_ACTIONS", 0);
    const long runLength = std::max(1L, EnvNumber("SOAK_RUN", 150));
    uint32_t seed = replay >= 0
                        ? uint32_t(replay)
                        : uint32_t(std::chrono::steady_clock::now().time_since_epoch().count());
    long actions = 0, checks = 0, runs = 0;
    std::cout << "soak: seeds from " << seed << std::endl;
    const auto began = std::chrono::steady_clock::now();
    for (;;) {
        const long count = limit > 0 ? std::min(runLength, limit - actions) : runLength;
        if (count <= 0) break;
        SoakWindow window;
        const bool ok = window.Run(seed, count, actions, checks);
        ++runs;
        if (!ok || replay >= 0) break;
        ++seed;
        if (runs % 10 == 0)
            std::cout << "soak: " << actions << " actions, " << checks << " checks, " << runs
                      << " runs" << std::endl;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::cout << "soak: " << actions << " actions in " << runs << " runs, " << checks
              << " invariant checks, " << seconds << " s" << std::endl;
    qInstallMessageHandler(nullptr);
}

} // namespace
