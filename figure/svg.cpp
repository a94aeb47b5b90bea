#include "figure/svg.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "figure/escape.h"

namespace figure {

namespace {

// Text in the figures: the reader's system sans-serif, nothing fetched.
constexpr std::string_view kFontFamily =
    "system-ui, -apple-system, 'Segoe UI', Roboto, 'Helvetica Neue', Arial, "
    "'Liberation Sans', 'DejaVu Sans', sans-serif";

void append_paint(std::string& out, const Paint& p) {
    if (!p.cls.empty()) out += attribute("class", p.cls);
    if (!p.fill.empty()) out += attribute("fill", p.fill);
    if (p.fill_opacity > 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%.2g", p.fill_opacity);
        out += attribute("fill-opacity", buf);
    }
    if (!p.stroke.empty()) out += attribute("stroke", p.stroke);
    if (p.stroke_opacity > 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%.2g", p.stroke_opacity);
        out += attribute("stroke-opacity", buf);
    }
    if (p.stroke_width > 0) {
        out += " stroke-width=\"";
        append_px(out, p.stroke_width);
        out += '"';
    }
    if (!p.dash.empty()) out += attribute("stroke-dasharray", p.dash);
}

void append_coord(std::string& out, std::string_view name, double v) {
    out += ' ';
    out += name;
    out += "=\"";
    append_px(out, v);
    out += '"';
}

}  // namespace

long long to_tenths(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 1e15) {
        throw std::invalid_argument("figure: a coordinate that is not a finite pixel position");
    }
    return std::llround(v * 10.0);
}

void append_tenths(std::string& out, long long t) {
    if (t < 0) {
        out += '-';
        t = -t;
    }
    const long long whole = t / 10;
    const long long tenth = t % 10;
    if (whole != 0 || tenth == 0) {
        char buf[24];
        int n = 0;
        long long w = whole;
        do {
            buf[n++] = static_cast<char>('0' + w % 10);
            w /= 10;
        } while (w != 0);
        while (n > 0) out += buf[--n];
    }
    if (tenth != 0) {
        out += '.';
        out += static_cast<char>('0' + tenth);
    }
}

void append_px(std::string& out, double v) {
    append_tenths(out, to_tenths(v));
}

std::string attribute(std::string_view name, std::string_view value) {
    std::string out;
    out.reserve(name.size() + value.size() + 4);
    out += ' ';
    out += name;
    out += "=\"";
    append_escaped(out, value);
    out += '"';
    return out;
}

Svg::Svg(std::string_view id, std::string_view cls, double width, double height, std::string_view title) {
    out_.reserve(4096);
    out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\"";
    out_ += attribute("id", id);
    out_ += attribute("class", cls);
    append_coord(out_, "width", width);
    append_coord(out_, "height", height);
    out_ += " viewBox=\"0 0 ";
    append_px(out_, width);
    out_ += ' ';
    append_px(out_, height);
    out_ += "\" role=\"img\"";
    out_ += attribute("font-family", kFontFamily);
    out_ += " font-size=\"12\"><title>";
    append_escaped(out_, title);
    out_ += "</title>\n";
}

Svg& Svg::open_group(std::string_view cls, std::string_view extra) {
    out_ += "<g";
    if (!cls.empty()) out_ += attribute("class", cls);
    out_ += extra;
    out_ += ">\n";
    ++open_groups_;
    return *this;
}

Svg& Svg::close_group() {
    if (open_groups_ > 0) {
        out_ += "</g>\n";
        --open_groups_;
    }
    return *this;
}

Svg& Svg::rect(double x, double y, double w, double h, const Paint& paint, std::string_view tooltip) {
    out_ += "<rect";
    append_coord(out_, "x", x);
    append_coord(out_, "y", y);
    append_coord(out_, "width", w < 0 ? 0 : w);
    append_coord(out_, "height", h < 0 ? 0 : h);
    append_paint(out_, paint);
    if (tooltip.empty()) {
        out_ += "/>\n";
    } else {
        out_ += "><title>";
        append_escaped(out_, tooltip);
        out_ += "</title></rect>\n";
    }
    return *this;
}

Svg& Svg::line(double x1, double y1, double x2, double y2, const Paint& paint) {
    out_ += "<line";
    append_coord(out_, "x1", x1);
    append_coord(out_, "y1", y1);
    append_coord(out_, "x2", x2);
    append_coord(out_, "y2", y2);
    append_paint(out_, paint);
    out_ += "/>\n";
    return *this;
}

Svg& Svg::path(std::string_view d, const Paint& paint, std::string_view extra) {
    out_ += "<path";
    append_paint(out_, paint);
    out_ += extra;
    out_ += " d=\"";
    append_escaped(out_, d);
    out_ += "\"/>\n";
    return *this;
}

Svg& Svg::text(double x, double y, std::string_view text, Anchor anchor, std::string_view cls, double rotate) {
    out_ += "<text";
    append_coord(out_, "x", x);
    append_coord(out_, "y", y);
    if (anchor == Anchor::Middle) out_ += " text-anchor=\"middle\"";
    if (anchor == Anchor::End) out_ += " text-anchor=\"end\"";
    if (!cls.empty()) out_ += attribute("class", cls);
    if (rotate != 0) {
        out_ += " transform=\"rotate(";
        append_px(out_, rotate);
        out_ += ' ';
        append_px(out_, x);
        out_ += ' ';
        append_px(out_, y);
        out_ += ")\"";
    }
    out_ += '>';
    append_escaped(out_, text);
    out_ += "</text>\n";
    return *this;
}

Svg& Svg::raw(std::string_view markup) {
    out_ += markup;
    return *this;
}

std::string Svg::finish() {
    while (open_groups_ > 0) close_group();
    out_ += "</svg>";
    std::string done = std::move(out_);
    out_.clear();
    return done;
}

}  // namespace figure
