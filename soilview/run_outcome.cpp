#include "soilview/run_outcome.h"

#include "common/fixed_text.h"
#include "soilview/figure_block.h"

namespace soilview {
namespace {

std::string quoted_log(const RunTables& r) {
    const std::string log = common::printable(r.names.log);
    if (r.log_line.empty()) return "The folder's log " + log + " holds no outcome";
    return "The folder's log " + log + " says \"" + common::printable(r.log_line) + "\"";
}

constexpr const char* kShared =
    "that log is shared by every soil in this folder and holds the outcome of the last "
    "run made there, for whichever soil";

}  // namespace

bool outputs_whole(const RunTables& r) {
    if (r.files.empty()) return false;
    for (const FileStatus& f : r.files)
        if (f.state != FileState::Read) return false;
    return r.sin_whole;
}

std::string failure_reason(const RunTables& r) {
    if (outputs_whole(r)) return {};
    std::vector<std::string> missing, incomplete;
    for (const FileStatus& f : r.files) {
        if (f.state == FileState::Missing)
            missing.push_back(common::printable(f.path));
        else if (f.state != FileState::Read)
            incomplete.push_back(common::printable(f.path));
    }
    std::string files = "This soil's own files show a run that did not reach its end:";
    if (!missing.empty()) files += " missing " + listed(missing) + (incomplete.empty() ? "." : ";");
    if (!incomplete.empty()) files += " incomplete or unreadable " + listed(incomplete) + ".";
    files += " Shown below is what there is. ";
    switch (r.outcome) {
        case Outcome::Normal:
            return files + quoted_log(r) + ", but " + kShared +
                   ": here it is not this soil's, since a run of this soil that ends normally leaves all eight "
                   "outputs whole.";
        case Outcome::Failed:
            return files + quoted_log(r) + "; " + kShared + ", so the line may be this soil's or another's.";
        case Outcome::Unfinished:
            return files + quoted_log(r) +
                   ": a run in this folder is working, or was stopped from outside before "
                   "its end; " +
                   kShared + ".";
        case Outcome::Unknown:
            return files + quoted_log(r) + ".";
    }
    return files;
}

std::string log_disagreement(const RunTables& r) {
    if (!outputs_whole(r) || r.outcome == Outcome::Normal) return {};
    std::string text = quoted_log(r) +
                       ", but this soil's eight outputs are whole, .SIN included, which only a run "
                       "that reached its end leaves. The log is shared by every soil in this folder and holds the "
                       "outcome of the last run made there: another soil's, or a later run of this soil that stopped "
                       "before it wrote anything (these tables would then be from an earlier run).";
    if (r.outcome == Outcome::Unfinished)
        text += " A run that did not finish may also be working now and replace these files when it ends.";
    return text;
}

}  // namespace soilview
