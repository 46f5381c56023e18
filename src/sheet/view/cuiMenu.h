#pragma once

// A menu built from a catalogue body: one item per line, its depth the blanks before the
// first "+", the rest a cell whose text is the caption ("&" marks the access key, "-"
// alone a separator), whose key text is the shortcut and whose binding is the command.
// The cell logic decides each item's state (checked, hidden, disabled, relabelled) every
// time the states are refreshed.

#include "sheet/cmcCellCapsule.h"
#include "sheet/cmcCellObj.h"

#include <QKeySequence>
#include <QList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;
class cmcGTex;

class cuiMenu {
  public:
    // Runs a chosen item: its cell.
    using ClickHandler = std::function<void(const cmcCellObj& item)>;
    // The capsule of the cell the menu acts on, for the item states; none for none.
    using ActedOnCell = std::function<cmcCellCapsule*()>;

    // The root is a popup menu or a menu bar.
    cuiMenu(QWidget& root, cmcGTex& catalogue, std::string menuName, ClickHandler onClick,
            ActedOnCell actedOn);
    ~cuiMenu();
    cuiMenu(const cuiMenu&) = delete;
    cuiMenu& operator=(const cuiMenu&) = delete;

    // Gives every item without an access key one of its own letters, or an appended
    // "(&X)" where it has none to give, unique within its menu; the reserved letters are
    // left to items the menu shares its root with (Undo and Redo). Before Build.
    void SetAutomaticAccessKeys(const QString& reserved);
    // Removes everything under the root and adds the body's items.
    void Build();
    // Asks the logic for every item's state.
    void RefreshStates();

    const std::string& Name() const { return name_; }
    // Every item with its cell, separators included.
    const std::vector<QAction*>& Actions() const { return actions_; }
    const cmcCellObj& CellOf(size_t item) const { return *cells_[item]; }
    // The item whose cell has the logic id, or none.
    QAction* FindItem(int logicId) const;
    // The items with a command (no separators, no sub-menus), in body order.
    const QList<QAction*>& Commands() const { return commands_; }

  private:
    int AddLevel(QWidget& parent, int line);
    QAction* AddItem(QWidget& parent, const std::string& text);
    void Clear();
    void AssignAccessKeys();
    QString Shown(size_t item, const std::string& caption) const;

    QWidget& root_;
    cmcGTex& catalogue_;
    std::string name_;
    ClickHandler onClick_;
    ActedOnCell actedOn_;
    cmcCellObj basicCell_;
    std::vector<std::unique_ptr<cmcCellObj>> cells_;
    std::vector<std::string> captions_; // the catalogue's caption of each item
    std::vector<QAction*> actions_;     // one per cell
    QList<QAction*> commands_;
    bool automaticKeys_ = false;
    QString reservedKeys_;
    std::vector<QChar> keys_; // the access key given to each item; null when none
};

// The shortcuts of a catalogue key text ("Ctrl+N", "Del", "Ins", "Ctrl+Up", "Enter", "F1"):
// "Enter" stands for both Enter keys.
QList<QKeySequence> cuiShortcuts(const std::string& keyText);
// The caption with "&" access keys kept as the catalogue has them.
QString cuiCaption(const std::string& text);
