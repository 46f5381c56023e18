#include "sheet/view/cuiTree.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcNameText.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "sheet/cmcCellCapsule.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>

namespace {

constexpr int OverlayRole = Qt::UserRole + 1;
constexpr int Links = 10;

int DepthOf(const std::string& line) {
    const size_t plus = line.find('+');
    return plus == std::string::npos ? -1 : static_cast<int>(plus);
}

bool EndOfBody(const std::string& line) {
    return !line.empty() && line.front() == '#';
}

// A branch template with its number: "%%" gives "%", "%d" the number.
std::string Formatted(const std::string& line, int number) {
    std::array<char, 512> buffer{};
    std::snprintf(buffer.data(), buffer.size(), line.c_str(), number);
    return buffer.data();
}

// The binding part of an address: the text after its comma.
std::string BindingOf(const std::string& address) {
    const size_t comma = address.find(',');
    return comma == std::string::npos ? std::string() : address.substr(comma + 1);
}

// The catalogue keys of the branch templates, the address of the node they hang under, the
// most branches of a kind and the binding word of their addresses.
struct clsBranchKind {
    const char* templateKey;
    int limit;
    const char* binding;
};
constexpr clsBranchKind BranchKinds[] = {
    {"GI_Tree_Branch_CategoryOperation", cmcOrganisation::MaxCategories, "Category "},
    {"GI_Tree_Branch_GroupOperation", cmcOrganisation::MaxGroups, "Group "},
    {"GI_Tree_Branch_BasicOperation", cmcOrganisation::MaxBanks, "Basic "},
};
const char* const MemoryAddress = "[St_ChNew]GI_Sheet_CategoryOp,CategoryOp";
const char* const BasicAddress = "[St_ChNew]GI_Sheet_BasicOp,BasicOp";

} // namespace

// ---- cuiTree ----

cuiTree::cuiTree(cmcGTex& catalogue, std::string name, Images images, QWidget* parent)
    : QTreeWidget(parent), catalogue_(catalogue), name_(std::move(name)),
      images_(std::move(images)) {
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameShape(QFrame::NoFrame);
    header()->setStretchLastSection(true);
    cmcLayout::ParseCell(catalogue_, catalogue_.GetLine(name_ + "_BasicCell", 0), basicCell_,
                         nullptr, nullptr);
    if (basicCell_.font) setFont(cuiFont(*basicCell_.font));
    int delay = 200;
    if (catalogue_.HasKey("GI_Sys_TreeChangeDelay"))
        cmcLayout::ReadNumber(catalogue_.GetLine("GI_Sys_TreeChangeDelay", 0), delay);
    selectionDelay_.setSingleShot(true);
    SetChangeDelay(delay);
    connect(&selectionDelay_, &QTimer::timeout, this, [this] {
        QTreeWidgetItem* node = currentItem();
        if (!node) return;
        if (openAddress_ && openAddress_() == AddressOf(node)) return;
        ActOn(node);
    });
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { selectionDelay_.start(); });
    connect(this, &QTreeWidget::itemExpanded, this, [this] { ExpansionChanged(); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this] { ExpansionChanged(); });
}

cuiTree::~cuiTree() {
    selectionDelay_.stop();
}

void cuiTree::Build() {
    AddNodes(name_ + "_Body", 0, nullptr);
    if (QTreeWidgetItem* first = topLevelItem(0)) first->setExpanded(true);
}

int cuiTree::AddNodes(const std::string& key, int start, QTreeWidgetItem* parent,
                      QTreeWidgetItem* before, const std::string& caption) {
    std::string line = catalogue_.GetLine(key, start);
    if (EndOfBody(line)) return start;
    const int level = DepthOf(line);
    QTreeWidgetItem* last = nullptr;
    int n = start;
    while (!EndOfBody(line)) {
        const int depth = DepthOf(line);
        if (depth < level) break;
        if (depth > level && last) {
            n = AddNodes(key, n, last);
        } else {
            if (depth >= 0)
                last = CreateNode(line.substr(size_t(depth) + 1), parent, before,
                                  n == start ? caption : std::string());
            ++n;
        }
        line = catalogue_.GetLine(key, n);
    }
    return n;
}

QTreeWidgetItem* cuiTree::CreateNode(const std::string& text, QTreeWidgetItem* parent,
                                     QTreeWidgetItem* before, const std::string& caption) {
    auto cell = std::make_unique<cmcCellObj>();
    cmcLayout::ParseCell(catalogue_, text, *cell, &basicCell_, nullptr);
    auto* node = new QTreeWidgetItem();
    const bool named = !caption.empty() && caption != "0";
    node->setText(0, QString::fromStdString(named ? caption : cell->templateText));
    node->setData(0, ImageRole, cell->imageIndex);
    node->setData(0, OverlayRole, NoOverlay);
    QTreeWidgetItem* holder = parent ? parent : invisibleRootItem();
    const int at = before ? holder->indexOfChild(before) : -1;
    if (at >= 0)
        holder->insertChild(at, node);
    else
        holder->addChild(node);
    cells_[node] = std::move(cell);
    Refresh(node);
    return node;
}

void cuiTree::Forget(QTreeWidgetItem* node) {
    for (int i = 0; i < node->childCount(); ++i)
        Forget(node->child(i));
    cells_.erase(node);
}

void cuiTree::DeleteNode(QTreeWidgetItem* node) {
    if (!node) return;
    Forget(node);
    delete node;
}

void cuiTree::Refresh(QTreeWidgetItem* node) {
    if (images_) node->setIcon(0, IconOf(node->data(0, ImageRole).toInt(), OverlayOf(node)));
}

const QIcon& cuiTree::IconOf(int image, int overlay) {
    const auto key = std::make_pair(image, overlay);
    auto found = icons_.find(key);
    if (found == icons_.end()) found = icons_.emplace(key, images_(image, overlay)).first;
    return found->second;
}

QTreeWidgetItem* cuiTree::FindNode(const std::string& address) const {
    for (QTreeWidgetItemIterator it(const_cast<cuiTree*>(this)); *it; ++it)
        if (AddressOf(*it) == address) return *it;
    return nullptr;
}

std::string cuiTree::AddressOf(const QTreeWidgetItem* node) const {
    const auto found = cells_.find(node);
    if (found == cells_.end() || found->second->logicId != CallSheet) return {};
    return found->second->keyText;
}

std::string cuiTree::OwnCaptionOf(const QTreeWidgetItem* node) const {
    const auto found = cells_.find(node);
    return found == cells_.end() ? std::string() : found->second->templateText;
}

std::vector<std::string> cuiTree::SheetAddresses() const {
    std::vector<std::string> addresses;
    for (QTreeWidgetItemIterator it(const_cast<cuiTree*>(this)); *it; ++it)
        if (std::string address = AddressOf(*it); !address.empty())
            addresses.push_back(std::move(address));
    return addresses;
}

void cuiTree::SetOverlay(QTreeWidgetItem* node, int overlay) {
    if (OverlayOf(node) == overlay) return;
    node->setData(0, OverlayRole, overlay);
    // The overlay's meaning for assistive technology: lines 1 and 2 of the names.
    const int line = overlay == WarningOverlay ? 1 : overlay == ErrorOverlay ? 2 : 0;
    node->setData(0, Qt::AccessibleDescriptionRole,
                  line ? QString::fromStdString(catalogue_.GetLine("GI_Access_Names", line))
                       : QString());
    Refresh(node);
}

int cuiTree::OverlayOf(const QTreeWidgetItem* node) const {
    return node->data(0, OverlayRole).toInt();
}

void cuiTree::ActOn(QTreeWidgetItem* node) {
    const auto found = cells_.find(node);
    if (found == cells_.end() || !cmcCellLogic::IsInstalled()) return;
    cmcCellObj cell = *found->second;
    cmcCellLogic::QueryValue(cell, 13); // Enter on the node
}

bool cuiTree::ActOnSelection() {
    QTreeWidgetItem* node = currentItem();
    if (!node) return false;
    selectionDelay_.stop();
    ActOn(node);
    return true;
}

void cuiTree::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ActOnSelection();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

// ---- iuiTree ----

iuiTree::iuiTree(cmcGTex& catalogue, cmcEvMan& events, cmcOrganisation& organisation, Images images,
                 QWidget* parent)
    : cuiTree(catalogue, "GI_Tree_Main", std::move(images), parent), events_(events),
      organisation_(organisation) {
    events_.Subscribe(&iuiTree::OnEvent, this);
}

iuiTree::~iuiTree() {
    events_.Unsubscribe(&iuiTree::OnEvent, this);
}

void iuiTree::OnEvent(void* context, const cmcEvent& event) {
    static_cast<iuiTree*>(context)->HandleEvent(event);
}

void iuiTree::HandleEvent(const cmcEvent& event) {
    switch (event.code) {
    case ev::RebuildBranches:
        return RebuildBranches();
    case ev::CategoryInserted:
        return CategoryInserted(event.b);
    case ev::CategoriesDeleted:
        return CategoriesDeleted(int(event.a), event.b);
    case ev::GroupInserted:
        return GroupInserted(event.b);
    case ev::GroupsDeleted:
        return GroupsDeleted(int(event.a), event.b);
    case ev::BankInserted:
        return BankInserted(event.b);
    case ev::BankDeleted:
        return BankDeleted(event.b);
    case ev::CategoryRenamed:
        return PostName(ev::CategoryCaption, event.b);
    case ev::GroupRenamed:
        return PostName(ev::GroupCaption, event.b);
    case ev::BankRenamed:
        return PostName(ev::BankCaption, event.b);
    case ev::LinkRenamed:
        return PostName(ev::LinkCaption, event.b);
    case ev::CategoryCaption:
    case ev::GroupCaption:
    case ev::BankCaption:
    case ev::LinkCaption:
        return SetCaption(event.code, event.b, event.Text());
    case ev::DataChanged: {
        int errors = 0, warnings = 0;
        return WarningCheck(errors, warnings);
    }
    default:
        return;
    }
}

std::vector<int>& iuiTree::ListOf(Kind kind) {
    return kind == CategoryKind ? categories_ : kind == GroupKind ? groups_ : banks_;
}

int iuiTree::PositionOf(char kind, int number) const {
    const std::vector<int>& list = kind == 'C' ? categories_ : kind == 'G' ? groups_ : banks_;
    const auto found = std::find(list.begin(), list.end(), number);
    return found == list.end() ? number : static_cast<int>(found - list.begin());
}

std::string iuiTree::NameOf(Kind kind, int position) const {
    const cmcEeprom& image = organisation_.Image();
    switch (kind) {
    case CategoryKind:
        return cmcNameFieldText(datLookup::CategoryName(image, position), true);
    case GroupKind:
        return cmcNameFieldText(datLookup::GroupName(image, position), true);
    case BankKind:
        return cmcNameFieldText(datLookup::BankName(image, position), true);
    }
    return {};
}

QTreeWidgetItem* iuiTree::TopNode(const std::string& address) const {
    return FindNode(address);
}

QTreeWidgetItem* iuiTree::NodeOf(Kind kind, int position) const {
    const std::vector<int>& list = const_cast<iuiTree*>(this)->ListOf(kind);
    if (position < 0 || position >= static_cast<int>(list.size())) return nullptr;
    const std::string binding = BranchKinds[kind].binding + std::to_string(list[size_t(position)]);
    for (QTreeWidgetItemIterator it(const_cast<iuiTree*>(this)); *it; ++it)
        if (BindingOf(AddressOf(*it)) == binding) return *it;
    return nullptr;
}

bool iuiTree::AddBranches(Kind kind, int first, int count, QTreeWidgetItem* parent,
                          QTreeWidgetItem* before) {
    const clsBranchKind& branch = BranchKinds[kind];
    std::vector<int>& list = ListOf(kind);
    std::vector<bool> used(size_t(branch.limit), false);
    for (int number : list)
        if (number >= 0 && number < branch.limit) used[size_t(number)] = true;
    for (int i = 0; i < count; ++i) {
        const int record = first + i;
        const auto free = std::find(used.begin(), used.end(), false);
        if (free == used.end()) return false;
        *free = true;
        const int number = static_cast<int>(free - used.begin());
        const std::string line = Formatted(catalogue_.GetLine(branch.templateKey, 0), number);
        const int depth = std::max(DepthOf(line), 0);
        QTreeWidgetItem* node =
            CreateNode(line.substr(size_t(depth) + 1), parent, before, NameOf(kind, record));
        list.insert(list.begin() + std::clamp(record, 0, static_cast<int>(list.size())), number);
        if (kind == CategoryKind)
            AddBranches(GroupKind, organisation_.FirstGroupOfCategory(record),
                        organisation_.GroupsOfCategory(record), node, nullptr);
        if (kind == BankKind)
            for (int child = 1; child <= 2; ++child) {
                const std::string sub =
                    Formatted(catalogue_.GetLine(branch.templateKey, child), number);
                CreateNode(sub.substr(size_t(std::max(DepthOf(sub), 0)) + 1), node, nullptr, {});
            }
    }
    return true;
}

void iuiTree::RebuildBranches() {
    QTreeWidgetItem* memory = TopNode(MemoryAddress);
    QTreeWidgetItem* basic = TopNode(BasicAddress);
    const std::string selected = currentItem() ? AddressOf(currentItem()) : std::string();
    const QSignalBlocker quiet(this);
    for (QTreeWidgetItem* holder : {memory, basic})
        while (holder && holder->childCount() > 0)
            DeleteNode(holder->child(0));
    categories_.clear();
    groups_.clear();
    banks_.clear();
    if (memory) AddBranches(CategoryKind, 0, organisation_.CategoryCount(), memory, nullptr);
    if (basic) AddBranches(BankKind, 0, organisation_.BankCount(), basic, nullptr);
    for (int link = 0; link < Links; ++link)
        events_.PostText(ev::LinkCaption, 0, link,
                         cmcNameFieldText(datLookup::LinkName(organisation_.Image(), link), true));
    // The selection stays on the same address when it still exists.
    if (QTreeWidgetItem* again = selected.empty() ? nullptr : FindNode(selected))
        setCurrentItem(again);
    else if (!currentItem() && topLevelItem(0))
        setCurrentItem(topLevelItem(0));
}

void iuiTree::CategoryInserted(int position) {
    QTreeWidgetItem* memory = TopNode(MemoryAddress);
    if (!memory) return;
    QTreeWidgetItem* before =
        position < static_cast<int>(categories_.size()) ? NodeOf(CategoryKind, position) : nullptr;
    AddBranches(CategoryKind, position, 1, memory, before);
}

void iuiTree::CategoriesDeleted(int first, int count) {
    QTreeWidgetItem* memory = TopNode(MemoryAddress);
    for (int i = 0; i < count && memory; ++i) {
        QTreeWidgetItem* node = NodeOf(CategoryKind, first);
        if (!node) break;
        // The category's groups stand in the group list after those of the categories above.
        int groupStart = 0;
        for (int c = 0; c < memory->indexOfChild(node); ++c)
            groupStart += memory->child(c)->childCount();
        const int groups = std::min(node->childCount(), int(groups_.size()) - groupStart);
        groups_.erase(groups_.begin() + groupStart, groups_.begin() + groupStart + groups);
        categories_.erase(categories_.begin() + first);
        DeleteNode(node);
        events_.Send(ev::SheetTitle);
    }
}

void iuiTree::GroupInserted(int position) {
    const int category = organisation_.CategoryOfGroup(position);
    QTreeWidgetItem* parent = NodeOf(CategoryKind, category);
    if (!parent) return;
    const bool inside = position < organisation_.LastGroupOfCategory(category) &&
                        position < static_cast<int>(groups_.size());
    AddBranches(GroupKind, position, 1, parent, inside ? NodeOf(GroupKind, position) : nullptr);
}

void iuiTree::GroupsDeleted(int first, int count) {
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* node = NodeOf(GroupKind, first);
        if (!node) break;
        DeleteNode(node);
        groups_.erase(groups_.begin() + first);
    }
}

void iuiTree::BankInserted(int position) {
    QTreeWidgetItem* basic = TopNode(BasicAddress);
    if (!basic) return;
    QTreeWidgetItem* before =
        position < static_cast<int>(banks_.size()) ? NodeOf(BankKind, position) : nullptr;
    AddBranches(BankKind, position, 1, basic, before);
}

void iuiTree::BankDeleted(int position) {
    QTreeWidgetItem* node = NodeOf(BankKind, position);
    if (!node) return;
    DeleteNode(node);
    banks_.erase(banks_.begin() + position);
}

void iuiTree::PostName(int event, int position) {
    std::string name;
    const cmcEeprom& image = organisation_.Image();
    if (event == ev::CategoryCaption) name = NameOf(CategoryKind, position);
    if (event == ev::GroupCaption) name = NameOf(GroupKind, position);
    if (event == ev::BankCaption) name = NameOf(BankKind, position);
    if (event == ev::LinkCaption)
        name = cmcNameFieldText(datLookup::LinkName(image, position), true);
    events_.PostText(event, 0, position, name);
}

void iuiTree::SetCaption(int event, int position, const std::string& caption) {
    std::string binding;
    const auto numberAt = [position](const std::vector<int>& list) {
        return position >= 0 && position < static_cast<int>(list.size())
                   ? std::to_string(list[size_t(position)])
                   : std::string();
    };
    if (event == ev::CategoryCaption) binding = "Category " + numberAt(categories_);
    if (event == ev::GroupCaption) binding = "Group " + numberAt(groups_);
    if (event == ev::BankCaption) binding = "Basic " + numberAt(banks_);
    if (event == ev::LinkCaption) binding = "ScanLink " + std::to_string(position);
    // "0" means no caption at all; a blank name brings back the node's own caption.
    if (caption == "0") return;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if (BindingOf(AddressOf(*it)) != binding) continue;
        (*it)->setText(0, QString::fromStdString(caption.empty() ? OwnCaptionOf(*it) : caption));
        return;
    }
}

void iuiTree::ExpansionChanged() {
    int errors = 0, warnings = 0;
    WarningCheck(errors, warnings);
}

void iuiTree::WarningCheck(int& errors, int& warnings) {
    errors = warnings = 0;
    if (!cmcCellLogic::IsInstalled()) return;
    std::vector<std::string> errorList, warningList;
    cmcCellObj cell;
    indActiveCell context;
    const auto evaluate = [&](const std::string& line, int index, bool setIndex) {
        cmcLayout::ParseCell(catalogue_, line, cell, nullptr, nullptr);
        if (setIndex) cell.index = index;
        cmcCellCapsule capsule;
        capsule.owner = this;
        capsule.cell = &cell;
        cmcCellLogic::Run(context, capsule, false);
        if (capsule.stateFlags & cmcCellCapsule::ErrorMark) {
            errorList.push_back(cell.keyText);
            ++errors;
        } else if (capsule.stateFlags & cmcCellCapsule::WarningMark) {
            warningList.push_back(cell.keyText);
            ++warnings;
        }
    };
    for (int n = 0;; ++n) {
        const std::string line = catalogue_.GetLine("GI_WarningCheckList", n);
        if (line.empty() || line.front() == '#') break;
        evaluate(line, 0, false);
    }
    for (size_t i = 0; i < groups_.size(); ++i)
        evaluate(
            Formatted("{(%%CL_Check_MemoryCH:[St_CNBank]GI_Sheet_MemoryCH,Group %d)}", groups_[i]),
            int(i), true);
    for (size_t j = 0; j < banks_.size(); ++j) {
        evaluate(Formatted("{(%%CL_Check_BasicCH:[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH %d)}",
                           banks_[j]),
                 int(j), true);
        evaluate(Formatted("{(%%CL_Check_BasicPG:[St_ChNew]GI_Sheet_BasicPGSrch,BasicPG %d)}",
                           banks_[j]),
                 int(j), true);
    }
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        SetOverlay(*it, NoOverlay);
    MarkAddresses(warningList, WarningOverlay);
    MarkAddresses(errorList, ErrorOverlay);
}

// Marks the nodes of the addresses, and each collapsed node above them.
void iuiTree::MarkAddresses(const std::vector<std::string>& addresses, int overlay) {
    if (addresses.empty()) return;
    const std::set<std::string> wanted(addresses.begin(), addresses.end());
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if (!wanted.count(AddressOf(*it))) continue;
        SetOverlay(*it, overlay);
        for (QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            if (!up->isExpanded()) SetOverlay(up, overlay);
    }
}
