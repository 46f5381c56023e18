#pragma once

// The navigation tree: nodes built from a catalogue body (one line a node, its depth the
// blanks before the first "+", the rest a cell whose text is the caption, whose image
// index is the icon and whose binding says what the node does), acted on as the cell logic
// says when the user selects a node. iuiTree adds the receiver's data: the branches of the
// categories, groups and basic-search banks, kept in step with the document, their stable
// numbers, and the error and warning marks of the sheets behind the nodes.

#include "sheet/cmcCellObj.h"

#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class cmcEvMan;
class cmcGTex;
class cmcOrganisation;
struct cmcEvent;

class cuiTree : public QTreeWidget {
  public:
    // Overlays of a node's icon.
    static constexpr int NoOverlay = -1;
    static constexpr int ErrorOverlay = 0;
    static constexpr int WarningOverlay = 1;
    // The data role of a node's tree image.
    static constexpr int ImageRole = Qt::UserRole + 2;

    // The icon of a tree image with an overlay.
    using Images = std::function<QIcon(int image, int overlay)>;

    cuiTree(cmcGTex& catalogue, std::string name, Images images, QWidget* parent);
    ~cuiTree() override;

    // Adds the body's nodes at the top level.
    void Build();
    // The first node, in tree order, whose address (the cell's key text) is this one.
    QTreeWidgetItem* FindNode(const std::string& address) const;
    std::string AddressOf(const QTreeWidgetItem* node) const;
    // The caption the catalogue gives the node, before any name replaced it.
    std::string OwnCaptionOf(const QTreeWidgetItem* node) const;
    // The address of every node that opens a sheet, in tree order.
    std::vector<std::string> SheetAddresses() const;
    // Acts on the selected node as Enter does; false when nothing is selected.
    bool ActOnSelection();
    // The address of the sheet on show, so that selecting its node again does nothing.
    void SetOpenAddress(std::function<std::string()> openAddress) {
        openAddress_ = std::move(openAddress);
    }
    // How long a new selection rests before its sheet opens, so that moving through the
    // tree by keys does not open every sheet on the way.
    void SetChangeDelay(int milliseconds) {
        selectionDelay_.setInterval(std::max(milliseconds, 0));
    }
    void SetOverlay(QTreeWidgetItem* node, int overlay);
    int OverlayOf(const QTreeWidgetItem* node) const;

  protected:
    // Adds the nodes of body lines from start under parent (none: the top level), before
    // a sibling when given; the first line's caption may be replaced. Returns the line
    // after the last one used.
    int AddNodes(const std::string& key, int start, QTreeWidgetItem* parent,
                 QTreeWidgetItem* before = nullptr, const std::string& caption = {});
    // One node from a line's text after its "+".
    QTreeWidgetItem* CreateNode(const std::string& text, QTreeWidgetItem* parent,
                                QTreeWidgetItem* before, const std::string& caption);
    void DeleteNode(QTreeWidgetItem* node);
    void ActOn(QTreeWidgetItem* node);
    // Run when a node is expanded or collapsed.
    virtual void ExpansionChanged() {}

    void keyPressEvent(QKeyEvent* event) override;

    cmcGTex& catalogue_;
    std::string name_;

  private:
    void Forget(QTreeWidgetItem* node);
    void Refresh(QTreeWidgetItem* node);
    const QIcon& IconOf(int image, int overlay);

    Images images_;
    // One icon for each image and overlay, shared by the nodes that show it, so a rebuilt
    // tree draws each icon once and not once for every node.
    std::map<std::pair<int, int>, QIcon> icons_;
    cmcCellObj basicCell_;
    std::map<const QTreeWidgetItem*, std::unique_ptr<cmcCellObj>> cells_;
    std::function<std::string()> openAddress_;
    QTimer selectionDelay_;
};

class iuiTree : public cuiTree {
  public:
    iuiTree(cmcGTex& catalogue, cmcEvMan& events, cmcOrganisation& organisation, Images images,
            QWidget* parent);
    ~iuiTree() override;

    // The position of a record in its list from the number in its address; kind 'C'
    // category, 'G' group, 'B' bank. A number no branch has is its own position.
    int PositionOf(char kind, int number) const;
    // The error and warning marks of every sheet behind a node; the counts found.
    void WarningCheck(int& errors, int& warnings);
    const std::vector<int>& Categories() const { return categories_; }
    const std::vector<int>& Groups() const { return groups_; }
    const std::vector<int>& Banks() const { return banks_; }

  protected:
    void ExpansionChanged() override;

  private:
    enum Kind { CategoryKind, GroupKind, BankKind };
    static void OnEvent(void* context, const cmcEvent& event);
    void HandleEvent(const cmcEvent& event);
    void RebuildBranches();
    bool AddBranches(Kind kind, int first, int count, QTreeWidgetItem* parent,
                     QTreeWidgetItem* before);
    void CategoryInserted(int position);
    void CategoriesDeleted(int first, int count);
    void GroupInserted(int position);
    void GroupsDeleted(int first, int count);
    void BankInserted(int position);
    void BankDeleted(int position);
    void PostName(int event, int position);
    void SetCaption(int event, int position, const std::string& caption);
    std::vector<int>& ListOf(Kind kind);
    QTreeWidgetItem* NodeOf(Kind kind, int position) const;
    QTreeWidgetItem* TopNode(const std::string& address) const;
    std::string NameOf(Kind kind, int position) const;
    void MarkAddresses(const std::vector<std::string>& addresses, int overlay);

    cmcEvMan& events_;
    cmcOrganisation& organisation_;
    std::vector<int> categories_;
    std::vector<int> groups_;
    std::vector<int> banks_;
};
