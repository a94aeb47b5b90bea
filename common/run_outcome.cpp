#include "common/run_outcome.h"

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/version.h"

namespace common {

std::vector<std::string> ConsoleRecord::lines() {
    console_->flush();
    std::vector<std::string> lines;
    for (std::string_view line : text_lines(copy_)) lines.emplace_back(line);
    return lines;
}

bool answer_question(const std::vector<std::string>& args, std::string_view program,
                     std::span<const std::string_view> usage, Connection& console) {
    if (!asks_version(args) && !asks_help(args)) return false;
    if (asks_version(args))
        console.put_record(version_line(program));
    else
        for (std::string_view line : usage) write_free(console, {line});
    console.flush();
    return true;
}

bool says_normal_end(std::string_view record) {
    const size_t b = record.find_first_not_of(" *");
    return b != std::string_view::npos && record.substr(b).starts_with("NOERROR:");
}

}  // namespace common
