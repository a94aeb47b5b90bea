#include "weatherimport/import_page.h"

#include "figure/page.h"

namespace weatherimport {

std::string import_page_name(const std::string& dir, const std::string& name) {
    return (dir.empty() ? std::string(".") : dir) + "/" + name + "_import.html";
}

std::string import_page(const ImportOptions& o, const ImportReport& r) {
    figure::Page page("Weather import: " + o.file);
    page.set_subtitle("Read as " + r.format + (r.first.empty() ? "" : ", " + r.first + " to " + r.last) + ", station " +
                      std::to_string(o.station));
    if (!r.errors.empty()) {
        std::string reason;
        for (const std::string& e : r.errors) reason += (reason.empty() ? "" : " ") + e;
        page.set_failed(reason);
    }
    auto count = [&](FindingKind k) {
        size_t n = 0;
        for (const Finding& f : r.findings) n += f.kind == k;
        return n;
    };
    auto check = [&](FindingKind k, const std::string& passed, const std::string& failed) {
        const size_t n = count(k);
        page.add_check(n == 0 ? figure::CheckStatus::Passed : figure::CheckStatus::Warning,
                       n == 0 ? passed : failed + ": " + std::to_string(n) + " (listed below)");
    };
    check(FindingKind::Flagged, "No value carries a quality flag", "Values with a quality flag, read as missing");
    check(FindingKind::Missing, "No day lacks a value", "Runs of days without a value");
    check(FindingKind::Filled, "No value was filled in", "Values filled in");
    check(FindingKind::DryAssumed, "No missing rain was written as dry",
          "Missing rain days (or runs of hours) written as dry");
    check(FindingKind::Estimated, "No PET input was estimated", "PET inputs estimated, as asked");
    check(FindingKind::Check, "Every plausibility check passes", "Plausibility findings");

    page.add_section("Files written");
    figure::Table files{
        "The converter's inputs and the model's files", {"Input", "Model file", "METCONV log", "Page"}, {}};
    for (const Conversion& c : r.conversions)
        files.rows.push_back({c.input, c.output, c.error.empty() ? c.log_line : c.error, c.page.value_or("")});
    if (files.rows.empty())
        page.add_paragraph("No file was written.");
    else
        page.add_table(files, false);

    page.add_section("Findings");
    if (r.findings.empty()) page.add_paragraph("Every day of every series has its value, as read.");
    figure::Table list{"Every finding of the import", {"Kind", "Quantity", "Days", "What", "Source"}, {}};
    for (const Finding& f : r.findings)
        list.rows.push_back({kind_word(f.kind), f.quantity,
                             f.last.empty() || f.last == f.first ? f.first : f.first + " to " + f.last, f.text,
                             f.at.file.empty() ? "" : where(f.at)});
    if (!list.rows.empty()) page.add_table(list, false);
    return page.html();
}

}  // namespace weatherimport
