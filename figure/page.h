// One self-contained HTML page of a report program: a title, a banner when
// the run failed, the warnings at the top, sections of text, figures and
// tables, and the list of checks at the end.
//
// The page needs nothing from elsewhere: one inline <style> block with the
// system font stack, inline SVG, no script, no reference to another file or
// address, so it opens offline, prints and can be mailed. It is well-formed
// XML as well as HTML (every element closed, attributes quoted, text
// escaped with figure/escape.h), so it also opens as XHTML. Texts given here
// are plain text and are escaped when written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "figure/plot.h"
#include "figure/table.h"

namespace figure {

// A note says something routine that the reader should know; like a
// passed check it is listed with the checks only, not among the warnings.
enum class CheckStatus : uint8_t { Passed, Warning, Failed, Note };

class Page {
  public:
    explicit Page(std::string title);

    // A line under the title, e.g. the input file and the time of the run.
    void set_subtitle(std::string text);
    // Marks the run as failed: a banner at the top gives REASON.
    void set_failed(std::string reason);
    // A check and its outcome. Warnings and failures are also listed at the
    // top of the page.
    void add_check(CheckStatus status, std::string text);

    // Starts a section; what is added next goes into it. Content added
    // before any section goes into an untitled one.
    void add_section(std::string heading);
    void add_paragraph(std::string text);
    // A figure with its notes. Figure ids must be unique on the page; a
    // repeated one throws std::invalid_argument.
    void add_figure(const Figure& fig);
    // A figure, its notes, and DATA in a collapsed table under it.
    void add_figure(const Figure& fig, const Table& data);
    void add_table(const Table& table, bool collapsed);
    // Markup made with figure::Svg, e.g. a calendar strip, and a caption
    // under it.
    void add_svg(std::string svg, std::string caption = {});

    bool failed() const { return !failure_.empty(); }

    // The page.
    std::string html() const;
    // Writes the page to FILE; throws std::runtime_error when it cannot.
    void write(const std::filesystem::path& file) const;

  private:
    struct Check {
        CheckStatus status;
        std::string text;
    };
    struct Section {
        std::string heading;
        std::string body;  // markup
    };

    std::string& body();

    std::string title_;
    std::string subtitle_;
    std::string failure_;
    std::vector<Check> checks_;
    std::vector<Section> sections_;
    std::set<std::string> figure_ids_;
};

// TABLE as HTML markup: a <table> with its header and rows, in a collapsed
// <details> when COLLAPSED, the caption as its summary.
std::string table_html(const Table& table, bool collapsed);

}  // namespace figure
