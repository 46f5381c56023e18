#pragma once

// The list sheets: iuiSh_ChNew repeats its loop block once per record of the list it shows
// plus one "New" (or "Add") row, where typing creates the next record, and adds and removes
// rows at its end as records come and go; its title says how much room is left.
// iuiSh_ChBank shows the memory channels of one group, with their names as blocks: a run
// of channels that share a name is drawn, moved over and selected as one tall cell.

#include "sheet/view/iuiSh_ColCut.h"

class iuiSh_ChNew : public iuiSh_ColCut {
  public:
    // What the argument selects.
    enum RecordSet {
        Other = 0,
        Channels = 1,
        Edges = 2,
        Link = 3,
        AutoWrite = 4,
        BankChannels = 5,
        BankPrograms = 6,
        Categories = 7,
        Groups = 8,
        Banks = 10,
    };
    // The most rows a list sheet has; its cells are prepared for all of them.
    static constexpr int PreparedRows = 1610;

    using iuiSh_ColCut::iuiSh_ColCut;

    void SetArgument(const std::string& argument) override;
    void Open() override;

    int Set() const { return recordSet_; }
    int SetNumber() const { return setNumber_; }
    int FirstRecord() const { return firstRecord_; }
    int RecordCount() const { return recordCount_; }

  protected:
    void DirectiveItem(std::string_view item) override;
    void BeforeRow(int row) override;
    void AfterBuild() override;
    std::string TitleText() override;
    void HandleEvent(const cmcEvent& event) override;

    // A catalogue format with the numbers and the name filled in.
    std::string FormatTitle(const char* key, const std::string& name, int first, int second);
    int PositionOf(char kind, int number) const;

    int recordSet_ = Other;
    int setNumber_ = 0;
    int firstRecord_ = 0;
    int recordCount_ = 0;
    int firstLoopRow_ = -1;
    int extraRows_ = 0;
};

class iuiSh_ChBank : public iuiSh_ChNew {
  public:
    using iuiSh_ChNew::iuiSh_ChNew;

    // "Group" and the group's number.
    void SetArgument(const std::string& argument) override;

    // The rows of the name block the row belongs to (the row alone when it has none).
    void BlockRows(int row, int& first, int& last);

  protected:
    void FillCapsule(int column, int row, cmcCellCapsule& capsule) override;
    bool IsNameColumn(int logicId) const override;
    void MoveCursor(int columns, int rows, bool extend) override;
    void BeforeCursorMove(int column, int row, bool extend) override;
    std::string TitleText() override;
    void AdjustPaint(int column, int row, cuiCellPaint& paint) override;

  private:
    bool InNameColumn(int column, int row);
};
