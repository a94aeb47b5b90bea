#include "weather/metconv.h"

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_write.h"
#include "common/run_files.h"
#include "common/version.h"
#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weather/cvtdlyr.h"
#include "weather/cvtet.h"
#include "weather/cvthlyr.h"
#include "weather/cvttmp.h"
#include "weather/messages.h"

namespace weather {
namespace {

// The first two characters of an argument, blank-padded and upper-cased.
std::string code_of(std::string_view arg) {
    std::string s = common::fixed(arg, 2);
    for (char& c : s) c = UPCASE(c);
    return s;
}

bool known_type(std::string_view type) {
    return type == "TP" || type == "ET" || type == "HR" || type == "DR";
}

// The driver's checks of a run before the input and the output are opened.
// Returns the log line of the first check that fails, or an empty text.
std::string check_run(common::FileSystem& fs, const RunParameters& p) {
    if (!p.argument_error.empty()) return p.argument_error;
    if (!known_type(p.TYPE)) return msg::unknown_type(p.TYPE);
    float factor = 0.0f;
    if (p.TYPE != "TP" && !rain_factor(p.UNITS, factor)) return units_rejection(p.UNITS, p.TYPE);
    if (common::overwrites_input(fs, p.INFILE, {p.OUTFILE})) return msg::replaces_input(p.INFILE, p.OUTFILE);
    return {};
}

// The log's one record: the message through layout (A) of the
// 256-character message text.
std::string log_record(std::string_view message) {
    static const common::Layout kLogLine("(A)");
    return common::format_record(kLogLine, {common::fixed(message, kMessageLength)});
}

int32_t run_converter(const RunParameters& p, common::Connection& in, common::Connection& out, std::string& message) {
    if (p.TYPE == "TP") return CVTTMP(in, out, p.UNITS, p.STA, message);
    if (p.TYPE == "ET") return CVTET(in, out, p.UNITS, p.STA, message);
    if (p.TYPE == "HR") return CVTHLYR(in, out, p.UNITS, p.STA, message);
    return CVTDLYR(in, out, p.UNITS, p.STA, p.NHR, p.BEGHR, message);
}

}  // namespace

bool read_integer_argument(std::string_view text, int32_t& v) {
    // A blank, a null value or a slash leaves the target unchanged: read with
    // two different starting values to tell that from a number.
    const std::string field(text.substr(0, 6));
    int32_t a = 0, b = 1;
    auto c = common::Connection::in_memory(0, "argument", field);
    if (common::read_free(*c, {a}) != common::ReadStatus::Done) return false;
    c->rewind();
    if (common::read_free(*c, {b}) != common::ReadStatus::Done || a != b) return false;
    v = a;
    return true;
}

bool CMDARGS(const std::vector<std::string>& args, RunParameters& p, common::Connection& console) {
    if (args.size() < 4) {
        for (std::string_view line : msg::kUsage) common::write_free(console, {line});
        return false;
    }
    p.INFILE = args[0];  // as given, trailing blanks included
    p.TYPE = code_of(args[1]);
    p.UNITS = code_of(args[2]);
    if (!read_integer_argument(args[3], p.STA)) p.argument_error = msg::not_integer("<STA>", args[3]);
    if (p.TYPE == "DR" && p.argument_error.empty()) {
        const char* names[2] = {"<NHR>", "<BEGHR>"};
        int32_t* targets[2] = {&p.NHR, &p.BEGHR};
        for (size_t k = 0; k < 2 && p.argument_error.empty(); ++k) {
            if (args.size() < 5 + k) {
                p.argument_error = msg::missing_for_daily_rain(names[k]);
            } else if (!read_integer_argument(args[4 + k], *targets[k])) {
                p.argument_error = msg::not_integer(names[k], args[4 + k]);
            }
        }
    }
    if (p.TYPE == "TP")
        p.EXT = "TEM";
    else if (p.TYPE == "ET")
        p.EXT = "PET";
    else if (p.TYPE == "HR" || p.TYPE == "DR")
        p.EXT = "RAI";
    // The file name, the last part of the path, is cut at its first ".";
    // the folder part stays as given. No "." gives the bare extension.
    const size_t slash = p.INFILE.rfind('/');
    const size_t name = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = p.INFILE.find('.', name);
    const std::string stem = p.INFILE.substr(0, dot == std::string::npos ? name : dot + 1);
    p.LOGFILE = stem + "LOG";
    p.OUTFILE = stem + p.EXT;
    return true;
}

RunParameters run_parameters(const std::vector<std::string>& args) {
    auto quiet = common::Connection::in_memory(kConsoleUnit, "console");
    RunParameters p;
    CMDARGS(args, p, *quiet);
    return p;
}

common::RunOutcome run_metconv(const std::vector<std::string>& args, common::Connection& console,
                               const common::RunOptions& options) {
    common::RunOutcome o;
    common::ConsoleRecord shown(console);
    auto stop = [&](std::string_view line) {
        console.put_record(line);
        o.console = shown.lines();
        return o;
    };
    if (common::answer_question(args, "METCONV", msg::kUsage, console)) {
        o.console = shown.lines();
        return o;
    }
    common::FileSystem& files = options.files ? *options.files : common::disk();
    RunParameters p;
    if (!CMDARGS(args, p, console)) return stop(msg::kConsoleStop);
    // Names are never cut to fit their 256 characters: a name too long
    // stops the run on the console, since no log can be named.
    for (const std::string* name : {&p.INFILE, &p.LOGFILE, &p.OUTFILE}) {
        if (name->size() > kMessageLength) return stop(msg::name_too_long(*name));
    }
    // The log is checked against the input before anything is opened for
    // writing: if they are one file, nothing can be written at all.
    if (common::overwrites_input(files, p.INFILE, {p.LOGFILE}))
        return stop(msg::log_replaces_input(p.INFILE, p.LOGFILE));
    // From here on the log says that the run has not finished, until its
    // one line replaces that.
    common::UnitTable units(files);
    common::RunFiles run_files(units);
    std::string reason;
    bool removed = false;
    if (!run_files.open_log(p.LOGFILE, log_record(msg::kUnfinished), reason, removed)) {
        console.put_record(msg::log_unusable(msg::cannot_open_log(p.LOGFILE, reason), removed));
        for (const std::string& left : run_files.standing()) common::write_free(console, {left});
        o.console = shown.lines();
        return o;
    }

    std::string message = check_run(files, p);
    int32_t result = message.empty() ? 0 : -1;
    // Only a regular file is read: a folder, a named pipe or a device is
    // refused before it is opened.
    if (const common::FileType t = files.type(p.INFILE);
        result == 0 && t != common::FileType::Regular && t != common::FileType::Missing) {
        message = msg::not_a_file(p.INFILE, common::type_words(t));
        result = -1;
    }
    if (result == 0) {
        common::Connection* in = units.open_existing(kInputUnit, p.INFILE);
        if (!in) {
            message = msg::cannot_open(p.INFILE, units.last_error());
            result = -1;
        } else {
            run_files.begin_outputs({p.OUTFILE});
            common::Connection* out = units.open(kOutputUnit, p.OUTFILE);
            if (!out) {
                message = msg::cannot_open(p.OUTFILE, units.last_error());
                result = -1;
            } else {
                result = run_converter(p, *in, *out, message);
                if (result != 0 && in->overlong()) message = msg::overlong_record(p.INFILE);
                // Whatever the converter wrote before a failure stays.
                if (!units.close(kOutputUnit) && result == 0) {
                    message = msg::cannot_write(p.OUTFILE, units.last_error());
                    result = -1;
                }
            }
        }
    }
    if (result == 0) message = msg::kNormal;

    const std::string record = log_record(message);
    const bool logged = run_files.finish(record, reason);
    for (const std::string& left : run_files.standing()) common::write_free(console, {left});
    if (!logged) return stop(msg::cannot_write(p.LOGFILE, reason));
    o.log_line = record.substr(0, kMessageLength);
    o.ok = result == 0;
    return stop(result == 0 ? msg::kConsoleNormal : msg::kConsoleError);
}

}  // namespace weather
