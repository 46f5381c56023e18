#pragma once

// The words the sheets show for the columns and values a CSV file spells: a column's
// heading as it stands over the column ("Tone Squelch, TSQL" under a joined heading) and a
// value as its pick list shows it ("-DUP" for "DUP-", "Auto" in the Japanese table as
// "オート"), in the language of the catalogue they are read from. The differences between
// two documents are told in these words.

#include <map>
#include <string>
#include <utility>

// Rows the comparison tells that no CSV file has.
namespace termkind {
constexpr int Link = 100; // a program-search link: "Name", "Edges"
constexpr int Bank = 101; // a basic-search bank: "Icon"
} // namespace termkind

class cmcSheetTerms {
  public:
    // Read from the process catalogue and its pick lists.
    cmcSheetTerms();

    // The heading of a column of a CSV kind (csvkind or termkind); the name itself for a
    // column no sheet shows.
    std::string Heading(int kind, const std::string& column) const;
    // The value as the column's pick list shows it; the value itself for a column without
    // a pick list or a value the list does not hold.
    std::string Value(int kind, const std::string& column, const std::string& value) const;

  private:
    struct Term {
        std::string heading;
        std::map<std::string, std::string> values; // CSV spelling → shown text
    };
    using Key = std::pair<int, std::string>;

    std::map<Key, Term> terms_;
};
