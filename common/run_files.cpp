#include "common/run_files.h"

#include <unistd.h>

#include "common/file_messages.h"

namespace common {

std::unique_ptr<Connection> console_on_stdout(int unit) {
    return std::make_unique<Connection>(unit, "console", descriptor_file(STDOUT_FILENO));
}

const std::string* overwrites_input(FileSystem& fs, const std::string& input, const std::vector<std::string>& names) {
    const std::string in = normal_name(input), id = fs.identity(input);
    for (const std::string& name : names)
        if (normal_name(name) == in || (!id.empty() && fs.identity(name) == id)) return &name;
    return nullptr;
}

bool RunFiles::open_log(const std::string& path, std::string_view unfinished, std::string& reason, bool& removed) {
    FileSystem& fs = units_->file_system();
    removed = false;
    log_path_ = path;
    const bool earlier = fs.type(path) == FileType::Regular;
    log_ = fs.open_log(path, reason);
    if (log_ && log_->replace(unfinished)) return true;
    if (log_) reason = log_->error();
    log_.reset();
    // A log that cannot be rewritten must not stay readable as success. One
    // this run made itself goes without a word; an earlier one that stands
    // is named, with the reason it could not be removed.
    if (fs.type(path) != FileType::Regular) return false;
    std::string why;
    const bool gone = fs.remove(path, why);
    removed = earlier && gone;
    if (earlier && !gone) standing_.push_back(msg::earlier_stands("log", path, why));
    return false;
}

void RunFiles::begin_outputs(std::vector<std::string> names) {
    outputs_ = std::move(names);
    outputs_begun_ = true;
    // The log's own copy, made when it had other names, is one of them too.
    std::vector<std::string> written = outputs_;
    if (!log_path_.empty()) written.push_back(log_path_);
    units_->file_system().remove_leftovers(written);
}

void RunFiles::remove_unwritten() {
    if (!outputs_begun_) return;
    // Only files are an earlier run's outputs: a folder in an output's way
    // was named by the run's own error line already.
    FileSystem& fs = units_->file_system();
    for (const std::string& name : outputs_) {
        std::string why;
        if (!units_->wrote(name) && fs.type(name) == FileType::Regular && !fs.remove(name, why))
            standing_.push_back(msg::earlier_stands("output", name, why));
    }
}

bool RunFiles::finish(std::string_view record, std::string& reason) {
    units_->close_all();
    remove_unwritten();
    if (!log_) return false;
    const bool ok = log_->replace(record);
    if (!ok) reason = log_->error();
    log_.reset();
    return ok;
}

void RunFiles::emergency_finish(const char* record, size_t n) noexcept {
    // The trap only ever ends a run on the disk: the names are removed with
    // unlink(2), which a signal handler may call.
    units_->emergency_close_all();
    if (outputs_begun_) {
        for (const std::string& name : outputs_)
            if (!units_->wrote(name) && !units_->is_open(name)) ::unlink(name.c_str());
    }
    if (log_) log_->emergency_replace(record, n);
}

}  // namespace common
