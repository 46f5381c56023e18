#include "files/cmcCsvImport.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "files/cmcLoadFile.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "platform/cmcPlatform.h"

#include <map>
#include <vector>

namespace {

constexpr int EdgeCount = 25;
constexpr char BlankNumber[] = "   ";

// Places the rows of a memory-channel import into the organisation, row by row.
class clsCsvPlacer {
  public:
    enum class Outcome { Placed, LeftOut, Stop };

    clsCsvPlacer(cmcOrganisation& organisation, cmcEvMan& events, int kind, int index,
                 bool overwrite, clsCsvImportResult& result)
        : org_(organisation), events_(events), kind_(kind), index_(index), overwrite_(overwrite),
          result_(result) {}

    // Whether the sheet's group or category exists to import into.
    bool TargetExists() const {
        if (kind_ == csvkind::Mch) return index_ >= 0 && index_ < org_.GroupCount();
        if (kind_ == csvkind::Group) return index_ >= 0 && index_ < org_.CategoryCount();
        return kind_ == csvkind::Category && !overwrite_;
    }

    Outcome Place(datCh& record, const Bank_Info& info) {
        if (placed_ && org_.TotalChannels() >= cmcOrganisation::MaxChannels) {
            result_.noRoomAll = true;
            return Outcome::Stop;
        }
        Outcome outcome = placed_ ? PlaceNext(record, info) : PlaceFirst(record, info);
        if (outcome == Outcome::Placed) {
            placed_ = true;
            previousGroupNo_ = info.groupNo;
            previousNameNo_ = info.nameNo;
        }
        return outcome;
    }

  private:
    Outcome PlaceFirst(datCh& record, const Bank_Info& info) {
        switch (kind_) {
        case csvkind::Mch:
            return overwrite_ ? ReplaceGroup(record, info) : EnterGroup(record, info);
        case csvkind::Category:
            return NewCategory(org_.CategoryCount(), record, info);
        case csvkind::Group:
            if (!overwrite_) return NewGroupInCategory(index_, record, info);
            Send(ev::CategoriesDeleted, index_, 1);
            Send(ev::DeleteCategoriesQuiet, index_, 1);
            return NewCategory(index_, record, info);
        }
        return Outcome::Stop;
    }

    Outcome PlaceNext(datCh& record, const Bank_Info& info) {
        if (kind_ == csvkind::Mch && !overwrite_) {
            Outcome outcome = Append(record, info);
            // Adding to one group cannot go on once the group has no room for names.
            return outcome == Outcome::LeftOut && result_.noRoomName ? Outcome::Stop : outcome;
        }
        if (SameGroup(info)) return Append(record, info);
        if (kind_ == csvkind::Mch) return NewGroup(category_, group_ + 1, record, info);
        return NewGroupInCategory(category_, record, info);
    }

    bool SameGroup(const Bank_Info& info) const {
        return info.groupNo == previousGroupNo_ &&
               (info.groupNo != CsvNone || namesInGroup_ < cmcOrganisation::MaxNamesPerGroup);
    }

    // Kind 1, Add: the rows follow the last channel of the sheet's group.
    Outcome EnterGroup(datCh& record, const Bank_Info& info) {
        category_ = org_.CategoryOfGroup(index_);
        group_ = index_;
        slot_ = org_.LastChannelOfGroup(index_);
        org_.RecountNames(index_);
        namesInGroup_ = org_.NameCount();
        channelsInName_ = namesInGroup_ > 0 ? org_.ChannelsOfName(namesInGroup_ - 1) : 0;
        return Append(record, info);
    }

    // Kind 1, Overwrite: a new group takes the old one's place, made from the first row.
    Outcome ReplaceGroup(datCh& record, const Bank_Info& info) {
        category_ = org_.CategoryOfGroup(index_);
        group_ = index_;
        if (org_.TotalChannels() < cmcOrganisation::MaxChannels &&
            InsertGroupAt(category_, index_)) {
            // The new group comes first, so a category never stands without a group.
            Send(ev::GroupsDeleted, index_ + 1, 1);
            Send(ev::DeleteGroupsQuiet, index_ + 1, 1);
        } else {
            // No channel is free for a new group: empty the old one down to its first
            // channel and reuse that.
            for (int slot = org_.LastChannelOfGroup(index_);
                 slot > org_.FirstChannelOfGroup(index_); --slot)
                Send(ev::DeleteChannel, index_, slot);
        }
        WriteGroup(index_, info);
        return StartGroup(record, info);
    }

    Outcome NewCategory(int category, datCh& record, const Bank_Info& info) {
        if (!org_.CheckLimit(datKind::Category, category, true, false)) {
            result_.noRoomCategory = true;
            return Outcome::Stop;
        }
        const int before = org_.CategoryCount();
        Send(ev::InsertCategory, 0, category);
        if (org_.CategoryCount() != before + 1) {
            result_.noRoomCategory = true;
            return Outcome::Stop;
        }
        WriteCategory(category, info);
        category_ = category;
        group_ = org_.FirstGroupOfCategory(category);
        WriteGroup(group_, info);
        return StartGroup(record, info);
    }

    Outcome NewGroupInCategory(int category, datCh& record, const Bank_Info& info) {
        return NewGroup(category, org_.LastGroupOfCategory(category) + 1, record, info);
    }

    Outcome NewGroup(int category, int group, datCh& record, const Bank_Info& info) {
        if (!org_.CheckLimit(datKind::Group, category, true, false) ||
            !InsertGroupAt(category, group)) {
            result_.noRoomGroup = true;
            return Outcome::Stop;
        }
        category_ = category;
        group_ = group;
        WriteGroup(group, info);
        return StartGroup(record, info);
    }

    bool InsertGroupAt(int category, int group) {
        const int before = org_.GroupsOfCategory(category);
        Send(ev::InsertGroup, category, group);
        return org_.GroupsOfCategory(category) == before + 1;
    }

    // The first channel of the current group, created with it, gets the row.
    Outcome StartGroup(datCh& record, const Bank_Info& info) {
        slot_ = org_.FirstChannelOfGroup(group_);
        nameIndex_ = NameIndexAt(slot_);
        WriteName(nameIndex_, info);
        namesInGroup_ = channelsInName_ = 1;
        StoreChannel(record);
        return Outcome::Placed;
    }

    // A channel after the current one: in the previous row's name when the row says so,
    // otherwise with a name of its own.
    Outcome Append(datCh& record, const Bank_Info& info) {
        const bool share = placed_ && info.nameNo != CsvNone && info.nameNo == previousNameNo_;
        if (share && channelsInName_ >= cmcOrganisation::MaxChannelsPerName) {
            result_.noRoomInCategory = true;
            return Outcome::LeftOut;
        }
        if (!share && namesInGroup_ >= cmcOrganisation::MaxNamesPerGroup) {
            result_.noRoomName = true;
            return Outcome::LeftOut;
        }
        const int before = org_.TotalChannels();
        Send(ev::InsertChannel, group_, slot_ + 1);
        if (org_.TotalChannels() != before + 1) {
            result_.noRoomAll = true;
            return Outcome::Stop;
        }
        ++slot_;
        if (share) {
            ++channelsInName_;
        } else {
            nameIndex_ = NameIndexAt(slot_); // the fresh name the new channel came with
            WriteName(nameIndex_, info);
            ++namesInGroup_;
            channelsInName_ = 1;
        }
        StoreChannel(record);
        return Outcome::Placed;
    }

    int NameIndexAt(int slot) const {
        datCh channel = org_.Record();
        channel.Load(datKind::Mch, slot);
        return static_cast<int>(channel.nameIndex);
    }

    void StoreChannel(datCh& record) {
        record.nameIndex = static_cast<uint32_t>(nameIndex_);
        record.SetInUse(true);
        record.Store(datKind::Mch, slot_);
    }

    void WriteCategory(int category, const Bank_Info& info) {
        datCh r = org_.Record();
        r.Load(datKind::Category, category);
        r.icon = info.categoryIcon;
        r.SetName(info.categoryName.empty() ? "Category" : info.categoryName);
        r.directKey = info.categoryDirectKey;
        r.link = info.categoryLink;
        r.skip = info.categorySkip;
        r.Store(datKind::Category, category);
        numbersCategory_ = -1;
    }

    void WriteGroup(int group, const Bank_Info& info) {
        datCh r = org_.Record();
        r.Load(datKind::Group, group);
        r.SetName(info.groupName.empty() ? "Group" : info.groupName);
        r.directKey = info.groupDirectKey;
        r.link = info.groupLink;
        r.skip = info.groupSkip;
        r.Store(datKind::Group, group);
    }

    void WriteName(int nameIndex, const Bank_Info& info) {
        ClaimNumber(nameIndex, info.nameNumber);
        datCh r = org_.Record();
        r.Load(datKind::Name, nameIndex);
        r.SetName(info.nameText);
        r.SetNameNumber(info.nameNumber);
        r.skip = info.nameSkip;
        r.Store(datKind::Name, nameIndex);
    }

    // A name number belongs to one name of a category: another name of the category that
    // holds it (the first in channel order) loses it.
    void ClaimNumber(int nameIndex, const std::string& number) {
        if (number == BlankNumber || number.empty()) return;
        if (numbersCategory_ != category_) CollectNumbers(nameIndex);
        std::vector<int>& holders = numbers_[number];
        if (!holders.empty()) {
            datCh other = org_.Record();
            other.Load(datKind::Name, holders.front());
            other.SetNameNumber(BlankNumber);
            other.Store(datKind::Name, holders.front());
            holders.erase(holders.begin());
        }
        holders.push_back(nameIndex);
    }

    void CollectNumbers(int exceptName) {
        numbers_.clear();
        numbersCategory_ = category_;
        int previous = -1;
        for (int slot = org_.FirstChannelOfCategory(category_);
             slot <= org_.LastChannelOfCategory(category_); ++slot) {
            const int name = NameIndexAt(slot);
            if (name == previous || name == exceptName) continue;
            previous = name;
            datCh r = org_.Record();
            r.Load(datKind::Name, name);
            std::string number = r.NameNumberText();
            if (number != BlankNumber) numbers_[number].push_back(name);
        }
    }

    void Send(int code, int a, int b) { events_.Send(code, a, b); }

    cmcOrganisation& org_;
    cmcEvMan& events_;
    int kind_;
    int index_;
    bool overwrite_;
    clsCsvImportResult& result_;

    bool placed_ = false;
    int previousGroupNo_ = CsvNone;
    int previousNameNo_ = CsvNone;
    int category_ = 0;
    int group_ = 0;
    int slot_ = 0;
    int nameIndex_ = 0;
    int namesInGroup_ = 0;
    int channelsInName_ = 0;
    std::map<std::string, std::vector<int>> numbers_;
    int numbersCategory_ = -1;
};

void importEdges(const cmcLoadFile& file, cmcOrganisation& organisation,
                 const cmcCsvRowReader& reader, clsCsvImportResult& result) {
    datCh record = organisation.Record();
    for (int edge = 0; edge < EdgeCount; ++edge) {
        record.Clear();
        record.SetInUse(false);
        record.Store(datKind::PgSrch, edge);
    }
    Bank_Info info;
    for (int i = 1; i < file.Count(); ++i) {
        if (CsvTrim(file.LineAt(i)).empty()) continue;
        int edge = reader.ReadRow(file.LineAt(i), record, result.discarded, result.corrected, info);
        if (edge >= EdgeCount) continue; // refused, or the row after the last edge
        record.Store(datKind::PgSrch, edge);
        if (record.InUse()) ++result.imported;
    }
}

void importChannels(const cmcLoadFile& file, cmcOrganisation& organisation, cmcEvMan& events,
                    const cmcCsvRowReader& reader, int index, bool overwrite,
                    clsCsvImportResult& result) {
    clsCsvPlacer placer(organisation, events, reader.Kind(), index, overwrite, result);
    if (!placer.TargetExists()) return;
    datCh record = organisation.Record();
    Bank_Info info;
    for (int i = 1; i < file.Count(); ++i) {
        if (CsvTrim(file.LineAt(i)).empty()) continue;
        int row = reader.ReadRow(file.LineAt(i), record, result.discarded, result.corrected, info);
        if (row == CsvRefusedRow || !record.InUse()) continue;
        clsCsvPlacer::Outcome outcome = placer.Place(record, info);
        if (outcome == clsCsvPlacer::Outcome::Placed) ++result.imported;
        if (outcome == clsCsvPlacer::Outcome::Stop) break;
    }
}

void showLines(const char* key) {
    cmcGTex& text = cmcGTex::Process();
    cmcMessage(text.GetLines(key), text.GetText("GI_Sys_AppTitle"), MsgIcon::Warning);
}

} // namespace

bool CsvCanImportOverwrite(int kind) {
    return kind == csvkind::Mch || kind == csvkind::Group || kind == csvkind::PgSrch;
}

bool CsvCanImportAdd(cmcOrganisation& organisation, int kind, int index) {
    if (organisation.TotalChannels() >= cmcOrganisation::MaxChannels) return false;
    switch (kind) {
    case csvkind::Mch:
        if (index < 0 || index >= organisation.GroupCount()) return false;
        organisation.RecountNames(index);
        return organisation.NameCount() < cmcOrganisation::MaxNamesPerGroup;
    case csvkind::Group:
        return index >= 0 && index < organisation.CategoryCount() &&
               organisation.CheckLimit(datKind::Group, index, true, false);
    case csvkind::Category:
        return organisation.CheckLimit(datKind::Category, 0, true, false);
    default:
        return false;
    }
}

clsCsvImportResult CsvImportLines(const cmcLoadFile& file, cmcOrganisation& organisation,
                                  cmcEvMan& events, int kind, int index, bool overwrite,
                                  const clsCsvReadOptions& options) {
    clsCsvImportResult result;
    const bool offered =
        overwrite ? CsvCanImportOverwrite(kind)
                  : kind == csvkind::Mch || kind == csvkind::Group || kind == csvkind::Category;
    if (!offered || file.Count() == 0) return result;
    cmcCsvRowReader reader(kind, options);
    if (!reader.ReadHeader(file.LineAt(0))) return result;
    result.accepted = true;
    if (kind == csvkind::PgSrch)
        importEdges(file, organisation, reader, result);
    else
        importChannels(file, organisation, events, reader, index, overwrite, result);
    return result;
}

clsCsvImportResult CsvImport(const std::string& path, cmcOrganisation& organisation,
                             cmcEvMan& events, int kind, int index, bool overwrite,
                             const clsCsvReadOptions& options) {
    if (overwrite) {
        cmcGTex& text = cmcGTex::Process();
        int answer =
            cmcMessage(text.GetLines("GI_Mess_Confirm_ImportFile"), text.GetText("GI_Sys_AppTitle"),
                       MsgIcon::Warning, MsgButtons::OkCancel);
        if (answer != answer::Ok) {
            clsCsvImportResult cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
    }
    cmcLoadFile file;
    file.Load(path);
    clsCsvImportResult result =
        CsvImportLines(file, organisation, events, kind, index, overwrite, options);
    if (result.accepted) {
        events.Post(ev::RepaintAll);
        events.Send(ev::SheetTitle);
        events.Send(ev::RebuildBranches);
    }
    CsvShowImportSummary(result);
    return result;
}

void CsvShowImportSummary(const clsCsvImportResult& result) {
    if (result.cancelled) return;
    if (!result.accepted) return showLines("GI_Mess_Import_TitleErr");
    if (result.imported == 0 && !result.NoRoom()) return showLines("GI_Mess_Import_NoData");
    if (result.NoRoom()) showLines("GI_Mess_Import_NoChSpace");
    if (result.discarded) showLines("GI_Mess_Import_Discard");
    if (result.corrected) showLines("GI_Mess_Import_Correct");
}
