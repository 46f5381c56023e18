#include "files/cmcImageDiff.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "files/cmcCsvColumns.h"
#include "files/cmcCsvExport.h"
#include "files/cmcCsvNames.h"
#include "files/cmcCsvText.h"
#include "files/cmcCsvValues.h"
#include "files/cmcSheetTerms.h"
#include "model/cmcEeprom.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/datClipCh.h"
#include "model/indCellLogic.h"
#include "sheet/cmcSheetLayout.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
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

// The words the differences are told in, in the program's language: each line of
// "GI_Diff_Words" is a pattern whose "%s" take the parts in order.
enum class Word {
    Blank,
    Added,
    Removed,
    Category,
    Renamed,
    AddedAt,
    RemovedFrom,
    Moved,
    Group,
    GroupIn,
    MovedCategory,
    Channel,
    Channels,
    AddedInCategory,
    RemovedWith,
    AddedWith,
    NameIn,
    ChannelIn,
    Edge,
    AutoWrite,
    Link,
    Bank,
    ChEntry,
    ProgramEntry,
    CommonSettings,
    BandMemories,
    Address
};

std::string Say(Word word, std::initializer_list<std::string> parts = {}) {
    return cmcFillIn(cmcGTex::Process().GetLine("GI_Diff_Words", int(word)), parts);
}

std::string Number(int n) {
    return std::to_string(n);
}

std::string ChannelCount(int n) {
    return Say(n == 1 ? Word::Channel : Word::Channels, {Number(n)});
}

std::string Shown(const std::string& value) {
    return value.empty() ? Say(Word::Blank) : value;
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
    // Hashes first: most pairs of a long list differ, and differ late in their text.
    std::vector<size_t> hashA(rows), hashB(cols);
    for (size_t i = 0; i < rows; ++i)
        hashA[i] = std::hash<std::string>{}(a[head + i]);
    for (size_t j = 0; j < cols; ++j)
        hashB[j] = std::hash<std::string>{}(b[head + j]);
    auto same = [&](size_t i, size_t j) {
        return hashA[i] == hashB[j] && a[head + i] == b[head + j];
    };
    // length[i][j]: the longest match of a[head+i..] and b[head+j..].
    std::vector<uint16_t> length((rows + 1) * (cols + 1), 0);
    auto at = [&](size_t i, size_t j) -> uint16_t& { return length[i * (cols + 1) + j]; };
    for (size_t i = rows; i-- > 0;)
        for (size_t j = cols; j-- > 0;)
            at(i, j) =
                same(i, j) ? uint16_t(at(i + 1, j + 1) + 1) : std::max(at(i + 1, j), at(i, j + 1));
    Pairs pairs;
    for (size_t i = 0; i < head; ++i)
        pairs.emplace_back(int(i), int(i));
    for (size_t i = 0, j = 0; i < rows && j < cols;) {
        if (same(i, j)) {
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

// ---- Rows: a record as the columns of its sheet or CSV file show it ----

// (column, value) pairs in the columns' order.
using Row = std::vector<std::pair<std::string, std::string>>;

std::string RowKey(const Row& row) {
    std::string key;
    for (const auto& field : row)
        key += field.second + FieldSeparator;
    return key;
}

std::string Value(const Row& row, const std::string& column) {
    for (const auto& [name, value] : row)
        if (name == column) return value;
    return {};
}

bool HasColumn(const Row& row, const std::string& column) {
    for (const auto& field : row)
        if (field.first == column) return true;
    return false;
}

// How the rows of one kind are told: each column by its sheet's heading, each value as
// the sheet shows it.
struct clsRowWords {
    const cmcSheetTerms& terms;
    int kind;

    std::string ValueText(const Row& row, const std::string& column) const {
        return terms.Value(kind, column, Value(row, column));
    }
    std::string ChangeText(const std::string& column, const std::string& before,
                           const std::string& after) const {
        return Change(terms.Heading(kind, column), terms.Value(kind, column, before),
                      terms.Value(kind, column, after));
    }
};

// The differences from out[from] on that no inner comparison has tagged are about record.
void TagFrom(Differences& out, size_t from, const clsDiffRecord& record) {
    for (size_t i = from; i < out.size(); ++i)
        if (out[i].record == clsDiffRecord{}) out[i].record = record;
}

// A column only one side has (the canceller, which only one destination shows) is no
// difference: the other side's records do not hold the value at all.
void CompareRows(const Row& a, const Row& b, const clsRowWords& words, const std::string& where,
                 Differences& out) {
    for (const auto& [column, after] : b) {
        if (!a.empty() && !HasColumn(a, column)) continue;
        const std::string before = Value(a, column);
        if (before != after) out.push_back({where, words.ChangeText(column, before, after)});
    }
}

// Two lists of records matched by their values: the records between two matches changed
// in place, or were added or removed; summary names the column an added or removed record
// is shown by.
using RowPlace = std::function<std::string(bool second, int row)>;
// The record of a row: its kind and index in the first or second document.
struct clsRowRecord {
    uint32_t kind;
    std::function<int(bool second, int row)> index;
    clsDiffRecord Of(bool second, int row, clsDiffRecord::Change change) const {
        return {kind, index(second, row), change};
    }
};

void CompareRowLists(const std::vector<Row>& a, const std::vector<Row>& b, const clsRowWords& words,
                     const RowPlace& where, const std::string& summary, Differences& out,
                     const clsRowRecord& record) {
    using Change = clsDiffRecord::Change;
    std::vector<std::string> keysA, keysB;
    for (const Row& row : a)
        keysA.push_back(RowKey(row));
    for (const Row& row : b)
        keysB.push_back(RowKey(row));
    clsListActions act;
    act.same = [](int, int) {};
    act.changed = [&](int ra, int rb) {
        const size_t from = out.size();
        CompareRows(a[size_t(ra)], b[size_t(rb)], words, where(true, rb), out);
        TagFrom(out, from, record.Of(true, rb, Change::Changed));
    };
    act.added = [&](int rb) {
        out.push_back({where(true, rb), Say(Word::Added, {words.ValueText(b[size_t(rb)], summary)})});
        out.back().record = record.Of(true, rb, Change::Added);
    };
    act.removed = [&](int ra) {
        out.push_back(
            {where(false, ra), Say(Word::Removed, {words.ValueText(a[size_t(ra)], summary)})});
        out.back().record = record.Of(false, ra, Change::Removed);
    };
    CompareLists(keysA, keysB, act);
}

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

// The columns that belong to the category or group rather than to the channel, or that
// only count rows: a change there is named once, not on every channel.
bool OrganisationColumn(const std::string& name) {
    static const CsvColumn skipped[] = {CsvColumn::ChNo,           CsvColumn::CategoryIcon,
                                        CsvColumn::CategoryName,   CsvColumn::CategoryDirectKey,
                                        CsvColumn::CategoryLink,   CsvColumn::CategorySkip,
                                        CsvColumn::GroupNo,        CsvColumn::GroupName,
                                        CsvColumn::GroupDirectKey, CsvColumn::GroupLink,
                                        CsvColumn::GroupSkip};
    const clsCsvFlags flags = clsCsvFlags::ForKind(csvkind::Mch, 0);
    for (CsvColumn column : skipped)
        if (name == CsvColumnName(column, flags)) return true;
    return false;
}

// The records of a CSV export (channels of a group, edges, auto-write channels) as rows,
// without the organisation columns.
std::vector<Row> CsvRows(const cmcOrganisation& organisation, int kind, int index,
                         const clsImageDiffOptions& options) {
    clsCsvWriteOptions csv;
    csv.separators.decimal = '.';
    csv.separators.field = FieldSeparator;
    csv.japaneseText = options.japaneseText;
    const std::string text = CsvExportText(organisation, kind, index, csv);
    std::vector<std::string> header;
    std::vector<Row> rows;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::vector<std::string> fields = SplitFields(text.substr(start, end - start));
        start = end + 2;
        if (header.empty()) {
            header = std::move(fields);
            continue;
        }
        Row& row = rows.emplace_back();
        for (size_t c = 0; c < header.size() && c < fields.size(); ++c)
            if (!OrganisationColumn(header[c])) row.emplace_back(header[c], fields[c]);
    }
    return rows;
}

std::string ColumnName(CsvColumn column, int kind) {
    return std::string(CsvColumnName(column, clsCsvFlags::ForKind(kind, 0)));
}

std::string Megahertz(uint32_t hertz) {
    return CsvFormatMegahertz(hertz, '.');
}

// The entries of a basic-search bank, as their sheets show them.
std::vector<Row> BankEntryRows(cmcOrganisation& org, uint32_t kind, int bank, bool japanese) {
    const bool channels = kind == datKind::BasicCh;
    const int count = channels ? org.BankChCount(bank) : org.BankPgCount(bank);
    const int perBank = channels ? memmap::BankChEntries : memmap::BankPgEntries;
    const int csv = channels ? csvkind::BasicCh : csvkind::BasicPg;
    std::vector<Row> rows;
    datCh entry = org.Record();
    for (int e = 0; e < count; ++e) {
        entry.Load(kind, bank * perBank + e);
        const std::string mode = std::string(CsvSpell(csvlist::Mode, int(entry.mode)));
        if (channels) {
            const std::string name = Trimmed(CsvNameFromImage(
                std::string_view(entry.shortName.data(), entry.shortName.size()), japanese));
            rows.push_back({{ColumnName(CsvColumn::Name, csv), name},
                            {ColumnName(CsvColumn::Frequency, csv), Megahertz(entry.frequency)},
                            {ColumnName(CsvColumn::Mode, csv), mode}});
        } else {
            rows.push_back(
                {{ColumnName(CsvColumn::FrequencyLow, csv), Megahertz(entry.secondFrequency)},
                 {ColumnName(CsvColumn::Frequency, csv), Megahertz(entry.frequency)},
                 {ColumnName(CsvColumn::Mode, csv), mode},
                 {ColumnName(CsvColumn::Step, csv),
                  std::string(CsvSpell(csvlist::Step, int(entry.tuningStep)))}});
        }
    }
    return rows;
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
        Links();
        Banks();
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

    clsListActions Tagged(const clsListActions& act, uint32_t kind);
    void Categories();
    void CategoryAttributes(int a, int b, const std::string& where);
    void Groups();
    std::string GroupTitle(cmcOrganisation& org, const std::vector<std::string>& names,
                           int group) const;
    std::string GroupLabel(cmcOrganisation& org, const std::vector<std::string>& names,
                           int group) const;
    void GroupAttributes(int a, int b, const std::string& where);
    void Names(std::vector<Row>& rowsA, std::vector<Row>& rowsB, const std::string& where);
    void Channels(int a, int b, const std::string& where);
    void FixedLists();
    void Links();
    void Banks();
    void BankEntries(int a, int b, const std::string& where);
    void CommonSettings();
    void UnshownBytes();

    clsRowWords Words(int kind) const { return {terms_, kind}; }

    cmcOrganisation& a_;
    cmcOrganisation& b_;
    clsImageDiffOptions options_;
    cmcSheetTerms terms_;
    // The category of the second document each category of the first became; -1 removed.
    std::vector<int> categoryOf_;
    Differences out_;
};

// The actions of a list of records of the kind, each tagging what it adds with its record.
clsListActions clsDocumentDiff::Tagged(const clsListActions& act, uint32_t kind) {
    using Change = clsDiffRecord::Change;
    auto tag = [this, kind](auto run, int index, Change change) {
        const size_t from = out_.size();
        run();
        TagFrom(out_, from, {kind, index, change});
    };
    clsListActions tagged;
    tagged.same = [=](int a, int b) { tag([&] { act.same(a, b); }, b, Change::Changed); };
    tagged.changed = [=](int a, int b) { tag([&] { act.changed(a, b); }, b, Change::Changed); };
    tagged.added = [=](int b) { tag([&] { act.added(b); }, b, Change::Added); };
    tagged.removed = [=](int a) { tag([&] { act.removed(a); }, a, Change::Removed); };
    if (act.moved)
        tagged.moved = [=](int a, int b) { tag([&] { act.moved(a, b); }, b, Change::Moved); };
    return tagged;
}

// A category's or group's own columns, as a CSV file spells them.
Row OrganisationRow(cmcOrganisation& org, uint32_t kind, int index) {
    datCh record = org.Record();
    record.Load(kind, index);
    const std::string key = record.directKey <= 99 ? std::to_string(record.directKey) : "";
    const std::string link(CsvSpell(csvlist::OffOn, record.link));
    const std::string skip(CsvSpell(csvlist::Skip, record.skip));
    if (kind == datKind::Group)
        return {{ColumnName(CsvColumn::GroupDirectKey, csvkind::Mch), key},
                {ColumnName(CsvColumn::GroupLink, csvkind::Mch), link},
                {ColumnName(CsvColumn::GroupSkip, csvkind::Mch), skip}};
    return {{ColumnName(CsvColumn::CategoryIcon, csvkind::Mch),
             std::string(CsvSpell(csvlist::Icon, record.icon))},
            {ColumnName(CsvColumn::CategoryDirectKey, csvkind::Mch), key},
            {ColumnName(CsvColumn::CategoryLink, csvkind::Mch), link},
            {ColumnName(CsvColumn::CategorySkip, csvkind::Mch), skip}};
}

void clsDocumentDiff::CategoryAttributes(int a, int b, const std::string& where) {
    CompareRows(OrganisationRow(a_, datKind::Category, a),
                OrganisationRow(b_, datKind::Category, b), Words(csvkind::Mch), where, out_);
}

void clsDocumentDiff::Categories() {
    std::vector<std::string> keysA, keysB;
    for (int c = 0; c < a_.CategoryCount(); ++c)
        keysA.push_back(CategoryName(a_, c));
    for (int c = 0; c < b_.CategoryCount(); ++c)
        keysB.push_back(CategoryName(b_, c));
    auto label = [](const std::string& name) { return Say(Word::Category, {name}); };
    categoryOf_.assign(keysA.size(), -1);
    clsListActions act;
    act.same = [&](int a, int b) {
        categoryOf_[size_t(a)] = b;
        CategoryAttributes(a, b, label(keysB[size_t(b)]));
    };
    act.changed = [&](int a, int b) {
        categoryOf_[size_t(a)] = b;
        out_.push_back({label(keysB[size_t(b)]), Say(Word::Renamed, {keysA[size_t(a)]})});
        CategoryAttributes(a, b, label(keysB[size_t(b)]));
    };
    act.added = [&](int b) {
        out_.push_back({label(keysB[size_t(b)]), Say(Word::AddedAt, {Number(b)})});
    };
    act.removed = [&](int a) {
        out_.push_back({label(keysA[size_t(a)]), Say(Word::RemovedFrom, {Number(a)})});
    };
    act.moved = [&](int a, int b) {
        categoryOf_[size_t(a)] = b;
        out_.push_back({label(keysB[size_t(b)]), Say(Word::Moved, {Number(a), Number(b)})});
        CategoryAttributes(a, b, label(keysB[size_t(b)]));
    };
    CompareLists(keysA, keysB, Tagged(act, datKind::Category));
}

// "Initial", or "Initial in Police" when another group has the same name.
std::string clsDocumentDiff::GroupTitle(cmcOrganisation& org, const std::vector<std::string>& names,
                                        int group) const {
    const std::string& name = names[size_t(group)];
    const std::string title = name.empty() ? Number(group) : name;
    if (std::count(names.begin(), names.end(), name) < 2) return title;
    return Say(Word::GroupIn, {title, CategoryName(org, org.CategoryOfGroup(group))});
}

// "Group Initial".
std::string clsDocumentDiff::GroupLabel(cmcOrganisation& org, const std::vector<std::string>& names,
                                        int group) const {
    return Say(Word::Group, {GroupTitle(org, names, group)});
}

void clsDocumentDiff::GroupAttributes(int a, int b, const std::string& where) {
    const int categoryA = a_.CategoryOfGroup(a), categoryB = b_.CategoryOfGroup(b);
    if (categoryOf_[size_t(categoryA)] != categoryB)
        out_.push_back({where, Say(Word::MovedCategory,
                                   {CategoryName(a_, categoryA), CategoryName(b_, categoryB)})});
    CompareRows(OrganisationRow(a_, datKind::Group, a), OrganisationRow(b_, datKind::Group, b),
                Words(csvkind::Mch), where, out_);
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
        return ChannelCount(org.ChannelsOfGroup(g));
    };
    clsListActions act;
    act.same = [&](int a, int b) { GroupAttributes(a, b, GroupLabel(b_, keysB, b)); };
    act.changed = [&](int a, int b) {
        const std::string where = GroupLabel(b_, keysB, b);
        out_.push_back({where, Say(Word::Renamed, {GroupTitle(a_, keysA, a)})});
        GroupAttributes(a, b, where);
    };
    act.added = [&](int b) {
        const std::string where = GroupLabel(b_, keysB, b);
        out_.push_back({where, Say(Word::AddedInCategory, {CategoryName(b_, b_.CategoryOfGroup(b)),
                                                           place(b_, b), channels(b_, b)})});
    };
    act.removed = [&](int a) {
        out_.push_back({GroupLabel(a_, keysA, a), Say(Word::RemovedWith, {channels(a_, a)})});
    };
    act.moved = [&](int a, int b) {
        const std::string where = GroupLabel(b_, keysB, b);
        out_.push_back({where, Say(Word::Moved, {place(a_, a), place(b_, b)})});
        GroupAttributes(a, b, where);
    };
    CompareLists(keysA, keysB, Tagged(act, datKind::Group));
}

// The names of a group: runs of channels under one name. The name's columns move from the
// channel rows to the name's own row, which also counts its channels.
struct clsNameRun {
    Row row;
    int first = 0;
    int channels = 0;
};

std::vector<clsNameRun> TakeNames(std::vector<Row>& rows) {
    const std::string number = ColumnName(CsvColumn::NameNo, csvkind::Mch);
    const std::string columns[] = {ColumnName(CsvColumn::NameName, csvkind::Mch),
                                   ColumnName(CsvColumn::NameNumber, csvkind::Mch),
                                   ColumnName(CsvColumn::NameSkip, csvkind::Mch)};
    std::vector<clsNameRun> names;
    std::string current;
    for (size_t r = 0; r < rows.size(); ++r) {
        Row channel, name;
        for (auto& field : rows[r]) {
            if (field.first == number) continue;
            const bool ofName =
                std::find(std::begin(columns), std::end(columns), field.first) != std::end(columns);
            (ofName ? name : channel).push_back(std::move(field));
        }
        const std::string run = Value(rows[r], number);
        if (names.empty() || run != current) names.push_back({std::move(name), int(r), 0});
        current = run;
        ++names.back().channels;
        rows[r] = std::move(channel);
    }
    for (clsNameRun& name : names)
        name.row.emplace_back("Channels", std::to_string(name.channels));
    return names;
}

void clsDocumentDiff::Names(std::vector<Row>& rowsA, std::vector<Row>& rowsB,
                            const std::string& where) {
    const std::vector<clsNameRun> namesA = TakeNames(rowsA), namesB = TakeNames(rowsB);
    const std::string text = ColumnName(CsvColumn::NameName, csvkind::Mch);
    // Names match by their columns and their channels, so that names without text (the
    // usual case) still pair up where they stand.
    auto keys = [](const std::vector<clsNameRun>& names, const std::vector<Row>& rows) {
        std::vector<std::string> result;
        for (const clsNameRun& name : names) {
            std::string key = RowKey(name.row);
            for (int r = name.first; r < name.first + name.channels; ++r)
                key += RowKey(rows[size_t(r)]);
            result.push_back(key);
        }
        return result;
    };
    const std::vector<std::string> keysA = keys(namesA, rowsA), keysB = keys(namesB, rowsB);
    // A name without text goes by its place in the group.
    auto label = [&](const std::vector<clsNameRun>& names, int n) {
        const std::string name = Value(names[size_t(n)].row, text);
        return Say(Word::NameIn, {where, name.empty() ? Number(n) : name});
    };
    auto compare = [&](int a, int b) {
        CompareRows(namesA[size_t(a)].row, namesB[size_t(b)].row, Words(csvkind::Mch),
                    label(namesB, b), out_);
    };
    auto channels = [](const clsNameRun& name) { return ChannelCount(name.channels); };
    clsListActions act;
    act.same = compare;
    act.changed = compare;
    act.added = [&](int b) {
        out_.push_back({label(namesB, b), Say(Word::AddedWith, {channels(namesB[size_t(b)])})});
    };
    act.removed = [&](int a) {
        out_.push_back({label(namesA, a), Say(Word::RemovedWith, {channels(namesA[size_t(a)])})});
    };
    act.moved = [&](int a, int b) {
        out_.push_back({label(namesB, b), Say(Word::Moved, {Number(a), Number(b)})});
        compare(a, b);
    };
    CompareLists(keysA, keysB, act);
}

void clsDocumentDiff::Channels(int a, int b, const std::string& where) {
    std::vector<Row> rowsA = CsvRows(a_, csvkind::Mch, a, options_);
    std::vector<Row> rowsB = CsvRows(b_, csvkind::Mch, b, options_);
    const size_t names = out_.size();
    Names(rowsA, rowsB, where);
    TagFrom(out_, names, {datKind::Name, b});
    // The number column counts names within the group.
    a_.RecountNames(a);
    b_.RecountNames(b);
    const int countA = int(rowsA.size()), countB = int(rowsB.size());
    const RowPlace channel = [&](bool second, int row) {
        return Say(Word::ChannelIn, {where, second ? b_.ChannelNumberText(row, countB)
                                                   : a_.ChannelNumberText(row, countA)});
    };
    const clsRowRecord slot{datKind::Mch, [&](bool second, int row) {
                                return second ? b_.FirstChannelOfGroup(b) + row
                                              : a_.FirstChannelOfGroup(a) + row;
                            }};
    CompareRowLists(rowsA, rowsB, Words(csvkind::Mch), channel,
                    ColumnName(CsvColumn::Frequency, csvkind::Mch), out_, slot);
}

// Lists whose rows stay where they are: each row against the same row.
void clsDocumentDiff::FixedLists() {
    using Change = clsDiffRecord::Change;
    const struct {
        int kind;
        Word what;
        uint32_t record;
    } lists[] = {{csvkind::PgSrch, Word::Edge, datKind::PgSrch},
                 {csvkind::AutoMWCH, Word::AutoWrite, datKind::AutoMWCH}};
    for (const auto& list : lists) {
        const std::vector<Row> rowsA = CsvRows(a_, list.kind, 0, options_);
        const std::vector<Row> rowsB = CsvRows(b_, list.kind, 0, options_);
        const std::string summary = ColumnName(CsvColumn::Frequency, list.kind);
        const clsRowWords words = Words(list.kind);
        // Auto-write rows are told by their slots, edges by their numbers.
        auto index = [&](const cmcOrganisation& org, size_t r) {
            return list.record == datKind::AutoMWCH
                       ? datLookup::AutoWriteSlotOfRow(org.Image(), int(r))
                       : int(r);
        };
        for (size_t r = 0; r < std::max(rowsA.size(), rowsB.size()); ++r) {
            const std::string where = Say(list.what, {Number(int(r))});
            const size_t from = out_.size();
            if (r >= rowsA.size())
                out_.push_back({where, Say(Word::Added, {words.ValueText(rowsB[r], summary)})});
            else if (r >= rowsB.size())
                out_.push_back({where, Say(Word::Removed, {words.ValueText(rowsA[r], summary)})});
            else
                CompareRows(rowsA[r], rowsB[r], words, where, out_);
            const bool removed = r >= rowsB.size();
            TagFrom(out_, from,
                    {list.record, index(removed ? a_ : b_, r),
                     r >= rowsA.size() ? Change::Added
                                       : (removed ? Change::Removed : Change::Changed)});
        }
    }
}

// The links of program-search edges: each link's name and the edges it takes.
void clsDocumentDiff::Links() {
    auto row = [&](cmcOrganisation& org, int link) {
        std::string edges;
        for (int edge = 0; edge < memmap::Edges; ++edge)
            if (memmap::GetBit(org.Image().Data(), memmap::LinkBits + 4 * link, edge))
                edges += (edges.empty() ? "" : " ") + std::to_string(edge);
        const std::string name = datLookup::LinkName(org.Image(), link);
        return Row{{"Name", Name(name.data(), name.size())}, {"Edges", edges}};
    };
    for (int link = 0; link < memmap::Links; ++link) {
        const size_t from = out_.size();
        CompareRows(row(a_, link), row(b_, link), Words(termkind::Link),
                    Say(Word::Link, {Number(link)}), out_);
        TagFrom(out_, from, {datKind::PgLink, link});
    }
}

// Basic-search banks by their names, then the entries of each bank.
void clsDocumentDiff::Banks() {
    std::vector<std::string> keysA, keysB;
    auto bankName = [&](cmcOrganisation& org, int bank) {
        const std::string name = datLookup::BankName(org.Image(), bank);
        return Name(name.data(), name.size());
    };
    for (int bank = 0; bank < a_.BankCount(); ++bank)
        keysA.push_back(bankName(a_, bank));
    for (int bank = 0; bank < b_.BankCount(); ++bank)
        keysB.push_back(bankName(b_, bank));
    auto label = [](const std::string& name) { return Say(Word::Bank, {name}); };
    clsListActions act;
    act.same = [&](int a, int b) { BankEntries(a, b, label(keysB[size_t(b)])); };
    act.changed = [&](int a, int b) {
        out_.push_back({label(keysB[size_t(b)]), Say(Word::Renamed, {keysA[size_t(a)]})});
        BankEntries(a, b, label(keysB[size_t(b)]));
    };
    act.added = [&](int b) {
        out_.push_back({label(keysB[size_t(b)]), Say(Word::AddedAt, {Number(b)})});
    };
    act.removed = [&](int a) {
        out_.push_back({label(keysA[size_t(a)]), Say(Word::RemovedFrom, {Number(a)})});
    };
    act.moved = [&](int a, int b) {
        out_.push_back({label(keysB[size_t(b)]), Say(Word::Moved, {Number(a), Number(b)})});
        BankEntries(a, b, label(keysB[size_t(b)]));
    };
    CompareLists(keysA, keysB, Tagged(act, datKind::BasicBank));
}

void clsDocumentDiff::BankEntries(int a, int b, const std::string& where) {
    datCh before = a_.Record(), after = b_.Record();
    before.Load(datKind::BasicBank, a);
    after.Load(datKind::BasicBank, b);
    const std::string icon = "Icon";
    const size_t from = out_.size();
    CompareRows({{icon, std::string(CsvSpell(csvlist::Icon, before.icon))}},
                {{icon, std::string(CsvSpell(csvlist::Icon, after.icon))}}, Words(termkind::Bank),
                where, out_);
    TagFrom(out_, from, {datKind::BasicBank, b});
    const struct {
        uint32_t kind;
        Word what;
        CsvColumn summary;
        int csv;
    } lists[] = {{datKind::BasicCh, Word::ChEntry, CsvColumn::Frequency, csvkind::BasicCh},
                 {datKind::BasicPg, Word::ProgramEntry, CsvColumn::FrequencyLow, csvkind::BasicPg}};
    for (const auto& list : lists) {
        const std::vector<Row> rowsA = BankEntryRows(a_, list.kind, a, options_.japaneseText);
        const std::vector<Row> rowsB = BankEntryRows(b_, list.kind, b, options_.japaneseText);
        const RowPlace entry = [&](bool second, int row) {
            const int count = int(second ? rowsB.size() : rowsA.size());
            return Say(list.what, {where, cmcOrganisation::ZeroBasedText(row, count)});
        };
        const int perBank =
            list.kind == datKind::BasicCh ? memmap::BankChEntries : memmap::BankPgEntries;
        const clsRowRecord record{
            list.kind, [&](bool second, int row) { return (second ? b : a) * perBank + row; }};
        CompareRowLists(rowsA, rowsB, Words(list.csv), entry, ColumnName(list.summary, list.csv),
                        out_, record);
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
            out_.push_back({Say(Word::CommonSettings, {rows[i].heading}),
                            Change(rows[i].label, before[i], after[i]),
                            {0, -1, clsDiffRecord::Change::Changed, rows[i].cell.logicId,
                             rows[i].cell.index}});
}

// Regions no sheet shows, named with the addresses that differ.
void clsDocumentDiff::UnshownBytes() {
    const struct {
        Word what;
        int first;
        int end;
    } regions[] = {{Word::BandMemories, memmap::BandMemoryRecords, memmap::CommonSettings}};
    const cmcEeprom& a = a_.Image();
    const cmcEeprom& b = b_.Image();
    for (const auto& region : regions) {
        for (int address = region.first; address < region.end; ++address) {
            if (a.GetByte(address) == b.GetByte(address)) continue;
            char bytes[32];
            std::snprintf(bytes, sizeof bytes, "%02X%s%02X", a.GetByte(address), Arrow,
                          b.GetByte(address));
            out_.push_back({Say(region.what), Say(Word::Address, {Number(address), bytes})});
        }
    }
}

} // namespace

std::vector<clsImageDifference> DiffDocuments(cmcOrganisation& a, cmcOrganisation& b,
                                              const clsImageDiffOptions& options) {
    return clsDocumentDiff(a, b, options).Run();
}
