#pragma once

// File > Import > From Other Tools...: the preview behind the window. It holds the file
// read as a table, the column mapping the user edits, where the rows go, and the rows as
// they will be stored with their notes; the window only shows and edits it. A mapping of
// a list with chosen columns is remembered per header in the settings.

#include "files/cmcOtherList.h"

#include <string>

class cmcOrganisation;

class indOtherPreview {
  public:
    enum class Place { NewGroups, OpenGroup, LastChannel };

    // The file's bytes; `openGroup` the group of the open sheet, -1 when none is open.
    indOtherPreview(std::string bytes, std::string categoryName, const clsCsvReadOptions& options,
                    cmcOrganisation& organisation, int openGroup);

    // The catalogue key of the file's error; empty when the rows can be previewed.
    const std::string& Error() const { return error_; }

    int Format() const { return read_.table.format; }
    void SetFormat(int format); // reads the file again as the format (otherformat::Auto: detect)
    const clsOtherTable& Table() const { return read_.table; }
    const clsOtherMapping& Mapping() const { return read_.mapping; }
    void SetColumn(OtherField field, int column);
    void SetUnit(OtherUnit unit);

    Place Placement() const { return place_; }
    bool Offers(Place place) const;
    void SetPlacement(Place place);

    const clsOtherPlan& Plan() const { return plan_; }
    clsOtherTarget Target() const;
    std::string Summary() const { return OtherSummaryText(plan_, Target()); }
    // The name of the group a row goes to, as the receiver will show it.
    std::string GroupOf(const clsOtherPlanRow& row) const {
        return OtherRowGroupName(row, Target(), organisation_);
    }
    // Whether Import can run: a frequency column, a row to import and room for it.
    bool CanImport() const;

    // Keeps the mapping of a list with chosen columns for the next file with this header.
    void RememberMapping() const;

  private:
    void Read(int format);
    void Replan();

    std::string bytes_;
    std::string categoryName_;
    clsCsvReadOptions options_;
    cmcOrganisation& organisation_;
    int openGroup_;
    clsOtherRead read_;
    std::string error_;
    Place place_ = Place::NewGroups;
    clsOtherPlan plan_;
};
