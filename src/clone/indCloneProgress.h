#pragma once

// The "Cloning" progress window as the clone session sees it. The view layer provides the
// window (and pelham-cli a bar on the terminal) through a factory the program installs; the
// session creates one at the start of a read or write and destroys it when the phase ends.

#include <functional>
#include <memory>

class indCloneProgressView {
  public:
    static constexpr int Cells = 32;

    virtual ~indCloneProgressView() = default;
    // Shows the cells 0..filled-1 filled and the rest empty; filled runs from 0 to 33, the
    // last cell filling only when the whole range has gone through.
    virtual void ShowProgress(int filled) = 0;
};

using indCloneProgressFactory = std::function<std::unique_ptr<indCloneProgressView>()>;

// Filled cells for a count of bytes out of a total: 33 x done / total, 0 for no total.
int CloneProgressCells(long done, long total);
