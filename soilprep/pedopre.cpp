#include "soilprep/pedopre.h"

#include <initializer_list>
#include <optional>

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "common/run_files.h"
#include "common/version.h"
#include "soilcalc/grnampt.h"
#include "soilcalc/mhgenuch.h"
#include "soilcalc/milnqrk.h"
#include "soilcalc/upflux.h"
#include "soilcalc/wtvoldrn.h"
#include "soilprep/fpehand.h"
#include "soilprep/getfilepath.h"
#include "soilprep/mhinput.h"
#include "soilcalc/messages.h"
#include "soilprep/readswcfile.h"
#include "soilcalc/run_state.h"
#include "soilcalc/characteristic.h"

namespace pedopre {
namespace {

constexpr std::string_view kLogName = "PEDOPRE.LOG";

// An abnormal stop: the log line's text and how it is written. The driver's
// own lines are written as their text; a step's message and the read-error
// line fill the whole 128-character field. A line the log cannot take goes
// to the console.
struct AbnormalStop {
    std::string text;
    bool full_field = false;
    bool console_only = false;
};

// The names of every file of the run, formed from INFILE before anything is
// opened: a base name and its suffix. INFILE is the argument exactly as
// given, trailing blanks included.
struct FileNames {
    std::string infile, dir, base;
    std::string log, out, wtd, wdv, mis, mq, sav, sin, upq;
};

// Forms the names. A name is never cut to fit its 256 characters: false,
// with the first name too long in `too_long`, when one does not fit; the
// log's name is then formed if it fits, else left empty.
bool form_names(const std::string& argument, FileNames& f, std::string& too_long) {
    f.infile = argument;
    const size_t slash = argument.rfind('/');
    f.dir = slash == std::string::npos ? std::string() : argument.substr(0, slash + 1);
    const std::string log = f.dir + std::string(kLogName);
    if (log.size() <= kPathLength) f.log = log;
    if (argument.size() > kPathLength) {
        too_long = argument;
        return false;
    }
    std::string dir, base;
    GETFILEPATH(dir, common::fixed(argument, kPathLength), base);
    f.base = std::string(common::trim_right(base));
    for (auto [name, suffix] : {std::pair{&f.wtd, ".WTD"}, {&f.wdv, ".WDV"}, {&f.mis, ".MIS"}, {&f.mq, ".MQ"},
                                {&f.sav, ".SAV"}, {&f.sin, ".SIN"}, {&f.out, ".OUT"}, {&f.upq, ".UPQ"}}) {
        *name = f.base + suffix;
        if (name->size() > kPathLength) {
            too_long = *name;
            return false;
        }
    }
    if (f.log.empty()) {
        too_long = log;
        return false;
    }
    return true;
}

[[noreturn]] void stop(std::string text) { throw AbnormalStop{std::move(text), false, false}; }
[[noreturn]] void stop_step() { throw AbnormalStop{std::string(error_message()), true, false}; }
[[noreturn]] void stop_console(std::string text) { throw AbnormalStop{std::move(text), false, true}; }

// A line of the input too long to be read stops the run with a line that
// says so, whichever reader met it.
void check_overlong(Context& ctx, const FileNames& f) {
    const common::Connection* in = ctx.units.get(kInputUnit);
    if (in && in->overlong()) stop(msg::overlong_record(f.infile));
}

// READSWCFILE and ROSETTA leave the message blank for a plain read failure;
// the driver then forms the read-error line.
[[noreturn]] void stop_reader(Context& ctx, const FileNames& f) {
    check_overlong(ctx, f);
    if (common::trim_right(error_message()).empty()) set_error(msg::read_error(f.infile));
    stop_step();
}

common::Connection& open_output(Context& ctx, int unit, const std::string& name) {
    common::Connection* c = ctx.units.open(unit, name);
    if (!c) stop(msg::cannot_open(name, ctx.units.last_error()));
    return *c;
}

// Closes one stream; an output whose data could not all be written stops
// the run.
void close_stream(Context& ctx, int unit) {
    common::Connection* c = ctx.units.get(unit);
    if (!c) return;
    const std::string path = c->path();
    if (!ctx.units.close(unit)) stop(msg::cannot_write(path, ctx.units.last_error()));
}

// A free-form log record as the driver writes its lines: one blank, then
// the text, cut to the 128 characters of the error message (or filling
// them, for a step's message).
std::string log_record(const AbnormalStop& line) {
    std::string text = line.full_field ? common::fixed(line.text, kErrorLength) : line.text.substr(0, kErrorLength);
    std::string record;
    common::format_free(record, {text});
    return record;
}

// Opens and locks the log, which says from now on that the run has not
// finished. A log that cannot be used stops the run on the console.
void open_log(common::RunFiles& files, const std::string& path) {
    std::string reason;
    bool removed = false;
    if (!files.open_log(path, log_record(AbnormalStop{std::string(msg::kUnfinished), true, false}), reason, removed))
        stop_console(msg::log_unusable(msg::cannot_open(path, reason), removed));
}

void run(Context& ctx, common::RunFiles& files, const std::vector<std::string>& args, FpeTrap* trap) {
    static const common::Layout kTitle("(A)");
    common::FileSystem& fs = ctx.units.file_system();

    // Without exactly one argument there is no input directory: the log goes
    // to the current directory.
    if (args.size() != 1) {
        open_log(files, std::string(kLogName));
        stop(std::string(msg::kSyntax));
    }
    FileNames f;
    std::string too_long;
    if (!form_names(args[0], f, too_long)) {
        // The refusal goes to the log beside the input where its name fits,
        // else to the log of the current folder.
        const std::string log = f.log.empty() ? std::string(kLogName) : f.log;
        if (common::overwrites_input(fs, f.infile, {log})) stop_console(msg::name_too_long(too_long));
        open_log(files, log);
        stop(msg::name_too_long(too_long));
    }

    // The input is never overwritten, not even by the log.
    if (common::overwrites_input(fs, f.infile, {f.log})) stop_console(msg::overwrites_input(f.infile, f.log));
    open_log(files, f.log);
    if (trap) trap->set_run(&files);

    // Only a regular file is read: a folder, a named pipe or a device is
    // refused before it is opened.
    const common::FileType input_type = fs.type(f.infile);
    if (input_type == common::FileType::Missing) stop(msg::not_found(f.infile));
    if (input_type != common::FileType::Regular) stop(msg::not_a_file(f.infile, common::type_words(input_type)));
    const std::vector<std::string> outputs = {f.out, f.wtd, f.wdv, f.mis, f.mq, f.sav, f.sin, f.upq};
    if (const std::string* name = common::overwrites_input(fs, f.infile, outputs))
        stop(msg::overwrites_input(f.infile, *name));

    common::Connection* in = ctx.units.open_existing(kInputUnit, f.infile);
    if (!in) stop(msg::cannot_open(f.infile, ctx.units.last_error()));
    files.begin_outputs(outputs);
    open_output(ctx, kWtdUnit, f.wtd);
    open_output(ctx, kMisUnit, f.mis);
    open_output(ctx, kMqUnit, f.mq);
    open_output(ctx, kSavUnit, f.sav);
    open_output(ctx, kOutUnit, f.out);

    // Head of the input: the title and NLAYER, VGFLAG.
    SoilTable soil;
    int32_t vgflag = 0;
    switch (common::read_record(*in, kTitle, {soil.title})) {
        case common::ReadStatus::Done: break;
        case common::ReadStatus::EndOfFile: stop(msg::title_missing(f.infile));
        default: check_overlong(ctx, f); stop(msg::title_unreadable(f.infile));
    }
    switch (common::read_free(*in, {soil.nlayer, vgflag})) {
        case common::ReadStatus::Done: break;
        case common::ReadStatus::EndOfFile: stop(msg::header_missing(f.infile));
        default: check_overlong(ctx, f); stop(msg::header_unreadable(f.infile));
    }
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers) stop(msg::layer_count(soil.nlayer));

    clear_error();
    if (vgflag == 0) {
        in->rewind();
        if (READSWCFILE(ctx, kInputUnit, kWtdUnit, kMisUnit, soil) != 0) stop_reader(ctx, f);
        if (WTVOLDRN(ctx, kWtdUnit, kOutUnit, f.wdv, soil) != 0) stop_step();
        if (MILNQRK(ctx, kInputUnit, kMqUnit, kSavUnit, f.infile, soil.lsin) != 0) {
            check_overlong(ctx, f);
            stop_step();
        }
    } else {
        in->rewind();
        if (ROSETTA(ctx, kInputUnit, kWtdUnit, kMisUnit, kMqUnit, kSavUnit, soil) != 0) stop_reader(ctx, f);
        if (WTVOLDRN(ctx, kWtdUnit, kOutUnit, f.wdv, soil) != 0) stop_step();
    }
    if (UPFLUX(ctx, kOutUnit, f.base, f.mq) != 0) stop_step();
    if (GRNAMPT(ctx, kOutUnit, f.mq) != 0) stop_step();
    // The soil input file is assembled from the completed report file.
    close_stream(ctx, kOutUnit);
    if (!ctx.units.open_existing(kOutUnit, f.out)) stop(msg::cannot_open(f.out, ctx.units.last_error()));
    if (MHINPUT(ctx, kOutUnit, f.sin, soil) != 0) stop_step();
    for (int unit : {kOutUnit, kWtdUnit, kMisUnit, kMqUnit, kSavUnit, kWdvUnit, kSinUnit, kUpqUnit, kInputUnit,
                     kUpfluxMqUnit, kIredmqUnit})
        close_stream(ctx, unit);
}

// Ends the run: every output appears as written, the log takes its one
// record; a record the log cannot take goes to the console instead.
void finish(Context& ctx, common::RunFiles& files, RunOutcome& outcome, const AbnormalStop& line) {
    std::string record = log_record(line);
    std::string reason;
    if (!line.console_only && files.has_log() && files.finish(record, reason)) {
        outcome.log_line = record.substr(0, record.size() - 2);
    } else {
        files.finish({}, reason);  // the outputs end all the same
        std::string text = line.text.substr(0, kErrorLength);
        if (!line.console_only) text = msg::cannot_write(files.log_path(), reason);
        outcome.logged = false;
        outcome.log_line = text;
        common::write_free(*ctx.console, {text});
    }
    // Earlier files that stand beside this run's are named.
    for (const std::string& left : files.standing()) common::write_free(*ctx.console, {left});
}

}  // namespace

RunOutcome run_pedopre(const std::vector<std::string>& args, common::Connection& console, const RunOptions& options) {
    static const common::Layout kLine("(A)");

    RunOutcome outcome;
    // A question about the program itself runs nothing and touches no file.
    if (common::asks_help(args) || common::asks_version(args)) {
        if (common::asks_version(args)) console.put_record(common::version_line("PEDOPRE"));
        else
            for (std::string_view line : msg::kUsage) common::write_free(console, {line});
        console.flush();
        outcome.logged = false;
        return outcome;
    }

    Context ctx(options.files ? *options.files : common::disk());
    ctx.console = &console;
    common::RunFiles files(ctx.units);
    set_routine("PEDOPRE");
    clear_error();
    std::optional<FpeTrap> trap;
    if (options.traps) trap.emplace(console);

    try {
        run(ctx, files, args, trap ? &*trap : nullptr);
        finish(ctx, files, outcome, AbnormalStop{std::string(msg::kNormal), false, false});
        outcome.console_line = outcome.logged ? msg::kConsoleNormal : msg::kConsoleAbnormal;
    } catch (const AbnormalStop& halt) {
        finish(ctx, files, outcome, halt);
        outcome.console_line = msg::kConsoleAbnormal;
    } catch (const std::exception& failure) {
        finish(ctx, files, outcome, AbnormalStop{"ERROR: " + std::string(failure.what()), true, false});
        outcome.console_line = msg::kConsoleAbnormal;
    }
    trap.reset();
    common::write_record(console, kLine, {outcome.console_line});
    console.flush();
    return outcome;
}

}  // namespace pedopre
