#include "weatherview/report_page.h"

#include <algorithm>
#include <cstdio>

#include "weather/calendar.h"
#include "weather/messages.h"
#include "weatherview/calendar_strip.h"
#include "weatherview/dates.h"
#include "weatherview/value_figures.h"

namespace weatherview {
namespace {

using figure::CheckStatus;

constexpr size_t kOpenRows = 40;  // tables longer than this are shown collapsed
constexpr size_t kListedGaps = 200;

std::string plural(int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string units_words(const RunCheck& c) {
    const std::string& u = c.params.UNITS;
    if (c.type == DataType::Temperature) {
        if (u == "DF") return "DF (degrees F)";
        if (u == "DC") return "DC (degrees C)";
        return u + " (taken as degrees C)";
    }
    if (u == "IN") return "IN (inches)";
    if (u == "CM") return "CM (centimetres)";
    if (u == "MM") return "MM (millimetres)";
    return u;
}

// The days of the strips, counted.
struct DayCount {
    int64_t value = 0, missing = 0, absent = 0, changed = 0, not_converted = 0;
};

DayCount count_days(const DayMarks& m) {
    DayCount n;
    for (const auto& [year, y] : m.years()) {
        const int64_t start = serial_day(year, 1);
        for (int32_t j = 1; j <= weather::YEARDAYS(year); ++j) {
            const int64_t s = start + j - 1;
            switch (static_cast<DayMark>(y.mark[static_cast<size_t>(j - 1)])) {
                case DayMark::Value:
                    ++n.value;
                    break;
                case DayMark::MissingCode:
                    ++n.missing;
                    break;
                case DayMark::Changed:
                    ++n.changed;
                    break;
                case DayMark::NotConverted:
                    ++n.not_converted;
                    break;
                case DayMark::None:
                    n.absent += s >= m.first_serial() && s <= m.last_serial();
                    break;
            }
        }
    }
    // Whole years without a record inside the series.
    int32_t prev = 0;
    bool any = false;
    for (const auto& [year, y] : m.years()) {
        if (any && year > prev + 1) {
            const int64_t from = std::max(serial_day(prev + 1, 1), m.first_serial());
            const int64_t to = std::min(serial_day(year, 1) - 1, m.last_serial());
            n.absent += std::max<int64_t>(0, to - from + 1);
        }
        prev = year;
        any = true;
    }
    return n;
}

struct Gap {
    int64_t first, last;  // serial days
    int64_t line_before, line_after;
};

// Runs of days without a record between the first and the last record.
std::vector<Gap> find_gaps(const DayMarks& m, int64_t& total) {
    std::vector<Gap> gaps;
    total = 0;
    bool any = false;
    int64_t prev = 0, prev_line = 0;
    for (const auto& [year, y] : m.years()) {
        const int64_t start = serial_day(year, 1);
        for (int32_t j = 1; j <= weather::YEARDAYS(year); ++j) {
            const int64_t line = y.first_line[static_cast<size_t>(j - 1)];
            const int64_t s = start + j - 1;
            if (line == 0 || s < m.first_serial() || s > m.last_serial()) continue;
            if (any && s > prev + 1) {
                ++total;
                if (gaps.size() < kListedGaps) gaps.push_back({prev + 1, s - 1, prev_line, line});
            }
            any = true;
            prev = s;
            prev_line = y.last_line[static_cast<size_t>(j - 1)];
        }
    }
    return gaps;
}

std::string day_text(int64_t serial) {
    int32_t y = 0, j = 0;
    from_serial(serial, y, j);
    return date_text(y, j);
}

// What the weather file shows for the days of a gap.
std::string gap_in_file(const RunCheck& c, const Gap& g) {
    if (c.type == DataType::DailyRain) return "no entries: the model reads dry days";
    if (c.type == DataType::HourlyRain) return "no entries: no rain for those hours";
    // Daily files: -99 in the months the file holds, nothing in the others.
    bool held = false, not_held = false;
    for (int64_t s = g.first; s <= g.last && !(held && not_held); s += 1) {
        int32_t y = 0, j = 0, mo = 0, d = 0;
        from_serial(s, y, j);
        weather::JDAYMD(y, j, mo, d);
        auto it = c.values.years().find(y);
        const bool h = it != c.values.years().end() && (it->second.months >> (mo - 1) & 1u);
        held = held || h;
        not_held = not_held || !h;
        if (g.last - g.first > 800) break;  // long gaps: the start tells enough
    }
    if (held && !not_held) return "-99 (missing) on every day";
    if (!held) return "no statement for these months";
    return "-99 in the months the file holds; no statement for the others";
}

void add_series_section(figure::Page& page, const RunCheck& c, const DayCount& days) {
    const weather::RunParameters& p = c.params;
    page.add_section("1. The series");
    figure::Table t;
    t.caption = "What the series covers";
    t.header = {"", "This run"};
    auto row = [&](std::string a, std::string b) { t.rows.push_back({std::move(a), std::move(b)}); };
    row("Station", std::to_string(p.STA));
    row("Data type", p.TYPE + " (" + std::string(type_words(c.type)) + ")");
    row("Units of the input", units_words(c));
    if (c.type == DataType::DailyRain) {
        row("Spread of a day's rain", "over " + std::to_string(p.NHR) + " hours from hour " + std::to_string(p.BEGHR));
    }
    row("Input file", p.INFILE + (c.input_read ? "" : " (" + c.input_problem + ")"));
    row("Weather file",
        p.OUTFILE + (c.file_found ? (c.file_problem.empty() ? "" : " (" + c.file_problem + ")") : " (missing)"));
    row("METCONV's log",
        p.LOGFILE + ": " +
            (c.log_found ? (c.log_problem.empty() ? c.log_line : c.log_problem) : std::string("missing")));
    if (c.marks.last_serial() >= c.marks.first_serial()) {
        row("First day", day_text(c.marks.first_serial()));
        row("Last day", day_text(c.marks.last_serial()));
    }
    row("Records read", std::to_string(c.records));
    row("Records METCONV refuses", std::to_string(c.refused));
    // Changed days have values too.
    row(c.type == DataType::HourlyRain ? "Days with readings" : "Days with a value",
        std::to_string(days.value + days.changed));
    row("Days with the missing-value code -99", std::to_string(days.missing));
    row(c.type == DataType::HourlyRain ? "Days without a reading" : "Days without a record",
        std::to_string(days.absent));
    row("Days changed by the conversion", std::to_string(days.changed));
    if (days.not_converted > 0) row("Days never converted", std::to_string(days.not_converted));
    page.add_table(t, false);

    if (c.marks.years().empty()) {
        page.add_paragraph(c.input_read ? "The input holds no record with a date, so there is no day to show."
                                        : "The input could not be read, so there is no day to show.");
        return;
    }
    std::string caption = c.type == DataType::HourlyRain
                              ? "Each strip is a year, each column a day: blue where the day has readings."
                              : "Each strip is a year, each column a day: blue where the day has a value.";
    caption +=
        " Days changed by the conversion stand out in orange, above and below the strip; hover over a mark "
        "for its dates and first line in the input.";
    page.add_svg(calendar_strip(c.marks, c.type == DataType::HourlyRain), caption);
    if (c.marks.unmarked() > 0) {
        page.add_paragraph("Only the first " + std::to_string(DayMarks::kMaxYears) + " years are drawn; " +
                           plural(c.marks.unmarked(), "record", "records") + " of later years are not.");
    }
    // Years between the first and the last without any record.
    std::string between;
    int32_t prev = 0;
    bool any = false;
    for (const auto& [year, y] : c.marks.years()) {
        if (any && year > prev + 1) {
            between += (between.empty() ? "" : ", ") + std::to_string(prev + 1) +
                       (year > prev + 2 ? " to " + std::to_string(year - 1) : "");
        }
        prev = year;
        any = true;
    }
    if (!between.empty()) page.add_paragraph("No record at all for " + between + "; those years have no strip.");
}

void add_records_section(figure::Page& page, const RunCheck& c) {
    page.add_section("2. What the conversion did with each record");
    const Findings& f = c.findings;
    if (!c.input_read) {
        page.add_paragraph("The input could not be read (" + c.input_problem +
                           "), so its records cannot be compared "
                           "with the weather file.");
    } else if (!c.refusal.empty()) {
        page.add_paragraph("METCONV refuses this run before it reads a record (\"" + c.refusal + "\"): none of the " +
                           plural(c.records, "record", "records") + " is converted.");
    } else if (c.stopped_at != 0) {
        page.add_paragraph("METCONV stops at line " + std::to_string(c.stopped_at) + " with \"" + c.expected_log +
                           "\"; " + plural(c.not_converted, "later record is", "later records are") +
                           " never converted (marked in the strips).");
    } else if (c.records == 0) {
        page.add_paragraph("The input holds no record: METCONV ends with \"" + c.expected_log + "\".");
    }

    std::string summary;
    for (size_t k = 0; k < kFateCount; ++k) {
        const auto fate = static_cast<Fate>(k);
        if (f.count(fate) == 0) continue;
        summary += (summary.empty() ? "" : "; ") + std::string(fate_words(fate)) + ": " + std::to_string(f.count(fate));
    }
    if (c.input_read) {
        page.add_paragraph(summary.empty() ? "Every record reached the weather file as it was typed."
                                           : "Records that did not reach the weather file as typed, and records "
                                             "METCONV refuses, by what happened (a record may count twice): " +
                                                 summary + ".");
    }
    if (!f.rows().empty()) {
        figure::Table t;
        t.caption = "Records that did not reach the weather file as typed, and records METCONV refuses";
        t.header = {"Line", "Record as typed", "Date", "What happened", "Why"};
        for (const auto& [line, x] : f.rows()) {
            std::string what, why;
            for (const auto& [fate, reason] : x.reasons) {
                const std::string w(fate_words(fate));
                if (what.find(w) == std::string::npos) what += (what.empty() ? "" : ", ") + w;
                why += (why.empty() ? "" : "; ") + reason;
            }
            t.rows.push_back({std::to_string(line), x.text, x.when, what, why});
        }
        page.add_table(t, t.rows.size() > kOpenRows);
        std::string cut;
        for (size_t k = 0; k < kFateCount; ++k) {
            const auto fate = static_cast<Fate>(k);
            if (!f.complete(fate)) {
                cut += (cut.empty() ? "" : ", ") + std::to_string(f.count(fate)) + " " + std::string(fate_words(fate));
            }
        }
        if (!cut.empty()) {
            page.add_paragraph("Only the first " + std::to_string(Findings::kListed) + " records of each kind are " +
                               "listed (in all: " + cut + ").");
        }
    }

    int64_t gap_total = 0;
    const std::vector<Gap> gaps = find_gaps(c.marks, gap_total);
    if (!gaps.empty()) {
        figure::Table t;
        t.caption = c.type == DataType::HourlyRain ? "Days without a reading between the first and the last"
                                                   : "Days without a record between the first and the last";
        t.header = {"From", "To", "Days", "Between lines", "In the weather file"};
        for (const Gap& g : gaps) {
            t.rows.push_back({day_text(g.first), day_text(g.last), std::to_string(g.last - g.first + 1),
                              std::to_string(g.line_before) + " and " + std::to_string(g.line_after),
                              gap_in_file(c, g)});
        }
        page.add_table(t, t.rows.size() > kOpenRows);
        if (gap_total > static_cast<int64_t>(gaps.size())) {
            page.add_paragraph("Only the first " + std::to_string(gaps.size()) + " of " + std::to_string(gap_total) +
                               " gaps are listed.");
        }
    }

    if (!c.differences.empty()) {
        figure::Table t;
        t.caption = "Where the weather file differs from what METCONV writes for the input";
        t.header = {"Line of the weather file", "What differs"};
        for (const Difference& d : c.differences) {
            t.rows.push_back({d.line == 0 ? "past its end" : std::to_string(d.line), d.what});
        }
        page.add_table(t, t.rows.size() > kOpenRows);
        if (c.difference_count > static_cast<int64_t>(c.differences.size())) {
            page.add_paragraph(std::to_string(c.difference_count) + " statements differ; the first " +
                               std::to_string(c.differences.size()) + " are listed.");
        }
    }
}

void add_values_section(figure::Page& page, const RunCheck& c) {
    page.add_section("3. The values");
    const std::string unit(value_unit(c.type));
    if (c.file_found && c.file_problem.empty()) {
        page.add_paragraph(
            "As the weather file " + c.params.OUTFILE + " holds them, in " +
            (c.type == DataType::Temperature ? "whole degrees Fahrenheit" : "whole hundredths of an inch") + ".");
    } else if (c.input_read) {
        page.add_paragraph("There is no weather file to read: these are the values METCONV writes for the input, in " +
                           (c.type == DataType::Temperature ? std::string("whole degrees Fahrenheit")
                                                            : std::string("whole hundredths of an inch")) +
                           ".");
    }
    const std::vector<ValueFigure> figs = value_figures(c.values);
    if (figs.empty()) {
        page.add_paragraph("There are no values to draw.");
        return;
    }
    for (const ValueFigure& vf : figs) {
        if (vf.table_only) {
            page.add_table(vf.data, false);
            continue;
        }
        if (!vf.note.empty()) page.add_paragraph(vf.note);
        if (vf.data.rows.empty())
            page.add_figure(figure::render(vf.plot));
        else
            page.add_figure(figure::render(vf.plot), vf.data);
    }
    for (const figure::Table& t : largest_tables(c.values)) page.add_table(t, false);
    if (c.values.asterisks() > 0) {
        page.add_paragraph(
            plural(c.values.asterisks(), "field of the weather file holds", "fields of the weather file hold") +
            " asterisks: values too large for their columns, left out of the figures.");
    }
    if (c.values.repeated_months() > 0) {
        page.add_paragraph("The weather file holds " + plural(c.values.repeated_months(), "month", "months") +
                           " a second time (a year that comes back in the input); the figures take the later values.");
    }
}

void add_checks(figure::Page& page, const RunCheck& c, const DayCount& days) {
    const weather::RunParameters& p = c.params;
    const Findings& f = c.findings;
    // METCONV's log.
    const bool normal = c.log_line == weather::msg::kNormal;
    if (!c.log_found) {
        page.add_check(CheckStatus::Failed,
                       "There is no log " + p.LOGFILE + ": METCONV has not run with these arguments here");
    } else if (!c.log_problem.empty()) {
        page.add_check(CheckStatus::Failed, c.log_problem);
    } else if (normal) {
        page.add_check(CheckStatus::Passed, "METCONV's log " + p.LOGFILE + " says: " + c.log_line);
    } else {
        page.add_check(CheckStatus::Failed, "METCONV's log " + p.LOGFILE + " says: " + c.log_line);
    }
    if (c.log_found && c.log_problem.empty() && c.input_read && c.log_line != weather::msg::kUnfinished &&
        c.log_line != c.expected_log) {
        page.add_check(CheckStatus::Warning, "The log says \"" + c.log_line + "\" but the input gives \"" +
                                                 c.expected_log + "\": the log is from another run or another input");
    }
    // The weather file.
    const std::string file = std::string(file_words(c.type)) + " " + p.OUTFILE;
    if (!c.file_found) {
        page.add_check(CheckStatus::Failed, "The " + file + " is missing");
    } else if (!c.file_problem.empty()) {
        page.add_check(CheckStatus::Failed, c.file_problem);
    } else if (!c.input_read) {
        page.add_check(CheckStatus::Warning, "The " + file + " holds " +
                                                 plural(c.file_statements, "statement", "statements") +
                                                 "; without the input it cannot be compared");
    } else if (c.difference_count == 0) {
        page.add_check(CheckStatus::Passed, "The " + file + " holds what METCONV writes for the input: " +
                                                plural(c.file_statements, "statement", "statements") +
                                                ", compared field by field");
    } else {
        const Difference& d = c.differences.front();
        page.add_check(CheckStatus::Failed,
                       "The " + file + " differs from what METCONV writes for the input in " +
                           plural(c.difference_count, "statement", "statements") + ", first " +
                           (d.line == 0 ? std::string("past its end") : "at line " + std::to_string(d.line)) + ": " +
                           d.what);
    }
    if (c.other_station > 0) {
        page.add_check(CheckStatus::Failed, plural(c.other_station, "statement carries", "statements carry") +
                                                " station " + std::to_string(c.other_station_number) +
                                                " (first at line " + std::to_string(c.other_station_line) + "), not " +
                                                std::to_string(p.STA));
    } else if (c.file_statements > 0) {
        page.add_check(CheckStatus::Passed,
                       "Every statement of the weather file carries station " + std::to_string(p.STA));
    }
    if (c.type == DataType::Temperature && p.UNITS != "DF" && p.UNITS != "DC") {
        page.add_check(CheckStatus::Warning,
                       "UNITS " + p.UNITS + " is neither DF nor DC: METCONV takes it as degrees C");
    }
    if (!c.input_read) {
        page.add_check(CheckStatus::Failed, c.input_problem);
        return;
    }
    // The records.
    auto count = [&](std::initializer_list<Fate> fates) {
        int64_t n = 0;
        for (Fate x : fates) n += f.count(x);
        return n;
    };
    if (c.refused == 0) {
        page.add_check(CheckStatus::Passed, "METCONV refuses no record");
    } else {
        int64_t first = c.stopped_at;
        for (auto it = f.rows().begin(); first == 0 && it != f.rows().end(); ++it)
            for (const auto& [fate, why] : it->second.reasons)
                if (fate == Fate::Refused) first = it->first;
        page.add_check(CheckStatus::Failed, "METCONV refuses " + plural(c.refused, "record", "records") +
                                                ", the first at line " + std::to_string(first));
    }
    const int64_t left = count({Fate::Replaced, Fate::Lost});
    const int64_t misread = count({Fate::NullValue, Fate::NextLine, Fate::Ignored});
    if (left + misread == 0) {
        page.add_check(CheckStatus::Passed, "No record is left out, replaced or lost");
    } else {
        std::string what;
        if (left > 0) what = plural(left, "record is", "records are") + " replaced or never written";
        if (misread > 0) {
            what += (what.empty() ? "" : "; ") +
                    plural(misread, "record is not read as its line says", "records are not read as their lines say") +
                    " (a value kept from the record before, taken from the next line, or values ignored)";
        }
        page.add_check(CheckStatus::Warning, what);
    }
    const int64_t twice = count({Fate::SameTime, Fate::Twice});
    if (twice == 0)
        page.add_check(CheckStatus::Passed, "No day or hour is given twice");
    else
        page.add_check(CheckStatus::Warning,
                       plural(twice, "record gives", "records give") + " a day or an hour a second time");
    const int64_t order = f.count(Fate::OutOfOrder);
    if (order == 0)
        page.add_check(CheckStatus::Passed, "The records are in time order");
    else
        page.add_check(CheckStatus::Warning, plural(order, "record is", "records are") + " out of time order");
    if (c.type == DataType::HourlyRain) {
        // A rain gauge records when it rains: a day without a reading is a
        // dry day to the model, not a gap in the data, unless the gauge was
        // down. Only the missing-value code is a gap.
        if (days.missing == 0)
            page.add_check(CheckStatus::Passed, "No reading carries the missing-value code -99");
        else
            page.add_check(CheckStatus::Warning, plural(days.missing, "day has", "days have") + " readings of -99");
        if (days.absent > 0)
            page.add_check(CheckStatus::Passed,
                           plural(days.absent, "day has", "days have") +
                               " no reading between the first and the last; the model reads them as dry (see the "
                               "list of days without a reading, in case the gauge was down)");
    } else if (days.missing + days.absent == 0) {
        page.add_check(CheckStatus::Passed, "No day is missing between the first and the last");
    } else {
        page.add_check(CheckStatus::Warning,
                       plural(days.missing + days.absent, "day is", "days are") +
                           " missing between the first and the last: " + std::to_string(days.missing) + " with -99, " +
                           std::to_string(days.absent) + " without a record");
    }
    if (f.count(Fate::TooLarge) > 0) {
        page.add_check(CheckStatus::Warning, plural(f.count(Fate::TooLarge), "record converts", "records convert") +
                                                 " to a value too large for its columns (written as asterisks)");
    }
    if (f.count(Fate::Summed) > 0) {
        page.add_check(CheckStatus::Passed, plural(f.count(Fate::Summed), "reading is", "readings are") +
                                                " summed into the hour of an earlier reading");
    }
    const std::string plausible = plausibility_warning(c.values, p.UNITS);
    if (!plausible.empty())
        page.add_check(CheckStatus::Warning, plausible);
    else if (!c.values.years().empty())
        page.add_check(CheckStatus::Passed, "The largest values are plausible for UNITS " + p.UNITS);
}

}  // namespace

figure::Page report_page(const RunCheck& c, const std::string& args) {
    const weather::RunParameters& p = c.params;
    figure::Page page("METVIEW: " + p.INFILE + ", " + std::string(type_words(c.type)) + ", station " +
                      std::to_string(p.STA));
    page.set_subtitle("The run " + args + " checked: its input, its log and its " + std::string(file_words(c.type)) +
                      " " + p.OUTFILE + ".");
    if (c.log_found && c.log_problem.empty() && c.log_line == weather::msg::kUnfinished) {
        page.set_failed("METCONV's run did not finish: its log " + p.LOGFILE + " says \"" + c.log_line + "\"");
    } else if (c.log_found && c.log_problem.empty() && c.log_line != weather::msg::kNormal) {
        page.set_failed("METCONV's run failed: its log " + p.LOGFILE + " says \"" + c.log_line + "\"" +
                        (c.file_found ? "; what it wrote before is shown" : ""));
    } else if (!c.file_found) {
        page.set_failed("The " + std::string(file_words(c.type)) + " " + p.OUTFILE + " is missing" +
                        (c.log_found ? "" : " and so is METCONV's log " + p.LOGFILE + ": METCONV has not run here") +
                        (c.input_read ? "; the page shows the input and what METCONV would write for it" : ""));
    } else if (!c.input_read) {
        page.set_failed(c.input_problem);
    }
    const DayCount days = count_days(c.marks);
    add_checks(page, c, days);
    add_series_section(page, c, days);
    add_records_section(page, c);
    add_values_section(page, c);
    return page;
}

}  // namespace weatherview
