#include "sheet/view/cuiMenu.h"

#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace {

// The depth of a body line: the bytes before its first "+"; -1 when it has none.
int DepthOf(const std::string& line) {
    const size_t plus = line.find('+');
    return plus == std::string::npos ? -1 : static_cast<int>(plus);
}

bool EndOfBody(const std::string& line) {
    return !line.empty() && line.front() == '#';
}

// The access key a caption carries ("&Copy": C), or null.
QChar AccessKeyOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toUpper();
        ++i;
    }
    return {};
}

bool CanBeAccessKey(QChar ch) {
    return ch.unicode() < 0x80 && ch.isLetterOrNumber();
}

// The caption with its access key marked: at the key's first letter, else appended.
QString WithAccessKey(const QString& caption, QChar key) {
    if (key.isNull() || !AccessKeyOf(caption).isNull()) return caption;
    for (qsizetype i = 0; i < caption.size(); ++i)
        if (caption[i].toUpper() == key) return caption.left(i) + QLatin1Char('&') + caption.mid(i);
    const qsizetype dots =
        caption.endsWith(QLatin1String("...")) ? caption.size() - 3 : caption.size();
    return caption.left(dots) + QStringLiteral("(&") + key + QLatin1Char(')') + caption.mid(dots);
}

} // namespace

QList<QKeySequence> cuiShortcuts(const std::string& keyText) {
    if (keyText.empty()) return {};
    if (keyText == "Enter") return {QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)};
    const QKeySequence sequence(QString::fromStdString(keyText));
    if (sequence.isEmpty()) return {};
    return {sequence};
}

QString cuiCaption(const std::string& text) {
    return QString::fromStdString(text);
}

cuiMenu::cuiMenu(QWidget& root, cmcGTex& catalogue, std::string menuName, ClickHandler onClick,
                 ActedOnCell actedOn)
    : root_(root), catalogue_(catalogue), name_(std::move(menuName)), onClick_(std::move(onClick)),
      actedOn_(std::move(actedOn)) {}

cuiMenu::~cuiMenu() {
    Clear();
}

// Takes the menu's own items out of the root; items mirrored from elsewhere stay theirs.
void cuiMenu::Clear() {
    // Sub-items come after their item: going backwards, a sub-menu is empty when it goes.
    for (auto it = actions_.rbegin(); it != actions_.rend(); ++it) {
        QMenu* sub = (*it)->menu();
        delete *it;
        delete sub;
    }
    actions_.clear();
}

QAction* cuiMenu::FindItem(int logicId) const {
    for (size_t i = 0; i < cells_.size(); ++i)
        if (cells_[i]->logicId == logicId && !actions_[i]->isSeparator()) return actions_[i];
    return nullptr;
}

void cuiMenu::SetAutomaticAccessKeys(const QString& reserved) {
    automaticKeys_ = true;
    reservedKeys_ = reserved.toUpper();
}

void cuiMenu::Build() {
    Clear();
    cells_.clear();
    captions_.clear();
    actions_.clear();
    commands_.clear();
    cmcLayout::ParseCell(catalogue_, catalogue_.GetLine(name_ + "_BasicCell", 0), basicCell_,
                         nullptr, nullptr);
    AddLevel(root_, 0);
    keys_.assign(actions_.size(), QChar());
    if (automaticKeys_) AssignAccessKeys();
}

// Per menu level: the keys the captions bring first; then, captions with the fewest
// letters choosing first, each other item takes the initial of one of its words, else any
// of its letters, else a letter of the alphabet appended, whichever is still free.
void cuiMenu::AssignAccessKeys() {
    std::vector<QObject*> levels;
    for (QAction* action : actions_)
        if (std::find(levels.begin(), levels.end(), action->parent()) == levels.end())
            levels.push_back(action->parent());
    const auto letters = [](const QString& caption) {
        return std::count_if(caption.begin(), caption.end(), CanBeAccessKey);
    };
    for (QObject* level : levels) {
        std::vector<size_t> items;
        QString used = reservedKeys_;
        for (size_t i = 0; i < actions_.size(); ++i) {
            if (actions_[i]->parent() != level || actions_[i]->isSeparator()) continue;
            const QChar own = AccessKeyOf(cuiCaption(captions_[i]));
            if (own.isNull())
                items.push_back(i);
            else
                used += own;
        }
        std::stable_sort(items.begin(), items.end(), [&](size_t a, size_t b) {
            return letters(cuiCaption(captions_[a])) < letters(cuiCaption(captions_[b]));
        });
        for (size_t i : items) {
            const QString caption = cuiCaption(captions_[i]);
            QString initials;
            for (qsizetype c = 0; c < caption.size(); ++c)
                if (c == 0 || !caption[c - 1].isLetterOrNumber()) initials += caption[c];
            for (const QString& candidates :
                 {initials, caption, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")}) {
                for (QChar ch : candidates)
                    if (CanBeAccessKey(ch) && !used.contains(ch.toUpper())) {
                        keys_[i] = ch.toUpper();
                        break;
                    }
                if (!keys_[i].isNull()) break;
            }
            if (keys_[i].isNull()) continue;
            used += keys_[i];
            actions_[i]->setText(Shown(i, captions_[i]));
        }
    }
}

QString cuiMenu::Shown(size_t item, const std::string& caption) const {
    return WithAccessKey(cuiCaption(caption), item < keys_.size() ? keys_[item] : QChar());
}

// Adds the items of one level, starting at a line; returns the first line not consumed.
int cuiMenu::AddLevel(QWidget& parent, int line) {
    const std::string key = name_ + "_Body";
    std::string text = catalogue_.GetLine(key, line);
    if (EndOfBody(text)) return line;
    const int level = DepthOf(text);
    QAction* last = nullptr;
    while (!EndOfBody(text)) {
        const int depth = DepthOf(text);
        if (depth < level) break;
        if (depth > level && last) {
            auto* sub = new QMenu(&parent);
            last->setMenu(sub);
            commands_.removeOne(last);
            QObject::connect(sub, &QMenu::aboutToShow, sub, [this] { RefreshStates(); });
            line = AddLevel(*sub, line);
        } else {
            last =
                depth < 0 ? nullptr : AddItem(parent, text.substr(static_cast<size_t>(depth) + 1));
            ++line;
        }
        text = catalogue_.GetLine(key, line);
    }
    return line;
}

QAction* cuiMenu::AddItem(QWidget& parent, const std::string& text) {
    auto cell = std::make_unique<cmcCellObj>();
    cmcLayout::ParseCell(catalogue_, text, *cell, &basicCell_, nullptr);
    auto* action = new QAction(&parent);
    parent.addAction(action);
    if (cell->templateText == "-") {
        action->setSeparator(true);
    } else {
        action->setText(cuiCaption(cell->templateText));
        action->setShortcuts(cuiShortcuts(cell->keyText));
        const cmcCellObj* item = cell.get();
        QObject::connect(action, &QAction::triggered, action, [this, item] {
            if (onClick_) onClick_(*item);
        });
        commands_.append(action);
    }
    captions_.push_back(cell->templateText);
    cells_.push_back(std::move(cell));
    actions_.push_back(action);
    return action;
}

void cuiMenu::RefreshStates() {
    cmcCellCapsule* acted = actedOn_ ? actedOn_() : nullptr;
    for (size_t i = 0; i < cells_.size(); ++i) {
        cmcCellObj& cell = *cells_[i];
        QAction* action = actions_[i];
        if (action->isSeparator() || cell.logicId == CL_None) continue;
        for (int flag = 0; flag < 5; ++flag)
            cell.SetFlag(flag, false);
        // The logic relabels from the catalogue's caption each time.
        cell.templateText = captions_[i];
        cmcCellCapsule capsule;
        capsule.cell = &cell;
        capsule.parentCapsule = acted;
        indActiveCell context;
        if (cmcCellLogic::IsInstalled()) cmcCellLogic::Run(context, capsule, false);
        // Flag 0 ticks the item; flag 4 marks an on/off item, whose box shows while off too.
        action->setCheckable(cell.Flag(0) || cell.Flag(4));
        action->setChecked(cell.Flag(0));
        action->setVisible(!cell.Flag(1));
        action->setEnabled(!cell.Flag(2));
        action->setText(Shown(i, cell.Flag(3) ? cell.templateText : captions_[i]));
    }
}
