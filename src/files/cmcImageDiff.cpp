#include "files/cmcImageDiff.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "files/cmcCsvColumns.h"
#include "files/cmcCsvExport.h"
#include "files/cmcCsvNames.h"
#include "files/cmcCsvValues.h"
#include "model/cmcEeprom.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/datClipCh.h"
#include "model/indCellLogic.h"
#include "sheet/cmcSheetLayout.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <utility>

namespace {

constexpr char Arrow[] = " → ";
// Fields of the CSV rows compared here; a byte no name or value holds.
constexpr char FieldSeparator = '\x1f';

using Differences = std::vector<clsImageDifference>;
using Pairs = std::vector<std::pair<int, int>>;

std::string Trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string Shown(const std::string& value) {
    return value.empty() ? "(blank)" : value;
}

std::string Change(const std::string& label, const std::string& before, const std::string& after) {
    return label + " " + Shown(before) + Arrow + Shown(after);
}

// The longest common subsequence of two key lists, as the index pairs it matches. Of equal
// choices the earlier items of the first list are the ones kept.
Pairs Align(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const size_t n = a.size(), m = b.size();
    size_t head = 0;
    while (head < n && head < m && a[head] == b[head])
        ++head;
    size_t tail = 0;
    while (tail < n - head && tail < m - head && a[n - 1 - tail] == b[m - 1 - tail])
        ++tail;
    const size_t rows = n - head - tail, cols = m - head - tail;
    // length[i][j]: the longest match of a[head+i..] and b[head+j..].
    std::vector<uint16_t> length((rows + 1) * (cols + 1), 0);
    auto at = [&](size_t i, size_t j) -> uint16_t& { return length[i * (cols + 1) + j]; };
    for (size_t i = rows; i-- > 0;)
        for (size_t j = cols; j-- > 0;)
            at(i, j) = a[head + i] == b[head + j] ? uint16_t(at(i + 1, j + 1) + 1)
                                                  : std::max(at(i + 1, j), at(i, j + 1));
    Pairs pairs;
    for (size_t i = 0; i < head; ++i)
        pairs.emplace_back(int(i), int(i));
    for (size_t i = 0, j = 0; i < rows && j < cols;) {
        if (a[head + i] == b[head + j]) {
            pairs.emplace_back(int(head + i), int(head + j));
            ++i, ++j;
        } else if (at(i + 1, j) > at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
    for (size_t k = 0; k < tail; ++k)
        pairs.emplace_back(int(n - tail + k), int(m - tail + k));
    return pairs;
}

// What a list comparison does with the items of the two sides.
struct clsListActions {
    std::function<void(int a, int b)> same;    // matched by key
    std::function<void(int a, int b)> changed; // in the same place, key changed
    std::function<void(int b)> added;
    std::function<void(int a)> removed;
    std::function<void(int a, int b)> moved; // same key, another place; null: no moves
};

// Aligns two lists by their keys. Between two matches the items left over are moves (same
// key elsewhere), then pairs in the same place, then additions or removals.
void CompareLists(const std::vector<std::string>& a, const std::vector<std::string>& b,
                  const clsListActions& act) {
    Pairs pairs = Align(a, b);
    std::vector<bool> matchedA(a.size()), matchedB(b.size());
    for (auto [i, j] : pairs)
        matchedA[size_t(i)] = matchedB[size_t(j)] = true;
    // Moves first, over the whole lists: a key left over on both sides.
    std::vector<int> moveOf(a.size(), -1);
    std::vector<bool> movedB(b.size());
    if (act.moved) {
        std::multimap<std::string, int> looseB;
        for (size_t j = 0; j < b.size(); ++j)
            if (!matchedB[j]) looseB.emplace(b[j], int(j));
        for (size_t i = 0; i < a.size(); ++i) {
            auto found = matchedA[i] ? looseB.end() : looseB.find(a[i]);
            if (found == looseB.end()) continue;
            moveOf[i] = found->second;
            movedB[size_t(found->second)] = true;
            looseB.erase(found);
        }
    }
    pairs.emplace_back(int(a.size()), int(b.size()));
    int i = 0, j = 0;
    for (auto [nextA, nextB] : pairs) {
        std::vector<int> runA, runB;
        for (; i < nextA; ++i) {
            if (moveOf[size_t(i)] >= 0)
                act.moved(i, moveOf[size_t(i)]);
            else
                runA.push_back(i);
        }
        for (; j < nextB; ++j)
            if (!movedB[size_t(j)]) runB.push_back(j);
        const size_t common = std::min(runA.size(), runB.size());
        for (size_t k = 0; k < common; ++k)
            act.changed(runA[k], runB[k]);
        for (size_t k = common; k < runA.size(); ++k)
            act.removed(runA[k]);
        for (size_t k = common; k < runB.size(); ++k)
            act.added(runB[k]);
        if (nextA < int(a.size())) act.same(nextA, nextB);
        i = nextA + 1, j = nextB + 1;
    }
}

// ---- CSV rows: channels, edges, auto-write channels ----

struct clsCsvTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == FieldSeparator)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

clsCsvTable CsvTable(const cmcOrganisation& organisation, int kind, int index,
                     const clsImageDiffOptions& options) {
    clsCsvWriteOptions csv;
    csv.separators.decimal = '.';
    csv.separators.field = FieldSeparator;
    csv.japaneseText = options.japaneseText;
    const std::string text = CsvExportText(organisation, kind, index, csv);
    clsCsvTable table;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::vector<std::string> fields = SplitFields(text.substr(start, end - start));
        if (table.header.empty())
            table.header = std::move(fields);
        else
            table.rows.push_back(std::move(fields));
        start = end + 2;
    }
    return table;
}

// The columns that belong to the group or name rather than to the channel, or that only
// count rows: a change there is named once, not on every channel.
bool OrganisationColumn(const std::string& name) {
    static const CsvColumn skipped[] = {CsvColumn::ChNo,           CsvColumn::CategoryIcon,
                                        CsvColumn::CategoryName,   CsvColumn::CategoryDirectKey,
                                        CsvColumn::CategoryLink,   CsvColumn::CategorySkip,
                                        CsvColumn::GroupNo,        CsvColumn::GroupName,
                                        CsvColumn::GroupDirectKey, CsvColumn::GroupLink,
                                        CsvColumn::GroupSkip,      CsvColumn::NameNo};
    const clsCsvFlags flags = clsCsvFlags::ForKind(csvkind::Mch, 0);
    for (CsvColumn column : skipped)
        if (name == CsvColumnName(column, flags)) return true;
    return false;
}

std::string RowKey(const clsCsvTable& table, size_t row) {
    std::string key;
    const std::vector<std::string>& fields = table.rows[row];
    for (size_t c = 0; c < fields.size() && c < table.header.size(); ++c)
        if (!OrganisationColumn(table.header[c])) key += fields[c] + FieldSeparator;
    return key;
}

std::string Field(const clsCsvTable& table, size_t row, const std::string& column) {
    for (size_t c = 0; c < table.header.size(); ++c)
        if (table.header[c] == column && c < table.rows[row].size()) return table.rows[row][c];
    return {};
}

void CompareRows(const clsCsvTable& a, size_t rowA, const clsCsvTable& b, size_t rowB,
                 const std::string& where, Differences& out) {
    for (size_t c = 0; c < b.header.size(); ++c) {
        const std::string& column = b.header[c];
        if (OrganisationColumn(column)) continue;
        const std::string before = Field(a, rowA, column);
        const std::string after = Field(b, rowB, column);
        if (before != after) out.push_back({where, Change(column, before, after)});
    }
}

std::string FrequencyOf(const clsCsvTable& table, size_t row) {
    const clsCsvFlags flags = clsCsvFlags::ForKind(csvkind::Mch, 0);
    return Field(table, row, std::string(CsvColumnName(CsvColumn::Frequency, flags)));
}

// ---- The document side by side ----

class clsDocumentDiff {
  public:
    clsDocumentDiff(cmcOrganisation& a, cmcOrganisation& b, const clsImageDiffOptions& options)
        : a_(a), b_(b), options_(options) {}

    Differences Run() {
        Categories();
        Groups();
        FixedLists();
        CommonSettings();
        UnshownBytes();
        return std::move(out_);
    }

  private:
    std::string Name(const char* field, size_t length) const {
        return Trimmed(CsvNameFromImage(std::string_view(field, length), options_.japaneseText));
    }
    std::string CategoryName(cmcOrganisation& org, int category) const {
        datCh record = org.Record();
        record.Load(datKind::Category, category);
        return Name(record.name.data(), record.name.size());
    }
    std::string GroupName(cmcOrganisation& org, int group) const {
        datCh record = org.Record();
        record.Load(datKind::Group, group);
        return Name(record.name.data(), record.name.size());
    }

    void Categories();
    void CategoryAttributes(int a, int b, const std::string& where);
    void Groups();
    std::string GroupLabel(cmcOrganisation& org, const std::vector<std::string>& names,
                           int group) const;
    void GroupAttributes(int a, int b, const std::string& where);
    void Channels(int a, int b, const std::string& where);
    void FixedLists();
    void CommonSettings();
    void UnshownBytes();

    cmcOrganisation& a_;
    cmcOrganisation& b_;
    clsImageDiffOptions options_;
    // The category of the second document each category of the first became; -1 removed.
    std::vector<int> categoryOf_;
    Differences out_;
};

// Direct keys, links and skips as the CSV files spell them.
std::string DirectKeyText(uint8_t key) {
    return key <= 99 ? std::to_string(key) : std::string();
}

void clsDocumentDiff::CategoryAttributes(int a, int b, const std::string& where) {
    datCh before = a_.Record(), after = b_.Record();
    before.Load(datKind::Category, a);
    after.Load(datKind::Category, b);
    const clsCsvFlags flags = clsCsvFlags::ForKind(csvkind::Category, 0);
    const std::pair<CsvColumn, std::pair<std::string, std::string>> fields[] = {
        {CsvColumn::CategoryIcon,
         {std::string(CsvSpell(csvlist::Icon, before.icon)),
          std::string(CsvSpell(csvlist::Icon, after.icon))}},
        {CsvColumn::CategoryDirectKey,
         {DirectKeyText(before.directKey), DirectKeyText(after.directKey)}},
        {CsvColumn::CategoryLink,
         {std::string(CsvSpell(csvlist::OffOn, before.link)),
          std::string(CsvSpell(csvlist::OffOn, after.link))}},
        {CsvColumn::CategorySkip,
         {std::string(CsvSpell(csvlist::Skip, before.skip)),
          std::string(CsvSpell(csvlist::Skip, after.skip))}},
    };
    for (const auto& [column, values] : fields)
        if (values.first != values.second)
            out_.push_back({where, Change(std::string(CsvColumnName(column, flags)), values.first,
                                          values.second)});
}

void clsDocumentDiff::Categories() {
    std::vector<std::string> keysA, keysB;
    for (int c = 0; c < a_.CategoryCount(); ++c)
        keysA.push_back(CategoryName(a_, c));
    for (int c = 0; c < b_.CategoryCount(); ++c)
        keysB.push_back(CategoryName(b_, c));
    auto label = [](const std::string& name) { return "Category " + name; };
    categoryOf_.assign(keysA.size(), -1);
    clsListActions act;
    act.same = [&](int a, int b) {
        categoryOf_[size_t(a)] = b;
        CategoryAttributes(a, b, label(keysB[size_t(b)]));
    };
    act.changed = [&](int a, int b) {
        categoryOf_[size_t(a)] = b;
        out_.push_back({label(keysB[size_t(b)]), "renamed from " + keysA[size_t(a)]});
        CategoryAttributes(a, b, label(keysB[size_t(b)]));
    };
    act.added = [&](int b) {
        out_.push_back({label(keysB[size_t(b)]), "added at " + std::to_string(b)});
    };
    act.removed = [&](int a) {
        out_.push_back({label(keysA[size_t(a)]), "removed from " + std::to_string(a)});
    };
    act.moved = [&](int a, int b) {
        categoryOf_[size_t(a)] = b;
        out_.push_back({label(keysB[size_t(b)]),
                        "moved from " + std::to_string(a) + " to " + std::to_string(b)});
        CategoryAttributes(a, b, label(keysB[size_t(b)]));
    };
    CompareLists(keysA, keysB, act);
}

// "Group Initial", or "Group Initial in Police" when another group has the same name.
std::string clsDocumentDiff::GroupLabel(cmcOrganisation& org, const std::vector<std::string>& names,
                                        int group) const {
    const std::string& name = names[size_t(group)];
    std::string label = "Group " + (name.empty() ? std::to_string(group) : name);
    if (std::count(names.begin(), names.end(), name) > 1)
        label += " in " + CategoryName(org, org.CategoryOfGroup(group));
    return label;
}

void clsDocumentDiff::GroupAttributes(int a, int b, const std::string& where) {
    datCh before = a_.Record(), after = b_.Record();
    before.Load(datKind::Group, a);
    after.Load(datKind::Group, b);
    const int categoryA = a_.CategoryOfGroup(a), categoryB = b_.CategoryOfGroup(b);
    if (categoryOf_[size_t(categoryA)] != categoryB)
        out_.push_back({where, "moved from category " + CategoryName(a_, categoryA) + " to " +
                                   CategoryName(b_, categoryB)});
    const clsCsvFlags flags = clsCsvFlags::ForKind(csvkind::Mch, 0);
    const std::pair<CsvColumn, std::pair<std::string, std::string>> fields[] = {
        {CsvColumn::GroupDirectKey,
         {DirectKeyText(before.directKey), DirectKeyText(after.directKey)}},
        {CsvColumn::GroupLink,
         {std::string(CsvSpell(csvlist::OffOn, before.link)),
          std::string(CsvSpell(csvlist::OffOn, after.link))}},
        {CsvColumn::GroupSkip,
         {std::string(CsvSpell(csvlist::Skip, before.skip)),
          std::string(CsvSpell(csvlist::Skip, after.skip))}},
    };
    for (const auto& [column, values] : fields)
        if (values.first != values.second)
            out_.push_back({where, Change(std::string(CsvColumnName(column, flags)), values.first,
                                          values.second)});
    Channels(a, b, where);
}

void clsDocumentDiff::Groups() {
    std::vector<std::string> keysA, keysB;
    for (int g = 0; g < a_.GroupCount(); ++g)
        keysA.push_back(GroupName(a_, g));
    for (int g = 0; g < b_.GroupCount(); ++g)
        keysB.push_back(GroupName(b_, g));
    auto place = [](cmcOrganisation& org, int g) {
        const int category = org.CategoryOfGroup(g);
        return std::to_string(g - org.FirstGroupOfCategory(category));
    };
    auto channels = [](cmcOrganisation& org, int g) {
        const int n = org.ChannelsOfGroup(g);
        return std::to_string(n) + (n == 1 ? " channel" : " channels");
    };
    clsListActions act;
    act.same = [&](int a, int b) { GroupAttributes(a, b, GroupLabel(b_, keysB, b)); };
    act.changed = [&](int a, int b) {
        const std::string where = GroupLabel(b_, keysB, b);
        out_.push_back({where, "renamed from " + GroupLabel(a_, keysA, a).substr(6)});
        GroupAttributes(a, b, where);
    };
    act.added = [&](int b) {
        const std::string where = GroupLabel(b_, keysB, b);
        out_.push_back({where, "added in category " + CategoryName(b_, b_.CategoryOfGroup(b)) +
                                   " at " + place(b_, b) + ", with " + channels(b_, b)});
    };
    act.removed = [&](int a) {
        out_.push_back({GroupLabel(a_, keysA, a), "removed, with " + channels(a_, a)});
    };
    act.moved = [&](int a, int b) {
        const std::string where = GroupLabel(b_, keysB, b);
        out_.push_back({where, "moved from " + place(a_, a) + " to " + place(b_, b)});
        GroupAttributes(a, b, where);
    };
    CompareLists(keysA, keysB, act);
}

void clsDocumentDiff::Channels(int a, int b, const std::string& where) {
    const clsCsvTable tableA = CsvTable(a_, csvkind::Mch, a, options_);
    const clsCsvTable tableB = CsvTable(b_, csvkind::Mch, b, options_);
    std::vector<std::string> keysA, keysB;
    for (size_t r = 0; r < tableA.rows.size(); ++r)
        keysA.push_back(RowKey(tableA, r));
    for (size_t r = 0; r < tableB.rows.size(); ++r)
        keysB.push_back(RowKey(tableB, r));
    // The number column counts names within the group.
    a_.RecountNames(a);
    b_.RecountNames(b);
    const int countA = int(keysA.size()), countB = int(keysB.size());
    auto channelA = [&](int r) { return where + ", channel " + a_.ChannelNumberText(r, countA); };
    auto channelB = [&](int r) { return where + ", channel " + b_.ChannelNumberText(r, countB); };
    clsListActions act;
    act.same = [](int, int) {};
    act.changed = [&](int ra, int rb) {
        CompareRows(tableA, size_t(ra), tableB, size_t(rb), channelB(rb), out_);
    };
    act.added = [&](int rb) {
        out_.push_back({channelB(rb), "added, " + FrequencyOf(tableB, size_t(rb))});
    };
    act.removed = [&](int ra) {
        out_.push_back({channelA(ra), "removed, " + FrequencyOf(tableA, size_t(ra))});
    };
    CompareLists(keysA, keysB, act);
}

// Lists whose rows stay where they are: each row against the same row.
void clsDocumentDiff::FixedLists() {
    const struct {
        int kind;
        const char* what;
    } lists[] = {{csvkind::PgSrch, "Program search edge"}, {csvkind::AutoMWCH, "Auto write"}};
    for (const auto& list : lists) {
        const clsCsvTable tableA = CsvTable(a_, list.kind, 0, options_);
        const clsCsvTable tableB = CsvTable(b_, list.kind, 0, options_);
        const size_t rows = std::max(tableA.rows.size(), tableB.rows.size());
        for (size_t r = 0; r < rows; ++r) {
            const std::string where = std::string(list.what) + " " + std::to_string(r);
            if (r >= tableA.rows.size())
                out_.push_back({where, "added, " + FrequencyOf(tableB, r)});
            else if (r >= tableB.rows.size())
                out_.push_back({where, "removed, " + FrequencyOf(tableA, r)});
            else
                CompareRows(tableA, r, tableB, r, where, out_);
        }
    }
}

// The common-settings sheet read through the cell logic, as the grid shows it: each row's
// label, the heading it stands under, and the text of its value cell.
struct clsSettingRow {
    std::string heading;
    std::string label;
    cmcCellObj cell;
};

std::vector<clsSettingRow> CommonSettingRows() {
    cmcSheetLayout layout(cmcGTex::Process(), "GI_Sheet_Common");
    layout.Build();
    std::vector<clsSettingRow> rows;
    std::string heading;
    for (int row = 0; row < layout.Rows(); ++row) {
        std::string label;
        const cmcCellObj* value = nullptr;
        for (int column = 0; column < layout.Columns(); ++column) {
            const cmcCellObj& cell = layout.Cell(column, row);
            if (cell.logicId != CL_None && !value) value = &cell;
            if (!cell.templateText.empty() && label.empty()) label = cell.templateText;
        }
        if (!value) {
            if (!label.empty()) heading = label;
            continue;
        }
        cmcCellObj copy = *value;
        copy.parent = nullptr;
        rows.push_back({heading, label, copy});
    }
    return rows;
}

std::string CellText(indCellLogic& logic, const cmcCellObj& cell) {
    cmcCellObj query = cell;
    cmcCellCapsule capsule;
    capsule.cell = &query;
    indActiveCell context;
    logic.Run(context, capsule, false);
    return capsule.displayText;
}

void clsDocumentDiff::CommonSettings() {
    const std::vector<clsSettingRow> rows = CommonSettingRows();
    auto texts = [&](cmcOrganisation& org) {
        cmcEvMan events;
        datClipCh clipboard;
        indCellDocument parts;
        parts.organisation = &org;
        parts.clipboard = &clipboard;
        parts.events = &events;
        parts.destination = &org.Destination();
        parts.japaneseNames = options_.japaneseText;
        indCellLogic logic(parts);
        std::vector<std::string> shown;
        for (const clsSettingRow& row : rows)
            shown.push_back(CellText(logic, row.cell));
        return shown;
    };
    const std::vector<std::string> before = texts(a_), after = texts(b_);
    for (size_t i = 0; i < rows.size(); ++i)
        if (before[i] != after[i])
            out_.push_back({"Common settings, " + rows[i].heading,
                            Change(rows[i].label, before[i], after[i])});
}

// Regions no comparison above reads, named with the addresses that differ.
void clsDocumentDiff::UnshownBytes() {
    const struct {
        const char* what;
        int first;
        int end;
    } regions[] = {{"Basic search banks", memmap::BankRecords, memmap::OrganisationWords},
                   {"Search links", memmap::LinkBits, memmap::BandMemoryRecords},
                   {"Band memories", memmap::BandMemoryRecords, memmap::CommonSettings}};
    const cmcEeprom& a = a_.Image();
    const cmcEeprom& b = b_.Image();
    for (const auto& region : regions) {
        for (int address = region.first; address < region.end; ++address) {
            if (a.GetByte(address) == b.GetByte(address)) continue;
            char what[64];
            std::snprintf(what, sizeof what, "address %d: %02X%s%02X", address, a.GetByte(address),
                          Arrow, b.GetByte(address));
            out_.push_back({region.what, what});
        }
    }
}

} // namespace

std::vector<clsImageDifference> DiffDocuments(cmcOrganisation& a, cmcOrganisation& b,
                                              const clsImageDiffOptions& options) {
    return clsDocumentDiff(a, b, options).Run();
}
