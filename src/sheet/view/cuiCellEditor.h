#pragma once

// The in-place editor of a sheet: a borderless text box over the cell, in the cell's font,
// without word wrap (wrap cells excepted), at most 1,024 characters. Enter commits, Escape
// cancels; Up and Down, Tab and Shift+Tab commit and move on up, down, right and left; Page
// Up and Page Down commit and go on to the grid; losing the focus commits.

#include <QPlainTextEdit>

#include <functional>
#include <string>

class cuiCellEditor : public QPlainTextEdit {
  public:
    static constexpr int MaximumLength = 1024;

    enum Finish {
        Commit,
        Cancel,
        CommitUp,
        CommitDown,
        CommitLeft,
        CommitRight,
        CommitPageUp,
        CommitPageDown
    };

    cuiCellEditor(QWidget* parent, std::function<void(Finish)> onFinish);

    void Start(const QString& text, int selectionStart, int selectionLength, const QFont& font,
               const QRect& area, bool wrap);
    bool IsActive() const { return active_; }
    // The text as typed, lines joined without breaks.
    std::string Text() const;
    // Ends editing without another report (the sheet already knows).
    void Stop();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void End(Finish how);
    void KeepLength();

    std::function<void(Finish)> onFinish_;
    bool active_ = false;
    bool wrap_ = false;
};
