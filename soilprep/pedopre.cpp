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
#include "soilcalc/messages.h"
#include "soilcalc/run_state.h"
#include "soilprep/file_names.h"
#include "soilprep/fpehand.h"
#include "soilprep/run_file_writer.h"
#include "soilprep/soil_input.h"
#include "soilprep/soil_run.h"

namespace soilprep {
namespace {

// The connections of a run and its console.
struct Context {
    explicit Context(common::FileSystem& fs) : units(fs) {}
    common::UnitTable units;
    common::Connection* console = nullptr;
    common::Connection* get(Stream s) { return units.get(static_cast<int>(s)); }
};

// An abnormal stop: the log line's text and how it is written. The driver's
// own lines are written as their text; a step's message and the read-error
// line fill the whole 128-character field. A line the log cannot take goes
// to the console.
struct AbnormalStop {
    std::string text;
    bool full_field = false;
    bool console_only = false;
};

[[noreturn]] void stop(std::string text) {
    throw AbnormalStop{std::move(text), false, false};
}
[[noreturn]] void stop_console(std::string text) {
    throw AbnormalStop{std::move(text), false, true};
}

common::Connection& open_output(Context& ctx, Stream s, const std::string& name) {
    common::Connection* c = ctx.units.open(static_cast<int>(s), name);
    if (!c) stop(soilcalc::msg::cannot_open(name, ctx.units.last_error()));
    return *c;
}

// Closes one stream; an output whose data could not all be written stops
// the run.
void close_stream(Context& ctx, Stream s) {
    common::Connection* c = ctx.get(s);
    if (!c) return;
    const std::string path = c->path();
    if (!ctx.units.close(static_cast<int>(s))) stop(soilcalc::msg::cannot_write(path, ctx.units.last_error()));
}

// A free-form log record as the driver writes its lines: one blank, then
// the text, cut to the 128 characters of the error message (or filling
// them, for a step's message).
std::string log_record(const AbnormalStop& line) {
    std::string text = line.full_field ? common::fixed(line.text, soilcalc::kErrorLength)
                                       : line.text.substr(0, soilcalc::kErrorLength);
    std::string record;
    common::format_free(record, {text});
    return record;
}

// Opens and locks the log, which says from now on that the run has not
// finished. A log that cannot be used stops the run on the console.
void open_log(common::RunFiles& files, const std::string& path) {
    std::string reason;
    bool removed = false;
    if (!files.open_log(path, log_record(AbnormalStop{std::string(soilcalc::msg::kUnfinished), true, false}), reason,
                        removed))
        stop_console(soilcalc::msg::log_unusable(soilcalc::msg::cannot_open(path, reason), removed));
}

void run(Context& ctx, common::RunFiles& files, const std::vector<std::string>& args, FpeTrap* trap) {
    common::FileSystem& fs = ctx.units.file_system();

    // Without exactly one argument there is no input directory: the log goes
    // to the current directory.
    if (args.size() != 1) {
        open_log(files, std::string(kLogName));
        stop(std::string(soilcalc::msg::kSyntax));
    }
    FileNames f;
    std::string too_long;
    if (!form_names(args[0], f, too_long)) {
        // The refusal goes to the log beside the input where its name fits,
        // else to the log of the current folder.
        const std::string log = f.log.size() > soilcalc::kPathLength ? std::string(kLogName) : f.log;
        if (common::overwrites_input(fs, f.infile, {log})) stop_console(soilcalc::msg::name_too_long(too_long));
        open_log(files, log);
        stop(soilcalc::msg::name_too_long(too_long));
    }

    // The input is never overwritten, not even by the log.
    if (common::overwrites_input(fs, f.infile, {f.log})) stop_console(soilcalc::msg::overwrites_input(f.infile, f.log));
    open_log(files, f.log);
    if (trap) trap->set_run(&files);

    // Only a regular file is read: a folder, a named pipe or a device is
    // refused before it is opened.
    const common::FileType input_type = fs.type(f.infile);
    if (input_type == common::FileType::Missing) stop(soilcalc::msg::not_found(f.infile));
    if (input_type != common::FileType::Regular)
        stop(soilcalc::msg::not_a_file(f.infile, common::type_words(input_type)));
    const std::vector<std::string> outputs = {f.out, f.wtd, f.wdv, f.mis, f.mq, f.sav, f.sin, f.upq};
    if (const std::string* name = common::overwrites_input(fs, f.infile, outputs))
        stop(soilcalc::msg::overwrites_input(f.infile, *name));

    common::Connection* in = ctx.units.open_existing(static_cast<int>(Stream::Input), f.infile);
    if (!in) stop(soilcalc::msg::cannot_open(f.infile, ctx.units.last_error()));
    files.begin_outputs(outputs);
    open_output(ctx, Stream::Wtd, f.wtd);
    open_output(ctx, Stream::Mis, f.mis);
    open_output(ctx, Stream::Mq, f.mq);
    open_output(ctx, Stream::Sav, f.sav);
    open_output(ctx, Stream::Out, f.out);

    // Head of the input: the title and NLAYER, VGFLAG.
    int32_t vgflag = 0;
    if (SoilStop s = read_input_head(*in, f.infile, vgflag); !s.text.empty()) stop(std::move(s.text));

    // The whole input in numbers, then the steps on them.
    in->rewind();
    const SoilInput input = read_soil_input(*in, vgflag);
    ctx.units.close(static_cast<int>(Stream::Input));
    RunFileWriter writer(ctx.units, ctx.console, {f.wdv, f.upq, f.sin, f.out});
    SoilRun soil;
    const SoilNames names{f.infile, std::string(common::trim_right(f.mq)), f.out};
    if (SoilStop s = run_soil_steps(input, names, &writer, soil); !s.text.empty())
        throw AbnormalStop{std::move(s.text), s.full_field, false};
    for (Stream s : {Stream::Out, Stream::Wtd, Stream::Mis, Stream::Mq, Stream::Sav, Stream::Wdv, Stream::Sin,
                     Stream::Upq, Stream::Input})
        close_stream(ctx, s);
}

// Ends the run: every output appears as written, the log takes its one
// record; a record the log cannot take goes to the console instead.
void finish(Context& ctx, common::RunFiles& files, common::RunOutcome& outcome, const AbnormalStop& line) {
    std::string record = log_record(line);
    std::string reason;
    if (!line.console_only && files.has_log() && files.finish(record, reason)) {
        outcome.log_line = record.substr(0, record.size() - 2);
    } else {
        files.finish({}, reason);  // the outputs end all the same
        std::string text = line.text.substr(0, soilcalc::kErrorLength);
        if (!line.console_only) text = soilcalc::msg::cannot_write(files.log_path(), reason);
        common::write_free(*ctx.console, {text});
    }
    // Earlier files that stand beside this run's are named.
    for (const std::string& left : files.standing()) common::write_free(*ctx.console, {left});
}

}  // namespace

common::RunOutcome run_pedopre(const std::vector<std::string>& args, common::Connection& console,
                               const common::RunOptions& options) {
    static const common::Layout kLine("(A)");

    common::RunOutcome outcome;
    common::ConsoleRecord shown(console);
    if (common::answer_question(args, "PEDOPRE", soilcalc::msg::kUsage, console)) {
        outcome.console = shown.lines();
        return outcome;
    }

    Context ctx(options.files ? *options.files : common::disk());
    ctx.console = &console;
    common::RunFiles files(ctx.units);
    soilcalc::set_routine("PEDOPRE");
    std::optional<FpeTrap> trap;
    if (options.traps) trap.emplace(console);

    std::string_view console_line = soilcalc::msg::kConsoleAbnormal;
    try {
        run(ctx, files, args, trap ? &*trap : nullptr);
        finish(ctx, files, outcome, AbnormalStop{std::string(soilcalc::msg::kNormal), false, false});
        outcome.ok = outcome.log_line.has_value();
        if (outcome.ok) console_line = soilcalc::msg::kConsoleNormal;
    } catch (const AbnormalStop& halt) {
        finish(ctx, files, outcome, halt);
    } catch (const std::exception& failure) {
        finish(ctx, files, outcome, AbnormalStop{"ERROR: " + std::string(failure.what()), true, false});
    }
    trap.reset();
    common::write_record(console, kLine, {console_line});
    outcome.console = shown.lines();
    return outcome;
}

}  // namespace soilprep
