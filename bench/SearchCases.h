#pragma once

#include "SearchCriteria.h"

#include <QString>

#include <stdexcept>
#include <vector>

// The battery of searches the benchmark runs: one search a line, written with
// the control names of the persons and firms pages, read into the search
// fields the page would read from its controls and normalised as the page
// normalises them.
//
// A line: the page ("persons" or "firms"), then tab-separated control=value
// pairs. Boxes take their text as written (blanks included); the region list
// takes the text of one of its items; a wildcard switch takes "on" or "off"
// and otherwise stays as it is when the program starts. Empty lines and lines
// starting with "#" are skipped.
namespace search_cases {

struct SearchCase {
    int line = 0; // 1-based line number in the file
    QString text; // the line as written
    search_criteria::Directory directory = search_criteria::Directory::Persons;
    search_criteria::SearchFields fields; // normalised
    bool byTelephone() const { return !fields.telephone.isEmpty(); }
};

// A line that cannot be read as a search; what() names the line.
class CaseError : public std::runtime_error {
  public:
    explicit CaseError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

  private:
    QString m_message;
};

// The searches of a case file's text, in file order. Throws CaseError at the
// first malformed line.
std::vector<SearchCase> parse(const QString& text);

// parse() over a UTF-8 file; an unreadable file is a CaseError too.
std::vector<SearchCase> readFile(const QString& path);

} // namespace search_cases
