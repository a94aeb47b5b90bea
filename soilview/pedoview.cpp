#include "soilview/pedoview.h"

#include <exception>

#include "common/fixed_text.h"
#include "common/layout.h"
#include "common/record_write.h"
#include "common/run_files.h"
#include "figure/page.h"
#include "soilview/messages.h"
#include "soilview/report_page.h"
#include "soilview/run_names.h"
#include "soilview/run_tables.h"

namespace soilview {
namespace {

constexpr int kPageUnit = 2;

struct Request {
    std::string infile;
    std::string figure;  // empty: the page
};

// An end of the run with a console line.
struct Stop {
    std::string line;
};

[[noreturn]] void stop(std::string line) {
    throw Stop{std::move(line)};
}

void check_input(common::FileSystem& fs, const std::string& path, bool log, const std::string& infile) {
    const common::FileType type = fs.type(path);
    if (type == common::FileType::Missing) stop(log ? msg::log_not_found(path, infile) : msg::not_found(path));
    if (type != common::FileType::Regular) stop(msg::not_a_file(path, common::type_words(type)));
}

// The page of a run that is still working: it shows none of the run's
// files, which are being replaced.
std::string in_progress_html(const RunNames& names) {
    figure::Page page("PEDOPRE run of " + common::printable(names.infile));
    page.set_subtitle("The tables PEDOPRE is writing for " + common::printable(names.infile) + ".");
    page.add_section("Run in progress");
    page.add_paragraph("PEDOPRE is running on these files now (its log " + common::printable(names.log) +
                       " is held by the run), so none of them is shown: they are being replaced. Run PEDOVIEW again "
                       "when the run has ended.");
    return page.html();
}

// What a run wrote: its console line and the file's name.
struct Written {
    std::string line, target;
};

Written view(const Request& req, common::FileSystem& fs, int wait_ms) {
    RunNames names;
    std::string too_long;
    if (!run_names(req.infile, names, too_long)) stop(msg::name_too_long(too_long));
    check_input(fs, names.infile, false, names.infile);
    check_input(fs, names.log, true, names.infile);

    // What is written never replaces what PEDOPRE read or wrote.
    const std::string target = req.figure.empty() ? names.page : beside(names, "." + req.figure + ".svg");
    std::vector<std::string> theirs = names.outputs();
    theirs.push_back(names.infile);
    theirs.push_back(names.log);
    if (const std::string* f = common::overwrites_input(fs, target, theirs)) stop(msg::would_overwrite(target, *f));

    // The run's files are read under its log's lock, shared, so that no run
    // of PEDOPRE changes them half-way through and the page never mixes two
    // runs. A run still working after the wait is not read at all: the page
    // says so.
    bool in_progress = false;
    const std::unique_ptr<common::RunHold> hold = fs.hold_run(names.log, wait_ms, in_progress);
    std::string text;
    if (in_progress && !req.figure.empty()) {
        stop(msg::run_in_progress(names.log));
    } else if (in_progress) {
        text = in_progress_html(names);
    } else if (req.figure.empty()) {
        text = report_html(read_run(fs, names));
    } else {
        std::optional<std::string> svg = figure_svg(read_run(fs, names), req.figure);
        if (!svg) stop(msg::no_figure(req.figure));
        text = std::move(*svg);
    }

    common::UnitTable units(fs);
    common::Connection* c = units.open(kPageUnit, target);
    if (!c) stop(msg::cannot_open(target, units.last_error()));
    c->output() += text;
    c->output_done();
    if (!units.close(kPageUnit)) stop(msg::cannot_write(target, units.last_error()));
    return {req.figure.empty() ? msg::page_written(target) : msg::figure_written(target), target};
}

}  // namespace

common::PageOutcome run_pedoview(const std::vector<std::string>& args, common::Connection& console,
                                 common::FileSystem& fs, int wait_ms) {
    static const common::Layout kLine("(A)");
    common::PageOutcome outcome;
    common::ConsoleRecord shown(console);
    std::vector<std::string> lines;
    try {
        if (args.size() == 1 && args[0] == "--help") {
            lines = msg::usage(figure_ids());
        } else if (args.size() == 1 && args[0] == "--version") {
            lines = {msg::version()};
        } else {
            Request req;
            if (args.size() == 3 && args[0] == "--svg") {
                req.figure = args[1];
                req.infile = args[2];
                bool known = false;
                for (const std::string& id : figure_ids()) known = known || id == req.figure;
                if (!known) stop(msg::unknown_figure(req.figure));
            } else if (args.size() == 1) {
                req.infile = args[0];
            } else {
                stop(std::string(msg::kSyntax));
            }
            Written w = view(req, fs, wait_ms);
            outcome.page = std::move(w.target);
            lines = {std::move(w.line)};
        }
    } catch (const Stop& s) {
        lines = {s.line};
    } catch (const std::exception& e) {
        lines = {"ERROR: " + std::string(e.what())};
    }
    for (const std::string& line : lines) common::write_record(console, kLine, {line});
    outcome.console = shown.lines();
    return outcome;
}

}  // namespace soilview
