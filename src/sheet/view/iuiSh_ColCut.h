#pragma once

// The column sheets: sheets that adapt to the destination the program runs for.
// iuiSh_ColCut hides whole columns whose data the destination does not have (the canceller
// columns outside destination 0); iuiSh_ColCut_A adds a base index from its argument and
// one more hidden column; iuiSh_Common keeps or drops catalogue lines by destination.

#include "sheet/view/cuiSheet.h"

class iuiSh_ColCut : public cuiSheet {
  public:
    using cuiSheet::cuiSheet;

  protected:
    void AfterBuild() override;
    // Whether the cell's column is hidden at this destination.
    virtual bool ColumnCut(const cmcCellObj& cell) const;
    std::string TitleText() override;

    // An argument of the form "<word>" or "<word> <number>".
    static bool ArgumentIs(const std::string& argument, std::string_view word,
                           int* number = nullptr);
    // A name field of the image as the sheets show it.
    static std::string NameText(const std::string& field);
};

class iuiSh_ColCut_A : public iuiSh_ColCut {
  public:
    using iuiSh_ColCut::iuiSh_ColCut;
    // Two integers separated by a comma; the second becomes the base index.
    void SetArgument(const std::string& argument) override;

  protected:
    bool ColumnCut(const cmcCellObj& cell) const override;
};

class iuiSh_ColCutBank : public iuiSh_ColCut_A {
  public:
    using iuiSh_ColCut_A::iuiSh_ColCut_A;
};

class iuiSh_Common : public cuiSheet {
  public:
    using cuiSheet::cuiSheet;

  protected:
    void DirectiveItem(std::string_view item) override;
};
