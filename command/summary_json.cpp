#include "command/summary_json.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace command {

nlohmann::ordered_json summary_json(const std::vector<Run>& runs, const std::vector<RunResult>& results,
                                    const BatchOptions& options, const std::string& signal) {
    using json = nlohmann::ordered_json;
    const Summary s = summarise(results);
    json doc;
    doc["drainprep"] = DRAINPREP_VERSION;
    doc["command"] = options.command;
    if (!options.manifest.empty()) doc["manifest"] = options.manifest;
    doc["jobs"] = options.jobs;
    doc["pages"] = options.pages;
    doc["interrupted_by"] = signal.empty() ? json(nullptr) : json(signal);
    doc["summary"] = {{"runs", s.runs},
                      {"ok", s.ok},
                      {"failed", s.failed},
                      {"interrupted", s.interrupted},
                      {"not_started", s.not_started},
                      {"need_a_look", s.need_a_look}};
    json list = json::array();
    for (size_t k = 0; k < runs.size(); ++k) {
        const Run& r = runs[k];
        const RunResult& res = results[k];
        json run;
        run["input"] = r.reads.empty() ? std::string() : r.reads.front();
        run["program"] = r.program;
        run["arguments"] = r.args;
        run["folder"] = r.folder.empty() ? std::string(".") : r.folder;
        if (r.manifest_line > 0) run["manifest_line"] = r.manifest_line;
        run["outcome"] = outcome_word(res.outcome);
        run["ok"] = res.outcome == RunOutcome::Ok;
        run["log"] = r.log;
        run["log_record"] = res.log_record.empty() ? json(nullptr) : json(res.log_record);
        run["reason"] = res.reason.empty() ? json(nullptr) : json(res.reason);
        run["console"] = res.console;
        run["files"] = res.files;
        if (options.pages) {
            json checks = json::array();
            for (const PageCheck& c : res.checks) checks.push_back({{"level", c.level}, {"text", c.text}});
            run["page"] = {{"file", r.page.empty() ? json(nullptr) : json(r.page)},
                           {"written", res.page_written},
                           {"warnings", warning_count(res.checks)},
                           {"checks", checks}};
        } else {
            run["page"] = nullptr;
        }
        list.push_back(std::move(run));
    }
    doc["runs"] = std::move(list);
    return doc;
}

bool write_summary(const std::string& path, const nlohmann::ordered_json& json, std::string& err) {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        // Names and log lines may hold bytes that are not UTF-8; they are
        // kept readable with the replacement character.
        out << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        out.flush();
        if (!out) {
            err = std::strerror(errno);
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        err = std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace command
