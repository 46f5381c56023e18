#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <vector>

// A table of text lines compiled into the program.
struct cmcTextTable {
    const char* const* lines = nullptr;
    size_t count = 0;
};

// The compiled-in tables.
cmcTextTable EnglishTable();
cmcTextTable JapaneseTable();
cmcTextTable HelpTopicTable();

// A catalogue text with its "%s" places filled in order from parts; places beyond the
// parts stay empty.
std::string cmcFillIn(const std::string& pattern, const std::vector<std::string>& parts);

// Serves one table of text lines by key. A key line is "#" followed by the key's name;
// the value is the lines after it. The key index is built lazily, at most once, up to
// "#End_Of_Ovl"; keys found deep in the index move to its front.
class cmcGTex {
  public:
    static constexpr size_t LineLimit = 8191;

    cmcGTex() = default;
    virtual ~cmcGTex() = default;
    cmcGTex(const cmcGTex&) = delete;
    cmcGTex& operator=(const cmcGTex&) = delete;

    // 1 when attached; 0 when a table is already attached (it stays).
    int Attach(cmcTextTable table);
    bool IsAttached() const { return mode_ == 1; }

    // Line n of the key's value. A missing key is fatal.
    std::string GetLine(const std::string& key, int n);
    std::string GetText(const std::string& key) { return GetLine(key, 0); }
    // Lines 0, 1, ... up to the first line beginning with "#", joined by "\n".
    std::string GetLines(const std::string& key);
    // Whether the key exists, without the fatal error; for checks of the program's data.
    bool HasKey(const std::string& key);

    // The process-wide catalogue of the running program.
    static cmcGTex& Process();
    static void SetProcess(cmcGTex* catalogue);

  private:
    struct Entry {
        std::string name;
        size_t firstLine;   // table index of the value's line 0
        size_t cachedLine;  // next line number n ...
        size_t cachedIndex; // ... and its table index
    };

    Entry* Find(const std::string& key);
    Entry& Require(const std::string& key); // fatal when missing
    const char* LineAt(size_t index) const;

    int mode_ = 0;
    cmcTextTable table_;
    size_t scan_ = 0;
    bool indexing_ = true;
    std::list<Entry> index_;
};

// The help-topic catalogue: the same engine over the help-topic table. Its key
// "GI_AppItem_Topic_ID" maps a cell logic id's name to a topic name ("IDH1013"), and
// "GI_AppItem_Context_ID" maps a topic name to the help pages' context id.
class cmcHelpGTex : public cmcGTex {
  public:
    // The context id of a cell logic id's name: the topic of the first line naming it, and
    // the context of the last line naming that topic; 0 when either is missing.
    int ContextOf(const std::string& logicIdName);

    static cmcHelpGTex& Process();
    static void SetProcess(cmcHelpGTex* catalogue);
};
