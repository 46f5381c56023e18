#include "app/indWritePlan.h"

#include "app/indCloneSafety.h"
#include "catalogue/cmcGTex.h"
#include "files/cmcCsvNames.h"
#include "files/cmcCsvText.h"
#include "files/cmcCsvValues.h"
#include "model/cmcEeprom.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace {

constexpr char PlanKey[] = "GI_WritePlan";
// The lines of "GI_WritePlan" the plan is told in.
enum class Say {
    ChangedOne = 5,
    ChangedMany,
    Added,
    Removed,
    Reset,
    OtherOne,
    OtherMany,
    Nothing,
    NotCompared,
    SameData,
    ResetHeading,
    WillReset,
    MemoryCh,
    Category,
    Group,
    ProgramSearch,
    Links,
    AutoWrite,
    BasicSearch,
    BankPrograms,
    BankChannels,
    Common,
    Other,
    Record,
    Join,     // two parts of the summary
    Sentence, // the summary as a sentence
    Then      // the summary, then a sentence after it
};

std::string Line(Say line, const std::vector<std::string>& parts = {}) {
    return cmcFillIn(cmcGTex::Process().GetLine(PlanKey, int(line)), parts);
}

using Record = std::pair<uint32_t, int>;

// An image as a document is after it is opened: adopted for the destination on a copy.
struct clsAdopted {
    clsAdopted(const cmcEeprom& image, const indDestination* destination)
        : organisation((copy.Assign(image), copy), destination) {
        AdoptLoadedImage(organisation);
    }
    cmcEeprom copy;
    cmcOrganisation organisation;
};

std::string Trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

class clsPlanBuilder {
  public:
    explicit clsPlanBuilder(const clsWritePlanInput& input) : input_(input) {}

    clsWritePlan Build();

  private:
    std::string Name(const cmcOrganisation& org, uint32_t kind, int index) const;
    std::string Heading(const clsDiffRecord& record) const;
    std::string Value(const datCh& record) const;
    void Resets(cmcOrganisation& sent);
    void Differences(cmcOrganisation& receiver, cmcOrganisation& sent);
    void Count(const clsDiffRecord& record, std::set<int>& changedSlots);
    void Add(const std::string& heading, clsPlanLine line);

    const clsWritePlanInput& input_;
    const cmcOrganisation* receiver_ = nullptr;
    const cmcOrganisation* sent_ = nullptr;
    std::set<Record> reset_;
    clsWritePlan plan_;
    std::map<std::string, size_t> sectionOf_;
};

std::string clsPlanBuilder::Name(const cmcOrganisation& org, uint32_t kind, int index) const {
    datCh record = org.Record();
    record.Load(kind, index);
    const std::string name = Trimmed(CsvNameFromImage(
        std::string_view(record.name.data(), record.name.size()), input_.japaneseText));
    return name.empty() ? std::to_string(index) : name;
}

// The sheet a record shows in, named by its place in the tree.
std::string clsPlanBuilder::Heading(const clsDiffRecord& record) const {
    const cmcOrganisation& org = record.InFirst() && receiver_ ? *receiver_ : *sent_;
    auto groupHeading = [&](int group) {
        if (group < 0 || group >= org.GroupCount()) return Line(Say::MemoryCh);
        const int category = org.CategoryOfGroup(group);
        return Line(Say::Group,
                    {Name(org, datKind::Category, category), Name(org, datKind::Group, group)});
    };
    switch (record.kind) {
    case datKind::Category:
        return Line(Say::MemoryCh);
    case datKind::Group:
        if (record.index < 0 || record.index >= org.GroupCount()) return Line(Say::MemoryCh);
        return Line(Say::Category,
                    {Name(org, datKind::Category, org.CategoryOfGroup(record.index))});
    case datKind::Name:
        return groupHeading(record.index);
    case datKind::Mch:
        for (int g = 0; g < org.GroupCount(); ++g)
            if (record.index >= org.FirstChannelOfGroup(g) &&
                record.index < org.FirstChannelOfGroup(g) + org.ChannelsOfGroup(g))
                return groupHeading(g);
        return Line(Say::MemoryCh);
    case datKind::PgSrch:
        return Line(Say::ProgramSearch);
    case datKind::PgLink:
        return Line(Say::Links);
    case datKind::AutoMWCH:
        return Line(Say::AutoWrite);
    case datKind::BasicBank:
        return Line(Say::BasicSearch);
    case datKind::BasicCh:
    case datKind::BasicPg: {
        const bool ch = record.kind == datKind::BasicCh;
        const int bank = record.index / (ch ? memmap::BankChEntries : memmap::BankPgEntries);
        return Line(ch ? Say::BankChannels : Say::BankPrograms,
                    {Name(org, datKind::BasicBank, bank)});
    }
    default:
        return Line(record.logicId != 0 ? Say::Common : Say::Other);
    }
}

// "253.000000 AM", edges and program entries "25.000000-960.000000 FM".
std::string clsPlanBuilder::Value(const datCh& record) const {
    std::string text = CsvFormatMegahertz(record.frequency, '.');
    if (record.kind == datKind::PgSrch || record.kind == datKind::BasicPg)
        text = CsvFormatMegahertz(record.secondFrequency, '.') + "-" + text;
    return text + " " + std::string(CsvSpell(csvlist::Mode, int(record.mode)));
}

void clsPlanBuilder::Add(const std::string& heading, clsPlanLine line) {
    auto [at, fresh] = sectionOf_.emplace(heading, plan_.sections.size());
    if (fresh) plan_.sections.push_back({heading, {}});
    plan_.sections[at->second].lines.push_back(std::move(line));
}

// Each replaced record, named as the sheets name it: the differences from the document to
// the copy that is written give the words.
void clsPlanBuilder::Resets(cmcOrganisation& sent) {
    if (input_.replaced.empty()) return;
    clsAdopted document(*input_.document, input_.destination);
    clsImageDiffOptions options;
    options.japaneseText = input_.japaneseText;
    std::map<Record, std::string> where;
    for (const clsImageDifference& difference : DiffDocuments(document.organisation, sent, options))
        if (!difference.record.InFirst())
            where.emplace(Record{difference.record.kind, difference.record.index},
                          difference.where);
    datCh before = document.organisation.Record(), after = sent.Record();
    const std::string heading = Line(Say::ResetHeading);
    for (const clsRecordRef& replaced : input_.replaced) {
        reset_.insert({replaced.kind, replaced.index});
        before.Load(replaced.kind, replaced.index);
        after.Load(replaced.kind, replaced.index);
        const auto found = where.find({replaced.kind, replaced.index});
        const std::string place = found != where.end()
                                      ? found->second
                                      : Line(Say::Record, {std::to_string(replaced.index)});
        clsPlanLine line;
        line.text = place + ": " + Line(Say::WillReset, {Value(before), Value(after)});
        line.reset = true;
        line.record = {replaced.kind, replaced.index};
        Add(heading, std::move(line));
        ++plan_.resets;
    }
}

void clsPlanBuilder::Count(const clsDiffRecord& record, std::set<int>& changedSlots) {
    using Change = clsDiffRecord::Change;
    if (record.kind == datKind::Mch) {
        if (record.change == Change::Added)
            ++plan_.channelsAdded;
        else if (record.change == Change::Removed)
            ++plan_.channelsRemoved;
        else if (changedSlots.insert(record.index).second)
            ++plan_.channelsChanged;
        return;
    }
    // A group added or removed whole brings or takes its channels.
    if (record.kind == datKind::Group && record.change == Change::Added)
        plan_.channelsAdded += sent_->ChannelsOfGroup(record.index);
    else if (record.kind == datKind::Group && record.change == Change::Removed)
        plan_.channelsRemoved += receiver_->ChannelsOfGroup(record.index);
    ++plan_.otherChanges;
}

void clsPlanBuilder::Differences(cmcOrganisation& receiver, cmcOrganisation& sent) {
    clsImageDiffOptions options;
    options.japaneseText = input_.japaneseText;
    std::vector<clsImageDifference> differences = DiffDocuments(receiver, sent, options);
    // A difference adoption hides (a byte the program rewrites on loading) still shows.
    if (differences.empty() && plan_.receiverChanges)
        for (const std::string& line : DifferingAddresses(*input_.receiver, *input_.sent, MapSize))
            differences.push_back({Line(Say::Other), line, {}});
    std::set<int> changedSlots;
    for (clsImageDifference& difference : differences) {
        const clsDiffRecord& record = difference.record;
        if (!record.InFirst() && reset_.count({record.kind, record.index})) continue;
        Count(record, changedSlots);
        Add(Heading(record), {difference.Text(), false, record});
    }
}

clsWritePlan clsPlanBuilder::Build() {
    clsAdopted sent(*input_.sent, input_.destination);
    sent_ = &sent.organisation;
    plan_.compared = input_.receiver != nullptr;
    Resets(sent.organisation);
    if (!input_.receiver) return std::move(plan_);
    plan_.receiverChanges = input_.receiver->GetSize() < MapSize ||
                            input_.sent->GetSize() < MapSize ||
                            !std::equal(input_.receiver->Data(), input_.receiver->Data() + MapSize,
                                        input_.sent->Data());
    clsAdopted receiver(*input_.receiver, input_.destination);
    receiver_ = &receiver.organisation;
    Differences(receiver.organisation, sent.organisation);
    receiver_ = nullptr;
    return std::move(plan_);
}

} // namespace

std::string clsWritePlan::Summary() const {
    std::vector<std::string> parts;
    auto count = [&](int n, Say line) {
        if (n > 0) parts.push_back(Line(line, {std::to_string(n)}));
    };
    if (compared) {
        if (channelsChanged > 0)
            parts.push_back(Line(channelsChanged == 1 ? Say::ChangedOne : Say::ChangedMany,
                                 {std::to_string(channelsChanged)}));
        count(channelsAdded, Say::Added);
        count(channelsRemoved, Say::Removed);
    }
    count(resets, Say::Reset);
    if (compared && otherChanges > 0)
        parts.push_back(Line(otherChanges == 1 ? Say::OtherOne : Say::OtherMany,
                             {std::to_string(otherChanges)}));
    std::string summary;
    for (const std::string& part : parts)
        summary = summary.empty() ? part : Line(Say::Join, {summary, part});
    auto then = [&](Say after) {
        return summary.empty() ? Line(after) : Line(Say::Then, {summary, Line(after)});
    };
    if (!compared) return then(Say::NotCompared);
    if (!receiverChanges) return then(Say::SameData);
    return summary.empty() ? Line(Say::Nothing) : Line(Say::Sentence, {summary});
}

std::vector<std::string> clsWritePlan::Text() const {
    std::vector<std::string> text{Summary()};
    for (const clsPlanSection& section : sections) {
        text.push_back(section.heading);
        for (const clsPlanLine& line : section.lines)
            text.push_back((line.reset ? "! " : "  ") + line.text);
    }
    return text;
}

int clsWritePlan::LineCount() const {
    int count = 0;
    for (const clsPlanSection& section : sections)
        count += 1 + int(section.lines.size());
    return count;
}

const clsPlanLine* clsWritePlan::LineAt(int position) const {
    for (const clsPlanSection& section : sections) {
        if (position == 0) return nullptr; // the heading
        --position;
        if (position < int(section.lines.size())) return &section.lines[size_t(position)];
        position -= int(section.lines.size());
    }
    return nullptr;
}

clsWritePlan BuildWritePlan(const clsWritePlanInput& input) {
    return clsPlanBuilder(input).Build();
}

cmcListQuestion WritePlanQuestion(const clsWritePlan& plan) {
    cmcGTex& text = cmcGTex::Process();
    cmcListQuestion question;
    question.caption = text.GetLine(PlanKey, 0);
    question.summary = plan.Summary();
    using Kind = cmcListQuestion::Kind;
    for (const clsPlanSection& section : plan.sections) {
        question.lines.push_back({section.heading, Kind::Heading});
        for (const clsPlanLine& line : section.lines)
            question.lines.push_back({line.text, line.reset ? Kind::Marked : Kind::Plain});
    }
    if (!question.lines.empty()) question.note = text.GetLine(PlanKey, 4);
    question.buttons = {text.GetLine(PlanKey, 1)};
    question.copyButton = text.GetLine(PlanKey, 3);
    question.cancelButton = text.GetLine(PlanKey, 2);
    return question;
}
