// Arranging a list as a whole: Edit > Sort... on the channels of a group, the program-search
// edges and the entries of a basic-search bank, and one typed value or pick-list choice
// given to every selected row of a column (set many). Both run inside one call of the cell
// logic, so each is one undo step, and both move and change records only through the codec
// and the cells' own editors.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvents.h"
#include "model/cmcFrequency.h"
#include "model/cmcOrganisation.h"
#include "model/datClipCh.h"
#include "model/indCellCall.h"
#include "platform/cmcPlatform.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>
#include <utility>

namespace {

constexpr int LinkPositions = 26;
constexpr int Links = 10;
constexpr size_t KeptRowsListed = 20; // rows named in the set-many message, then "..."

bool Sortable(uint32_t kind) {
    return kind == datKind::Mch || kind == datKind::PgSrch || kind == datKind::BasicCh ||
           kind == datKind::BasicPg;
}

// ---- Sort keys ----

// A row's value in the column sorted by: a number where the column holds one, else its
// text. Empty values and unused edges go after the others in either direction.
struct clsSortKey {
    bool last = false;
    bool numeric = false;
    double number = 0;
    std::string text;
};

// Ascending order of two keys that are not last: numbers before texts.
int Compare(const clsSortKey& a, const clsSortKey& b) {
    if (a.numeric != b.numeric) return a.numeric ? -1 : 1;
    if (a.numeric && a.number != b.number) return a.number < b.number ? -1 : 1;
    return a.text.compare(b.text);
}

bool Before(const clsSortKey& a, const clsSortKey& b, bool descending) {
    if (a.last != b.last) return b.last;
    if (a.last) return false;
    const int c = Compare(a, b);
    return descending ? c > 0 : c < 0;
}

// The frequency fields of the frequency columns: exact, where the shown text is rounded.
bool FrequencyOf(int column, const datCh& record, uint32_t& hz) {
    switch (column) {
    case CL_Mch_Freq:
    case CL_PgSrch_Freq_High:
    case CL_Basic_ChSrch_Freq:
    case CL_Basic_PgSrch_Freq_High:
        hz = record.frequency;
        return true;
    case CL_PgSrch_Freq_Low:
    case CL_Basic_PgSrch_Freq_Low:
        hz = record.secondFrequency;
        return true;
    default:
        return false;
    }
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// What the cell of a column shows for a record, as the sheet would draw it.
std::string ShownText(indCellCall& call, int column, int index) {
    cmcCellObj cell;
    cell.cellType = call.cellType;
    cell.logicId = column;
    cell.index = index;
    cmcCellCapsule capsule;
    capsule.cell = &cell;
    indActiveCell context;
    call.logic.Run(context, capsule, false);
    return capsule.displayText;
}

clsSortKey KeyOf(indCellCall& call, int column, int index, const datCh& record) {
    clsSortKey key;
    if (!record.InUse()) {
        key.last = true;
        return key;
    }
    uint32_t hz = 0;
    if (FrequencyOf(column, record, hz)) {
        key.numeric = true;
        key.number = hz;
        return key;
    }
    key.text = Trimmed(ShownText(call, column, index));
    key.last = key.text.empty();
    char* end = nullptr;
    const double number = std::strtod(key.text.c_str(), &end);
    key.numeric = !key.last && end && *end == '\0';
    if (key.numeric) key.number = number;
    return key;
}

// ---- The rows a sort moves ----

struct clsSortRange {
    int low = 0;
    int high = -1;
};

// Memory channels: a selection widens to whole names, so names move whole.
void WidenToNames(const indCellCall& call, clsSortRange& range) {
    const cmcOrganisation& org = call.Org();
    const int low = org.NameOfPosition(range.low - call.first);
    const int high = org.NameOfPosition(range.high - call.first);
    if (low < cmcOrganisation::MaxNamesPerGroup)
        range.low = call.first + org.FirstPositionOfName(low);
    if (high < cmcOrganisation::MaxNamesPerGroup)
        range.high = call.first + org.LastPositionOfName(high);
}

clsSortRange RangeOf(const indCellCall& call, bool selectionOnly) {
    clsSortRange range{call.first, call.last};
    const cmcCellCapsule& capsule = call.capsule;
    if (selectionOnly && (capsule.rangeFlags & cmcCellCapsule::RangeActive)) {
        range.low = std::max(call.first, std::min(capsule.rangeLow, capsule.rangeHigh));
        range.high = std::min(call.last, std::max(capsule.rangeLow, capsule.rangeHigh));
        if (call.kind == datKind::Mch && range.low <= range.high) WidenToNames(call, range);
    }
    return range;
}

// Blocks of rows that move together: the runs of one name for memory channels, single
// records otherwise. Each holds the places of its rows in the copied records.
using clsBlock = std::vector<int>;

std::vector<clsBlock> BlocksOf(const indCellCall& call, const std::vector<datCh>& records) {
    std::vector<clsBlock> blocks;
    for (int i = 0; i < int(records.size()); ++i) {
        const bool joins = call.kind == datKind::Mch && i > 0 &&
                           records[size_t(i)].nameIndex == records[size_t(i - 1)].nameIndex;
        if (!joins) blocks.emplace_back();
        blocks.back().push_back(i);
    }
    return blocks;
}

// The order of the copied records after the sort: a stable sort of the blocks by their
// first row, after the rows inside each block when that was asked for.
std::vector<int> SortedOrder(indCellCall& call, const clsSortRequest& request, int low,
                             const std::vector<datCh>& records) {
    std::vector<clsSortKey> keys;
    keys.reserve(records.size());
    for (int i = 0; i < int(records.size()); ++i)
        keys.push_back(KeyOf(call, request.column, low + i, records[size_t(i)]));
    const auto before = [&keys, &request](int a, int b) {
        return Before(keys[size_t(a)], keys[size_t(b)], request.descending);
    };
    std::vector<clsBlock> blocks = BlocksOf(call, records);
    if (request.withinNames)
        for (clsBlock& block : blocks)
            std::stable_sort(block.begin(), block.end(), before);
    std::stable_sort(blocks.begin(), blocks.end(), [&before](const clsBlock& a, const clsBlock& b) {
        return before(a.front(), b.front());
    });
    std::vector<int> order;
    order.reserve(records.size());
    for (const clsBlock& block : blocks)
        order.insert(order.end(), block.begin(), block.end());
    return order;
}

// The links name edges by number: each link's edges are named again by the numbers the
// sort gave them. moved[old] is the edge's new number.
void RepointLinks(cmcOrganisation& org, const std::vector<int>& moved) {
    for (int link = 0; link < Links; ++link) {
        std::vector<int> edges;
        datCh entry = org.Record();
        for (int position = 1; position < LinkPositions; ++position) {
            entry.Load(datKind::PgLink, link * LinkPositions + position);
            if (entry.linkEdge == NoLinkEdge) break;
            edges.push_back(entry.linkEdge);
        }
        const int index = link * LinkPositions + 1;
        for (const bool add : {false, true}) {
            for (int edge : edges) {
                entry.Load(datKind::PgLink, index);
                entry.linkEdge = add ? moved[size_t(edge)] : edge;
                entry.linkAdd = add ? 1 : 0;
                entry.Store(datKind::PgLink, index);
            }
        }
    }
}

void Announce(indCellCall& call, const char* key) {
    call.SendText(ev::StatusText, std::intptr_t(clWindowText), int(clBtnFace), call.Text(key));
}

// ---- Set many ----

// The message boxes of the rows of a set many: errors are noted for the final message, not
// shown one by one; a question is asked once and its answer holds for every row.
class clsQuietBoxes : public cmcMessageBox {
  public:
    clsQuietBoxes() : previous_(cmcPlatform::get()) {
        cmcPlatform quiet = previous_;
        quiet.messages = this;
        cmcPlatform::install(quiet);
    }
    ~clsQuietBoxes() override { cmcPlatform::install(previous_); }
    clsQuietBoxes(const clsQuietBoxes&) = delete;
    clsQuietBoxes& operator=(const clsQuietBoxes&) = delete;

    int show(const std::string& text, const std::string& caption, MsgIcon icon,
             MsgButtons buttons) override {
        if (buttons == MsgButtons::Ok) {
            refused_ = true;
            return answer::Ok;
        }
        auto found = answers_.find(text);
        if (found == answers_.end()) {
            const int given = previous_.messages
                                  ? previous_.messages->show(text, caption, icon, buttons)
                                  : int(answer::Cancel);
            found = answers_.emplace(text, given).first;
        }
        if (found->second != answer::Ok && found->second != answer::Yes) refused_ = true;
        return found->second;
    }
    // Whether the row that ran since the last call was refused.
    bool TakeRefused() { return std::exchange(refused_, false); }

  private:
    cmcPlatform previous_;
    std::map<std::string, int> answers_;
    bool refused_ = false;
};

// The last row of the list that holds a record, for the kinds a value can be given to.
int LastRowOf(const indCellCall& call) {
    switch (call.kind) {
    case datKind::Mch:
    case datKind::BasicCh:
    case datKind::BasicPg:
        return call.last;
    case datKind::PgSrch:
        return datKind::Count(datKind::PgSrch) - 1;
    case datKind::Category:
    case datKind::BasicBank:
        return call.count - 1;
    case datKind::Group:
        return call.first + call.count - 1;
    default:
        return -1;
    }
}

bool RowHoldsRecord(const indCellCall& call, int index) {
    if (call.kind != datKind::PgSrch) return true;
    datCh edge = call.Org().Record();
    edge.Load(datKind::PgSrch, index);
    return edge.InUse();
}

// The row's label as the number column shows it.
std::string RowLabel(const indCellCall& call, int index) {
    if (call.kind == datKind::Mch)
        return call.Org().ChannelNumberText(index - call.first, call.count);
    return std::to_string(index - call.first);
}

} // namespace

bool IsSortDisabled(indCellCall& call) {
    return !Sortable(call.kind) || call.count < 2;
}

bool SortList(indCellCall& call, const clsSortRequest& request) {
    if (IsSortDisabled(call) || request.column < 0) return false;
    cmcOrganisation& org = call.Org();
    const clsSortRange range = RangeOf(call, request.selectionOnly);
    const int n = range.high - range.low + 1;
    if (n < 2) return false;
    datClipCh held;
    held.CopyFrom(org, call.kind, range.low, n);
    const std::vector<int> order = SortedOrder(call, request, range.low, held.Records());
    std::vector<int> moved(size_t(datKind::Count(call.kind)));
    std::iota(moved.begin(), moved.end(), 0);
    for (int i = 0; i < n; ++i) {
        moved[size_t(range.low + order[size_t(i)])] = range.low + i;
        if (order[size_t(i)] == i) continue;
        datCh record = held.Records()[size_t(order[size_t(i)])];
        held.StoreOne(org, call.kind, range.low + i, record);
    }
    if (call.kind == datKind::PgSrch) RepointLinks(org, moved);
    if (call.kind == datKind::Mch) org.RecountNames(call.group);
    if (request.selectionOnly) {
        call.capsule.rangeFlags |= cmcCellCapsule::RangeSelect;
        call.capsule.rangeLow = range.low;
        call.capsule.rangeHigh = range.high;
    }
    call.Post(ev::RepaintAll);
    call.mask |= repaint::All;
    call.handled = true;
    Announce(call, "GI_AppMess_S_Sort");
    return true;
}

void RunSort(indCellCall& call) {
    const auto& ask = call.logic.Document().askSort;
    if (IsSortDisabled(call) || !ask) return;
    clsSortOffer offer;
    offer.kind = call.kind;
    offer.names = call.kind == datKind::Mch;
    const cmcCellCapsule& capsule = call.capsule;
    offer.hasSelection =
        (capsule.rangeFlags & cmcCellCapsule::RangeActive) && capsule.rangeLow != capsule.rangeHigh;
    const std::optional<clsSortRequest> request = ask(offer);
    if (request) SortList(call, *request);
}

bool IsSetMany(const indCellCall& call) {
    const cmcCellCapsule& capsule = call.capsule;
    if (!(call.Entered() || call.Chosen()) || call.newRow) return false;
    if (!(capsule.rangeFlags & cmcCellCapsule::RangeActive) ||
        capsule.rangeLow == capsule.rangeHigh)
        return false;
    const int low = std::min(capsule.rangeLow, capsule.rangeHigh);
    const int high = std::max(capsule.rangeLow, capsule.rangeHigh);
    return LastRowOf(call) >= 0 && call.index >= low && call.index <= high;
}

void RunSetMany(indCellCall& call, const std::function<void()>& dispatchActing) {
    const cmcCellCapsule& capsule = call.capsule;
    const int low = std::max(std::min(capsule.rangeLow, capsule.rangeHigh), call.first);
    const int high = std::min(std::max(capsule.rangeLow, capsule.rangeHigh), LastRowOf(call));
    struct clsRow {
        int index;
        std::string before;
        std::string after;
        bool refused;
    };
    std::vector<clsRow> rows;
    {
        clsQuietBoxes quiet;
        for (int index = low; index <= high; ++index) {
            if (!RowHoldsRecord(call, index)) continue;
            clsRow row{index, ShownText(call, call.logicId, index), {}, false};
            if (index == call.index) {
                dispatchActing();
            } else {
                cmcCellObj cell = call.cell;
                cell.index = index;
                cmcCellCapsule other = capsule;
                other.cell = &cell;
                other.rangeFlags = 0;
                other.onRepaint = nullptr;
                other.onStartEdit = nullptr;
                indActiveCell context;
                call.logic.Run(context, other, false);
            }
            row.refused = quiet.TakeRefused();
            row.after = ShownText(call, call.logicId, index);
            rows.push_back(std::move(row));
        }
    }
    // The value the column took where a row changed; a row that neither changed nor shows
    // it kept its own value.
    // When no row took it, the acting row has said why (its message or status text).
    const auto changed = std::find_if(rows.begin(), rows.end(),
                                      [](const clsRow& row) { return row.after != row.before; });
    call.Post(ev::RepaintAll);
    call.mask |= repaint::All;
    call.handled = true;
    if (changed == rows.end()) return;
    const std::string& wanted = changed->after;
    std::vector<std::string> kept;
    for (const clsRow& row : rows)
        if (row.refused || (row.after == row.before && row.after != wanted))
            kept.push_back(RowLabel(call, row.index));
    if (kept.empty()) return;
    std::string list;
    for (size_t i = 0; i < kept.size() && i < KeptRowsListed; ++i)
        list += (i ? ", " : "") + kept[i];
    if (kept.size() > KeptRowsListed) list += ", ...";
    cmcGTex& text = call.logic.Catalogue();
    const std::string pattern =
        text.GetLine("GI_AppMess_SetMany_Kept", call.kind == datKind::Mch ? 0 : 1);
    cmcMessage(cmcFillIn(pattern, {std::to_string(kept.size()), std::to_string(rows.size()), list}),
               text.GetText("GI_Sys_AppTitle"), MsgIcon::Warning);
}

// ---- Fill series ----

namespace {

// Commits text to a cell of the call's group, as the sheet commits the in-place editor.
void CommitText(indCellCall& call, int logicId, int index, const std::string& text) {
    cmcCellObj cell;
    cell.cellType = CT_Conv;
    cell.logicId = logicId;
    cell.index = index;
    cmcCellCapsule capsule;
    capsule.cell = &cell;
    capsule.inputMode = cmcCellCapsule::TextEntered;
    capsule.inputText = text;
    indActiveCell context;
    call.logic.Run(context, capsule, false);
}

} // namespace

int FillSeries(indCellCall& call, const clsFillRequest& request) {
    const std::optional<int64_t> start = ReadDecimal(request.start, 6);
    const std::optional<int64_t> step = ReadDecimal(request.step, 6);
    if (call.kind != datKind::Mch || !start || !step || request.count < 1) return 0;
    cmcOrganisation& org = call.Org();
    const cmcCellCapsule& capsule = call.capsule;
    int low = call.index;
    if (capsule.rangeFlags & cmcCellCapsule::RangeActive)
        low = std::min({capsule.rangeLow, capsule.rangeHigh, call.index});
    low = std::max(low, call.first);
    int filled = 0;
    for (int k = 0; k < request.count; ++k) {
        const int row = low + k;
        const int channels = org.ChannelsOfGroup(call.group);
        const int end = org.FirstChannelOfGroup(call.group) + channels; // the New row
        const int64_t hz = *start + int64_t(k) * *step;
        if (row > end || hz < CoverageLowHz || hz > CoverageHighHz) break;
        // Past the last channel the New row makes the channel, with its limits and
        // message; a refusal ends the series.
        CommitText(call, CL_Mch_Freq, row, Trimmed(FormatMegahertz(uint32_t(hz))));
        if (row == end && org.ChannelsOfGroup(call.group) == channels) break;
        if (!request.name.empty())
            CommitText(call, CL_Mch_Name_Name, row,
                       request.name + " " + std::to_string(request.firstNumber + k));
        ++filled;
    }
    if (filled == 0) return 0;
    org.RecountNames(call.group);
    call.capsule.rangeFlags |= cmcCellCapsule::RangeSelect;
    call.capsule.rangeLow = low;
    call.capsule.rangeHigh = low + filled - 1;
    call.Send(ev::SheetTitle);
    call.Post(ev::RepaintAll);
    call.mask |= repaint::All;
    call.handled = true;
    return filled;
}

void RunFillSeries(indCellCall& call) {
    const auto& ask = call.logic.Document().askFill;
    if (call.kind != datKind::Mch || !ask) return;
    clsFillOffer offer;
    const cmcCellCapsule& capsule = call.capsule;
    if (capsule.rangeFlags & cmcCellCapsule::RangeActive)
        offer.rows = std::abs(capsule.rangeHigh - capsule.rangeLow) + 1;
    if (const std::optional<clsFillRequest> request = ask(offer)) FillSeries(call, *request);
}
