#include "drainprep/drainprep.h"

#include <set>
#include <string_view>

#include "common/connection.h"
#include "common/file_system.h"
#include "common/version.h"
#include "soilprep/pedopre.h"
#include "weather/metconv.h"

namespace drainprep {
namespace {

// The disk, remembering the names of the files a run writes.
class RecordingDisk final : public common::FileSystem {
public:
    std::unique_ptr<common::File> open_read(const std::string& path, std::string& err) override {
        return disk_.open_read(path, err);
    }
    std::unique_ptr<common::File> open_write(const std::string& path, std::string& err) override {
        written_.insert(path);
        return disk_.open_write(path, err);
    }
    std::unique_ptr<common::LogFile> open_log(const std::string& path, std::string& err) override {
        written_.insert(path);
        return disk_.open_log(path, err);
    }
    common::FileType type(const std::string& path) override { return disk_.type(path); }
    std::string identity(const std::string& path) override { return disk_.identity(path); }
    bool remove(const std::string& path, std::string& err) override { return disk_.remove(path, err); }
    void remove_leftovers(const std::vector<std::string>& paths) override { disk_.remove_leftovers(paths); }

    // The texts of the files written that stand after the run.
    Files read_back() {
        Files files;
        for (const std::string& path : written_) {
            std::string err;
            auto file = disk_.open_read(path, err);
            if (!file) continue;
            std::string text;
            char buf[1 << 16];
            for (int64_t k; (k = file->read(buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(k));
            files[path] = std::move(text);
        }
        return files;
    }

private:
    common::DiskFileSystem disk_;
    std::set<std::string> written_;
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        size_t end = nl > at && text[nl - 1] == '\r' ? nl - 1 : nl;
        lines.push_back(text.substr(at, end - at));
        at = nl + 1;
    }
    return lines;
}

std::string without_line_end(std::string record) {
    while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.pop_back();
    return record;
}

Outcome run_soil(const std::vector<std::string>& args, common::FileSystem& fs) {
    auto console = common::Connection::in_memory(6, "console");
    const pedopre::RunOutcome r = pedopre::run_pedopre(args, *console, {.traps = false, .files = &fs});
    Outcome o;
    if (r.logged) o.log = without_line_end(r.log_line);
    o.ok = o.log.find("NOERROR") == 1;
    o.console = lines_of(console->memory());
    return o;
}

Outcome run_weather(const std::vector<std::string>& args, common::FileSystem& fs) {
    auto console = common::Connection::in_memory(6, "console");
    const metconv::Outcome r = metconv::run_metconv(args, *console, fs);
    Outcome o;
    if (r.log_line) o.log = *r.log_line;
    o.ok = o.log.rfind("*NOERROR", 0) == 0;
    o.console = r.console;
    return o;
}

Outcome in_memory(Outcome (*run)(const std::vector<std::string>&, common::FileSystem&),
                  const std::vector<std::string>& args, const Files& files) {
    common::MemoryFileSystem fs;
    for (const auto& [name, text] : files) fs.put(name, text);
    Outcome o = run(args, fs);
    for (const std::string& name : fs.names()) o.files[name] = *fs.get(name);
    return o;
}

Outcome on_disk(Outcome (*run)(const std::vector<std::string>&, common::FileSystem&),
                const std::vector<std::string>& args) {
    RecordingDisk fs;
    Outcome o = run(args, fs);
    o.files = fs.read_back();
    return o;
}

}  // namespace

Outcome pedopre(const std::vector<std::string>& args, Files files) { return in_memory(run_soil, args, files); }
Outcome metconv(const std::vector<std::string>& args, Files files) { return in_memory(run_weather, args, files); }
Outcome pedopre_on_disk(const std::vector<std::string>& args) { return on_disk(run_soil, args); }
Outcome metconv_on_disk(const std::vector<std::string>& args) { return on_disk(run_weather, args); }
std::string version() { return std::string(common::kVersion); }

}  // namespace drainprep
