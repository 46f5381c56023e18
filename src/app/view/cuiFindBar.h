#pragma once

// The find bar at the foot of the main window: a field, Previous and Next, the state of
// the search ("3 of 12", "Not found") and a close button. Enter steps forward, Shift+Enter
// back, Escape closes. The window gives it the search over the document and the jump to a
// match; the bar keeps the matches and where the user stands in them.

#include "model/cmcFind.h"

#include <QToolBar>

#include <functional>
#include <string>
#include <vector>

class cmcGTex;
class QLabel;
class QLineEdit;
class QToolButton;

class cuiFindBar : public QToolBar {
  public:
    using Search = std::function<std::vector<clsFindMatch>(const std::string& text)>;
    using Jump = std::function<void(const clsFindMatch& match)>;
    // Where the bar hands the focus back when it closes.
    using Closed = std::function<void()>;
    // Which match a new search starts at, going forward or back: the one nearest the
    // user's cursor.
    using Start = std::function<int(const std::vector<clsFindMatch>& matches, bool forward)>;

    cuiFindBar(cmcGTex& catalogue, Search search, Jump jump, Closed closed, QWidget* parent);
    // Without it a new search starts at the first match (the last, going back).
    void SetStart(Start start) { start_ = std::move(start); }

    // Shows the bar with its text selected and the focus in the field.
    void Open();
    void Close();
    // Goes to the next (or previous) match, searching the document as it is now; wraps.
    void Step(bool forward);

    QLineEdit* Field() const { return field_; }
    QLabel* State() const { return state_; }
    QToolButton* PreviousButton() const { return previous_; }
    QToolButton* NextButton() const { return next_; }
    QToolButton* CloseButton() const { return close_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QToolButton* AddButton(const QIcon& icon, const QString& tip);
    void ShowState();

    cmcGTex& catalogue_;
    Search search_;
    Jump jump_;
    Closed closed_;
    Start start_;
    QLineEdit* field_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QLabel* state_ = nullptr;
    QToolButton* close_ = nullptr;

    std::string searched_; // the text the matches belong to
    std::vector<clsFindMatch> matches_;
    int current_ = -1;
};
