#include "weatherview/run_check.h"

#include "common/connection.h"
#include "common/fixed_text.h"
#include "weather/messages.h"
#include "weatherview/input_lines.h"
#include "weatherview/replay.h"
#include "weatherview/view_messages.h"
#include "weatherview/weather_file_reader.h"

namespace weatherview {
namespace {

// Opens PATH for reading when it is a regular file. Returns nullptr with
// PROBLEM set (or left empty for a file that is not there) otherwise.
std::unique_ptr<common::File> open_file(common::FileSystem& fs, const std::string& path, bool& found,
                                        std::string& problem) {
    const common::FileType t = fs.type(path);
    found = t != common::FileType::Missing;
    if (!found) return nullptr;
    if (t != common::FileType::Regular) {
        problem = weather::msg::not_a_file(path, common::type_words(t));
        return nullptr;
    }
    std::string err;
    auto file = fs.open_read(path, err);
    if (!file) problem = weather::msg::cannot_open(path, err);
    return file;
}

void read_log(RunCheck& c, common::FileSystem& fs) {
    auto file = open_file(fs, c.params.LOGFILE, c.log_found, c.log_problem);
    if (!file) return;
    common::Connection log(weather::kLogUnit, c.params.LOGFILE, std::move(file));
    std::string_view rec;
    if (log.next_record(rec) == common::RecordStatus::Ok) {
        c.log_line = std::string(common::trim_right(rec));
    } else {
        c.log_problem = msg::empty_log(c.params.LOGFILE);
    }
}

}  // namespace

std::unique_ptr<RunCheck> check_run(const weather::RunParameters& p, DataType type, common::FileSystem& fs) {
    auto c = std::make_unique<RunCheck>(type);
    c->params = p;
    read_log(*c, fs);

    std::unique_ptr<common::Connection> out;
    std::unique_ptr<WeatherFileReader> file;
    if (auto f = open_file(fs, p.OUTFILE, c->file_found, c->file_problem)) {
        out = std::make_unique<common::Connection>(weather::kOutputUnit, p.OUTFILE, std::move(f));
        file = std::make_unique<WeatherFileReader>(*out, type);
    }
    UnitComparer compare(type, p.STA, file.get(), c->values);

    bool input_found = false;
    LineTracker lines;
    auto in_file = open_file(fs, p.INFILE, input_found, c->input_problem);
    if (!input_found) c->input_problem = msg::input_missing(p.INFILE);
    if (in_file) {
        c->input_read = true;
        common::Connection in(weather::kInputUnit, p.INFILE, lines.track(std::move(in_file)));
        SeriesInput series(in, lines, type);
        ReplaySetup setup{type, p.UNITS, p.STA, p.NHR, p.BEGHR};
        auto replay = make_replay(setup, c->findings, c->marks, compare);
        InputRecord r;
        bool long_line = false;  // the run stops at a line too long to read
        while (series.next(r)) {
            replay->record(r);
            long_line = long_line || (r.refusal == Refusal::TooLong && replay->stopped_at() == r.line);
        }
        replay->end();
        c->refusal = replay->refusal();
        c->stopped_at = replay->stopped_at();
        // METCONV's driver gives such a line its own log line.
        c->expected_log = long_line ? weather::msg::overlong_record(p.INFILE) : replay->expected_log();
        c->records = replay->records();
        c->refused = replay->refused();
        c->not_converted = replay->not_converted();
    }
    // Without the input there is nothing to compare the file with: its
    // values are shown as they stand.
    if (c->input_read)
        compare.finish();
    else
        compare.take_all();
    c->differences = compare.differences();
    c->difference_count = compare.difference_count();
    c->expected_statements = compare.expected();
    c->file_statements = compare.read();
    c->other_station = compare.other_station();
    c->other_station_line = compare.other_station_line();
    c->other_station_number = compare.other_station_number();
    return c;
}

}  // namespace weatherview
