#pragma once

#include "SearchCases.h"
#include "SearchRig.h"

#include <QString>

#include <vector>

namespace bench {

// The named figures: first and next page, a firm name prefix, the match count
// and a telephone search to its end. Only those whose name contains only run
// (all when it is empty).
void runNamedFigures(SearchRig& rig, int repetitions, const QString& only);

struct CaseOptions {
    int repetitions = 5;
    bool plans = false; // print each case's native statement and its query plan
    Clock clock = Clock::Wall;
};

// Each case's search up to its first page against its bare statement, and the
// fixed cost of a search beyond its statement.
void runCases(SearchRig& rig, const std::vector<search_cases::SearchCase>& cases, const CaseOptions& options);

} // namespace bench
