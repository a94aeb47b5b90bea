#include "weatherview/metview.h"

#include <exception>

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/run_files.h"
#include "common/run_outcome.h"
#include "common/version.h"
#include "figure/page.h"
#include "weather/conversion.h"
#include "weather/messages.h"
#include "weather/metconv.h"
#include "weatherview/report_page.h"
#include "weatherview/run_check.h"
#include "weatherview/series_input.h"
#include "weatherview/view_messages.h"

namespace weatherview {
namespace {

// The refusals METCONV's driver makes before it opens its input, in its
// order, with its lines; empty when the arguments are good.
std::string refusal(const weather::RunParameters& p, DataType& type, common::FileSystem& fs) {
    for (const std::string* name : {&p.INFILE, &p.LOGFILE, &p.OUTFILE}) {
        if (name->size() > weather::kMessageLength) return weather::msg::name_too_long(*name);
    }
    if (common::overwrites_input(fs, p.INFILE, {p.LOGFILE}))
        return weather::msg::log_replaces_input(p.INFILE, p.LOGFILE);
    if (!p.argument_error.empty()) return p.argument_error;
    if (!data_type_of(p.TYPE, type)) return weather::msg::unknown_type(p.TYPE);
    float factor = 0.0f;
    if (type != DataType::Temperature && !weather::rain_factor(p.UNITS, factor)) {
        return weather::units_rejection(p.UNITS, p.TYPE);
    }
    if (common::overwrites_input(fs, p.INFILE, {p.OUTFILE})) return weather::msg::replaces_input(p.INFILE, p.OUTFILE);
    return {};
}

// The METCONV command line of the run, as the page shows it.
std::string joined(const std::vector<std::string>& args) {
    std::string s = "METCONV";
    for (const std::string& a : args) {
        s += ' ';
        s += common::printable(a);
    }
    return s;
}

// Writes TEXT as the file PATH, whole or not at all. Returns the system's
// reason when it cannot.
std::string write_page(common::FileSystem& fs, const std::string& path, const std::string& text) {
    std::string err;
    std::unique_ptr<common::File> f = fs.open_write(path, err);
    if (!f) return err.empty() ? "cannot be created" : err;
    if (!f->write(text.data(), text.size())) {
        err = f->error();
        f->discard();
        return err.empty() ? "cannot be written" : err;
    }
    if (!f->close()) return f->error().empty() ? "cannot be written" : f->error();
    return {};
}

// The page of a run that is still working: it shows none of the run's
// files, which are being replaced.
std::string in_progress_page(const weather::RunParameters& p, const std::string& command) {
    figure::Page page("METVIEW: " + common::printable(p.INFILE));
    page.set_subtitle("The run " + command + ", still working.");
    page.add_section("Run in progress");
    page.add_paragraph("METCONV is running on these files now (its log " + common::printable(p.LOGFILE) +
                       " is held by the run), so none of them is checked: they are being replaced. Run METVIEW again "
                       "when the run has ended.");
    return page.html();
}

}  // namespace

// METVIEW's usage text.
static void usage(common::Connection& console) {
    for (std::string_view line : msg::kUsageHead) common::write_free(console, {line});
    for (size_t k = 2; k < std::size(weather::msg::kUsage); ++k) common::write_free(console, {weather::msg::kUsage[k]});
    common::write_free(console, {msg::kUsageTail});
}

std::string version_line() {
    return common::version_line("METVIEW");
}

common::PageOutcome run_metview(const std::vector<std::string>& args, common::Connection& console_conn,
                                common::FileSystem& files, int wait_ms) {
    common::PageOutcome o;
    common::Connection& console = console_conn;
    common::ConsoleRecord shown(console);
    auto stop = [&](std::string_view line) {
        console.put_record(line);
        o.console = shown.lines();
        return o;
    };
    if (args.size() == 1 && args[0] == "--help") {
        usage(console);
        o.console = shown.lines();
        return o;
    }
    if (args.size() == 1 && args[0] == "--version") return stop(version_line());
    if (args.size() < 4) {
        usage(console);
        return stop(weather::msg::kConsoleStop);
    }
    try {
        // METCONV's own reading of the arguments names the files as it does.
        const weather::RunParameters p = weather::run_parameters(args);
        DataType type = DataType::Temperature;
        if (const std::string why = refusal(p, type, files); !why.empty()) {
            console.put_record(why);
            return stop(msg::kNoPage);
        }
        const std::string page = page_name(p.OUTFILE);
        if (common::overwrites_input(files, p.INFILE, {page})) {
            console.put_record(msg::page_replaces_input(p.INFILE, page));
            return stop(msg::kNoPage);
        }
        // The run's files are read under its log's lock, shared, so that no
        // run of METCONV changes them half-way through and the page never
        // mixes two runs. A run still working after the wait is not read.
        bool in_progress = false;
        const std::unique_ptr<common::RunHold> hold = files.hold_run(p.LOGFILE, wait_ms, in_progress);
        const std::string html = in_progress ? in_progress_page(p, joined(args))
                                             : report_page(*check_run(p, type, files), joined(args)).html();
        if (const std::string why = write_page(files, page, html); !why.empty()) {
            console.put_record(weather::msg::cannot_write(page, why));
            return stop(msg::kNoPage);
        }
        o.page = page;
        return stop(msg::page_written(page));
    } catch (const std::exception& e) {
        console.put_record(msg::internal_error(e.what()));
        return stop(msg::kNoPage);
    }
}

}  // namespace weatherview
