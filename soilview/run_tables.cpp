#include "soilview/run_tables.h"

#include <stdexcept>

#include "common/connection.h"
#include "common/fixed_text.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/run_outcome.h"

namespace soilview {
namespace {

constexpr int kUnit = 1;  // every file is read on this stream, one after the other

std::string layer_word(int32_t n) {
    return n == 1 ? "1 layer" : std::to_string(n) + " layers";
}

// Opens `status.path` for reading, or sets the state that says why not.
common::Connection* open(common::UnitTable& units, FileStatus& status) {
    common::FileSystem& fs = units.file_system();
    const common::FileType type = fs.type(status.path);
    if (type == common::FileType::Missing) {
        status.state = FileState::Missing;
        return nullptr;
    }
    if (type != common::FileType::Regular) {
        status.state = FileState::Unreadable;
        status.detail = "It is " + std::string(common::type_words(type)) + ", not a file.";
        return nullptr;
    }
    common::Connection* c = units.open_existing(kUnit, status.path);
    if (!c) {
        status.state = FileState::Unreadable;
        status.detail = "It cannot be opened: " + units.last_error() + ".";
        return nullptr;
    }
    status.state = FileState::Read;
    return c;
}

void incomplete(FileStatus& status, std::string detail) {
    status.state = FileState::Incomplete;
    status.detail = std::move(detail);
}

// Each take_* reads one output through its owner's reader into the tables
// and says how far it got.
void read_log(common::UnitTable& units, RunTables& r) {
    static const common::Layout kLine("(A)");
    common::Connection* c = open(units, r.log);
    if (!c) return;
    std::string line(256, ' ');
    if (common::read_record(*c, kLine, {line}) != common::ReadStatus::Done) {
        incomplete(r.log, "It holds no line.");
    } else {
        std::string_view text = common::trim_right(line);
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        r.log_line = std::string(text);
        if (common::says_normal_end(text))
            r.outcome = Outcome::Normal;
        else if (text.starts_with("ERROR: Run did not finish"))
            r.outcome = Outcome::Unfinished;
        else if (text.starts_with("ERROR"))
            r.outcome = Outcome::Failed;
    }
    units.close(kUnit);
}

void read_input(common::UnitTable& units, RunTables& r) {
    common::Connection* c = open(units, r.input_file);
    if (!c) return;
    r.input = read_main_input(*c);
    if (c->overlong()) r.input.problem = "A line is longer than 1048576 characters.";
    if (!r.input.problem.empty()) incomplete(r.input_file, r.input.problem);
    units.close(kUnit);
}

void take_mis(common::Connection& c, RunTables& r, FileStatus& s) {
    const auto form =
        r.input.form == InputForm::Measured ? soilprep::MisPoints::Measured : soilprep::MisPoints::VanGenuchten;
    const soilprep::MisRead got = soilprep::read_mis(c, r.mis, form);
    if (got.failed == soilprep::MisPart::Done) {
        r.mis_layers = r.mis.nlayer;
        return;
    }
    if (got.failed == soilprep::MisPart::Count) {
        r.mis.nlayer = 0;
        incomplete(s, got.out_of_range ? "Its layer count is outside 1 to 9." : "Its layer count does not read.");
        return;
    }
    r.mis_layers = got.layer;
    incomplete(s, "It stops in layer " + std::to_string(got.layer + 1) + " of " + std::to_string(r.mis.nlayer) +
                      (got.out_of_range ? " (a point count outside 1 to 100)" : "") + ": " + layer_word(got.layer) +
                      " read.");
}

void take_mq(common::Connection& c, RunTables& r, FileStatus& s) {
    using soilcalc::MqPart;
    const soilcalc::MqRead got = soilprep::read_mq(c, r.mq, soilcalc::MqColumns::All);
    switch (got.failed) {
        case MqPart::Done:
            r.mq_layers = r.mq.nl;
            r.mq_summary = r.mq_closing = true;
            return;
        case MqPart::Title:
        case MqPart::LayerCount:
            r.mq.nl = 0;
            incomplete(s, got.out_of_range ? "Its layer count is outside 1 to 10."
                                           : "Its title or layer count does not read.");
            return;
        case MqPart::Header:
        case MqPart::Rows:
            r.mq_layers = got.layer;
            incomplete(s, "It stops in the table of layer " + std::to_string(got.layer + 1) + " of " +
                              std::to_string(r.mq.nl) + (got.out_of_range ? " (a row count outside 1 to 100)" : "") +
                              ": " + layer_word(got.layer) + " read.");
            return;
        case MqPart::Summary:
            r.mq_layers = r.mq.nl;
            incomplete(s, "Its summary of the wetting-front suctions does not read.");
            return;
        case MqPart::Closing:
            r.mq_layers = r.mq.nl;
            r.mq_summary = true;
            incomplete(s, "Its closing record (GADEPTH ROOTDEPTH LSIN) does not read.");
            return;
    }
}

void take_wtd(common::Connection& c, RunTables& r, FileStatus& s) {
    using soilprep::WtdPart;
    const WtdPart got = soilprep::read_wtd(c, r.wtd);
    r.wtd_notices = got == WtdPart::Done || got == WtdPart::Table;
    switch (got) {
        case WtdPart::Done:
            return;
        case WtdPart::Title:
            incomplete(s, "Its title does not read.");
            return;
        case WtdPart::Notices:
            incomplete(s, "It ends before the echo of the inputs.");
            return;
        case WtdPart::Table:
            incomplete(s, r.wtd.rows == 0 ? std::string("It holds no table of drained volume.")
                                          : "Its table of drained volume stops after " + std::to_string(r.wtd.rows) +
                                                " of 101 rows.");
            return;
    }
}

void take_upq(common::Connection& c, RunTables& r, FileStatus& s) {
    if (soilprep::read_upq(c, r.upq)) return;
    incomplete(s, r.upq.rows == 0
                      ? std::string("It holds no water-table depths for the upward fluxes.")
                      : "It lists the water table of " + std::to_string(r.upq.rows) + " of the 21 upward fluxes.");
}

void take_out(common::Connection& c, RunTables& r, FileStatus& s) {
    switch (soilprep::read_out_report(c, r.out)) {
        case soilprep::OutPart::Done:
            return;
        case soilprep::OutPart::Volume:
            incomplete(s, "Its drained-volume section is missing or stops after " + std::to_string(r.out.volume_rows) +
                              " of 20 rows.");
            return;
        case soilprep::OutPart::Flux:
            incomplete(s, "It ends before its upward-flux section is complete (" + std::to_string(r.out.flux_rows) +
                              " of 20 rows).");
            return;
        case soilprep::OutPart::GreenAmpt:
            incomplete(s, "It ends before its Green-Ampt section is complete (" +
                              std::to_string(r.out.green_ampt_rows) + " of 10 rows).");
            return;
    }
}

void take_sin(common::Connection& c, RunTables& r, FileStatus& s) {
    std::string problem;
    r.sin_whole = read_sin(c, r.sin, problem) == SinPart::Done;
    if (!r.sin_whole) incomplete(s, problem);
}

}  // namespace

const FileStatus& RunTables::file(const std::string& path) const {
    for (const FileStatus& f : files)
        if (f.path == path) return f;
    throw std::logic_error("pedoview: " + path + " is no output of the run");
}

RunTables read_run(common::FileSystem& fs, const RunNames& names) {
    RunTables r;
    r.names = names;
    r.log.path = names.log;
    r.input_file.path = names.infile;
    common::UnitTable units(fs);
    read_log(units, r);
    read_input(units, r);

    using Reader = void (*)(common::Connection&, RunTables&, FileStatus&);
    const std::vector<std::pair<std::string, Reader>> readers = {
        {names.mis, take_mis}, {names.wtd, take_wtd}, {names.mq, take_mq},   {names.sav, nullptr},
        {names.wdv, nullptr},  {names.upq, take_upq}, {names.out, take_out}, {names.sin, take_sin}};
    for (const auto& [path, reader] : readers) {
        FileStatus s{path, FileState::Missing, {}};
        if (common::Connection* c = open(units, s)) {
            if (reader) reader(*c, r, s);
            if (c->overlong()) incomplete(s, "A line is longer than 1048576 characters.");
            units.close(kUnit);
        }
        r.files.push_back(std::move(s));
    }
    r.refs = run_references(r);
    return r;
}

}  // namespace soilview
