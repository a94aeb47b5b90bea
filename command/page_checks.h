// The checks of a report page read back from the page itself: PEDOVIEW and
// METVIEW list every check at the end of the page, one item each, with its
// level as the item's class and its text after the mark:
//
//   <section class="checks"> ... <li class="warning"><span class="mark">! warning</span> TEXT</li>
//
// as figure::Page writes them. Reading them from the page gives exactly
// what a reader of the page sees, whichever viewer wrote it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace command {

struct PageCheck {
    std::string level;  // "passed", "note", "warning" or "failed"
    std::string text;   // plain text, entities resolved
};

// The checks of the page HTML, in the page's order; none when the page has
// no list of checks.
std::vector<PageCheck> page_checks(std::string_view html);

// The warnings and failed checks: the page lists them as its warnings
// (notes are routine facts, passed checks nothing to look at).
int warning_count(const std::vector<PageCheck>& checks);

}  // namespace command
