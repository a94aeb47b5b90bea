#include "figure/page.h"

#include <fstream>
#include <stdexcept>

#include "figure/escape.h"

namespace figure {

namespace {

// Print-friendly and readable on screen; the reader's own system fonts.
constexpr std::string_view kStyle = R"(
:root { color-scheme: light; }
body {
  font-family: system-ui, -apple-system, "Segoe UI", Roboto, "Helvetica Neue", Arial,
    "Liberation Sans", "DejaVu Sans", sans-serif;
  color: #1a1a1a; background: #ffffff; line-height: 1.45;
  max-width: 64rem; margin: 0 auto; padding: 1rem 1.5rem 3rem;
}
h1 { font-size: 1.5rem; margin: 0.5rem 0 0.25rem; }
h2 { font-size: 1.2rem; margin: 2rem 0 0.5rem; padding-bottom: 0.2rem; border-bottom: 1px solid #cccccc; }
.subtitle { color: #444444; margin: 0 0 1rem; }
.banner { border: 3px solid #b00020; background: #fdecee; padding: 0.75rem 1rem; margin: 1rem 0; font-size: 1.1rem; }
.banner strong { text-transform: uppercase; letter-spacing: 0.03em; }
.warnings { border-left: 6px solid #c77700; background: #fff6e5; padding: 0.5rem 1rem; margin: 1rem 0; }
.warnings h2 { border: none; margin: 0.25rem 0; font-size: 1.05rem; }
.warnings ul { margin: 0.25rem 0; padding-left: 1.25rem; }
figure { margin: 1rem 0 1.5rem; break-inside: avoid; }
svg.figure, svg.strip { display: block; max-width: 100%; height: auto; }
svg .figure-title { font-size: 14px; font-weight: 600; }
.note { font-size: 0.9rem; color: #333333; margin: 0.25rem 0; }
.note strong { font-weight: 600; }
details { margin: 0.5rem 0 1rem; }
summary { cursor: pointer; color: #0b4f8a; }
table { border-collapse: collapse; font-size: 0.85rem; font-variant-numeric: tabular-nums; margin: 0.5rem 0; }
caption { text-align: left; font-weight: 600; padding: 0.25rem 0; }
th, td { border: 1px solid #cccccc; padding: 0.15rem 0.5rem; text-align: right; }
th { background: #f2f2f2; }
ul.checks { list-style: none; padding: 0; }
ul.checks li { padding: 0.15rem 0; }
.mark { display: inline-block; min-width: 6.5em; font-weight: 600; }
.passed .mark { color: #1b6e3a; }
.warning .mark { color: #9a5b00; }
.failed .mark { color: #b00020; }
.note .mark { color: #555555; }
@media print {
  body { max-width: none; padding: 0; }
  h2 { break-after: avoid; }
  summary { color: inherit; }
  .banner, .warnings { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
}
)";

const char* mark(CheckStatus s) {
    switch (s) {
        case CheckStatus::Passed:
            return "\xE2\x9C\x93 passed";  // ✓
        case CheckStatus::Warning:
            return "! warning";
        case CheckStatus::Failed:
            return "\xE2\x9C\x97 failed";  // ✗
        case CheckStatus::Note:
            return "\xE2\x80\xA2 note";  // •
    }
    return "";
}

const char* status_class(CheckStatus s) {
    switch (s) {
        case CheckStatus::Passed:
            return "passed";
        case CheckStatus::Warning:
            return "warning";
        case CheckStatus::Failed:
            return "failed";
        case CheckStatus::Note:
            return "note";
    }
    return "";
}

void append_element(std::string& out, std::string_view tag, std::string_view cls, std::string_view text) {
    out += '<';
    out += tag;
    if (!cls.empty()) {
        out += " class=\"";
        out += cls;
        out += '"';
    }
    out += '>';
    append_escaped(out, text);
    out += "</";
    out += tag;
    out += ">\n";
}

void append_notes(std::string& out, const Figure& fig) {
    for (const std::string& n : fig.notes) {
        out += "<p class=\"note\"><strong>Note:</strong> ";
        append_escaped(out, n);
        out += "</p>\n";
    }
}

}  // namespace

std::string table_html(const Table& table, bool collapsed) {
    std::string out;
    if (collapsed) {
        out += "<details>\n<summary>";
        append_escaped(out, table.caption.empty() ? std::string("Table") : table.caption);
        out += " (" + std::to_string(table.rows.size()) + (table.rows.size() == 1 ? " row" : " rows") + ")</summary>\n";
    }
    out += "<table>\n";
    if (!collapsed && !table.caption.empty()) append_element(out, "caption", "", table.caption);
    // thead and tbody written out, so HTML and XML parsers build the same tree.
    out += "<thead><tr>";
    for (const std::string& h : table.header) {
        out += "<th scope=\"col\">";
        append_escaped(out, h);
        out += "</th>";
    }
    out += "</tr></thead>\n<tbody>\n";
    for (const auto& row : table.rows) {
        out += "<tr>";
        for (const std::string& cell : row) {
            out += "<td>";
            append_escaped(out, cell);
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</tbody>\n</table>\n";
    if (collapsed) out += "</details>\n";
    return out;
}

Page::Page(std::string title) : title_(std::move(title)) {}

void Page::set_subtitle(std::string text) {
    subtitle_ = std::move(text);
}

void Page::set_failed(std::string reason) {
    failure_ = reason.empty() ? std::string("the run did not finish") : std::move(reason);
}

void Page::add_check(CheckStatus status, std::string text) {
    checks_.push_back({status, std::move(text)});
}

void Page::add_section(std::string heading) {
    sections_.push_back({std::move(heading), {}});
}

std::string& Page::body() {
    if (sections_.empty()) sections_.push_back({});
    return sections_.back().body;
}

void Page::add_paragraph(std::string text) {
    append_element(body(), "p", "", text);
}

void Page::add_figure(const Figure& fig) {
    if (!figure_ids_.insert(fig.id).second) {
        throw std::invalid_argument("figure: id \"" + fig.id + "\" is used twice on one page");
    }
    std::string& out = body();
    out += "<figure>\n";
    out += fig.svg;
    out += '\n';
    append_notes(out, fig);
    out += "</figure>\n";
}

void Page::add_figure(const Figure& fig, const Table& data) {
    add_figure(fig);
    body() += table_html(data, true);
}

void Page::add_table(const Table& table, bool collapsed) {
    body() += table_html(table, collapsed);
}

void Page::add_svg(std::string svg, std::string caption) {
    std::string& out = body();
    out += "<figure>\n";
    out += svg;
    out += '\n';
    if (!caption.empty()) append_element(out, "figcaption", "note", caption);
    out += "</figure>\n";
}

std::string Page::html() const {
    size_t size = 4096;
    for (const Section& s : sections_) size += s.body.size() + 64;
    std::string out;
    out.reserve(size);
    out +=
        "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
        "<meta charset=\"utf-8\" />\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n";
    append_element(out, "title", "", title_);
    out += "<style>";
    out += kStyle;
    out += "</style>\n</head>\n<body>\n<header>\n";
    append_element(out, "h1", "", title_);
    if (!subtitle_.empty()) append_element(out, "p", "subtitle", subtitle_);
    out += "</header>\n";

    if (!failure_.empty()) {
        out += "<div class=\"banner failed\" role=\"alert\"><strong>Run failed:</strong> ";
        append_escaped(out, failure_);
        out += "</div>\n";
    }
    bool any_warning = false;
    for (const Check& c : checks_)
        any_warning = any_warning || c.status == CheckStatus::Warning || c.status == CheckStatus::Failed;
    if (any_warning) {
        out += "<section class=\"warnings\">\n<h2>Warnings</h2>\n<ul>\n";
        for (const Check& c : checks_) {
            if (c.status == CheckStatus::Passed || c.status == CheckStatus::Note) continue;
            out += "<li class=\"";
            out += status_class(c.status);
            out += "\">";
            append_escaped(out, c.text);
            out += "</li>\n";
        }
        out += "</ul>\n</section>\n";
    }

    out += "<main>\n";
    for (const Section& s : sections_) {
        out += "<section>\n";
        if (!s.heading.empty()) append_element(out, "h2", "", s.heading);
        out += s.body;
        out += "</section>\n";
    }
    out += "</main>\n";

    if (!checks_.empty()) {
        out += "<section class=\"checks\">\n<h2>Checks</h2>\n<ul class=\"checks\">\n";
        for (const Check& c : checks_) {
            out += "<li class=\"";
            out += status_class(c.status);
            out += "\"><span class=\"mark\">";
            out += mark(c.status);
            out += "</span> ";
            append_escaped(out, c.text);
            out += "</li>\n";
        }
        out += "</ul>\n</section>\n";
    }
    out += "</body>\n</html>\n";
    return out;
}

void Page::write(const std::filesystem::path& file) const {
    const std::string text = html();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("figure: cannot open " + file.string() + " for writing");
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw std::runtime_error("figure: cannot write " + file.string());
}

}  // namespace figure
