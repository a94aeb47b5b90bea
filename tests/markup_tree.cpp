#include "markup_tree.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace markup {

namespace {

constexpr std::array<std::string_view, 14> kVoid{"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                                 "input", "link", "meta", "param", "source", "track", "wbr"};

bool is_void(std::string_view name) {
    return std::find(kVoid.begin(), kVoid.end(), name) != kVoid.end();
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool is_name_char(char c) {
    return !is_space(c) && c != '>' && c != '/' && c != '=' && c != '<' && c != '"' && c != '\'';
}

void append_utf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class Parser {
  public:
    Parser(std::string_view s, bool strict) : s_(s), strict_(strict) {}

    Tree run() {
        Tree tree;
        std::vector<Element*> open{&tree.root};
        while (pos_ < s_.size() && error_.empty()) {
            if (s_[pos_] != '<') {
                const size_t end = std::min(s_.find('<', pos_), s_.size());
                open.back()->text += decode(s_.substr(pos_, end - pos_));
                pos_ = end;
                continue;
            }
            if (starts("<!--")) {
                skip_past("-->");
            } else if (starts("<![CDATA[")) {
                const size_t from = pos_ + 9;
                skip_past("]]>");
                open.back()->text += s_.substr(from, pos_ - 3 - from);
            } else if (starts("<!") || starts("<?")) {
                skip_past(">");
            } else if (starts("</")) {
                end_tag(open);
            } else {
                start_tag(open);
            }
        }
        if (error_.empty() && strict_ && open.size() > 1) {
            fail("element <" + open.back()->name + "> is never closed");
        }
        tree.error = error_;
        return tree;
    }

  private:
    bool starts(std::string_view p) const { return s_.substr(pos_, p.size()) == p; }

    void skip_past(std::string_view p) {
        const size_t at = s_.find(p, pos_);
        if (at == std::string_view::npos) {
            if (strict_) fail("unterminated markup");
            pos_ = s_.size();
        } else {
            pos_ = at + p.size();
        }
    }

    size_t line() const {
        return static_cast<size_t>(std::count(s_.begin(), s_.begin() + static_cast<long>(pos_), '\n')) + 1;
    }

    void fail(const std::string& what) {
        if (error_.empty()) error_ = "line " + std::to_string(line()) + ": " + what;
    }

    std::string decode(std::string_view t) {
        std::string out;
        out.reserve(t.size());
        for (size_t i = 0; i < t.size(); ++i) {
            if (t[i] != '&') {
                if (strict_ && t[i] == '<') fail("'<' in text or attribute");
                out += t[i];
                continue;
            }
            const size_t semi = t.find(';', i);
            if (semi == std::string_view::npos || semi - i > 12) {
                if (strict_) fail("'&' that starts no entity");
                out += '&';
                continue;
            }
            const std::string_view ent = t.substr(i + 1, semi - i - 1);
            if (ent == "amp")
                out += '&';
            else if (ent == "lt")
                out += '<';
            else if (ent == "gt")
                out += '>';
            else if (ent == "quot")
                out += '"';
            else if (ent == "apos")
                out += '\'';
            else if (!ent.empty() && ent[0] == '#') {
                uint32_t cp = 0;
                const bool hex = ent.size() > 1 && (ent[1] == 'x' || ent[1] == 'X');
                for (size_t k = hex ? 2 : 1; k < ent.size(); ++k) {
                    const char c = ent[k];
                    const int d = c >= '0' && c <= '9'          ? c - '0'
                                  : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                : -1;
                    if (d < 0) break;
                    cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(d);
                    if (cp > 0x10FFFF) break;
                }
                append_utf8(out, std::min<uint32_t>(cp, 0x10FFFF));
            } else if (ent == "nbsp") {
                if (strict_) fail("entity &nbsp; is not defined in XML");
                out += "\xC2\xA0";
            } else {
                if (strict_) fail("entity &" + std::string(ent) + "; is not defined in XML");
                out += '&';
                out += ent;
                out += ';';
            }
            i = semi;
        }
        return out;
    }

    void end_tag(std::vector<Element*>& open) {
        pos_ += 2;
        const size_t start = pos_;
        while (pos_ < s_.size() && is_name_char(s_[pos_])) ++pos_;
        const std::string name(s_.substr(start, pos_ - start));
        skip_past(">");
        for (size_t k = open.size(); k-- > 1;) {
            if (open[k]->name != name) {
                if (strict_) {
                    fail("</" + name + "> closes <" + open[k]->name + ">");
                    return;
                }
                continue;
            }
            open.resize(k);
            return;
        }
        if (strict_) fail("</" + name + "> closes nothing");
    }

    void start_tag(std::vector<Element*>& open) {
        ++pos_;
        const size_t start = pos_;
        while (pos_ < s_.size() && is_name_char(s_[pos_])) ++pos_;
        auto el = std::make_unique<Element>();
        el->name = std::string(s_.substr(start, pos_ - start));
        if (el->name.empty()) {
            if (strict_) fail("'<' that starts no element");
            open.back()->text += '<';
            return;
        }
        bool self_closed = false;
        while (pos_ < s_.size()) {
            while (pos_ < s_.size() && is_space(s_[pos_])) ++pos_;
            if (pos_ >= s_.size()) break;
            if (s_[pos_] == '>') {
                ++pos_;
                break;
            }
            if (starts("/>")) {
                self_closed = true;
                pos_ += 2;
                break;
            }
            const size_t a = pos_;
            while (pos_ < s_.size() && is_name_char(s_[pos_])) ++pos_;
            if (pos_ == a) {  // stray character
                if (strict_) fail("stray character in <" + el->name + ">");
                ++pos_;
                continue;
            }
            std::string name(s_.substr(a, pos_ - a));
            std::string value;
            if (pos_ < s_.size() && s_[pos_] == '=') {
                ++pos_;
                if (pos_ < s_.size() && (s_[pos_] == '"' || s_[pos_] == '\'')) {
                    const char q = s_[pos_++];
                    const size_t end = std::min(s_.find(q, pos_), s_.size());
                    value = decode(s_.substr(pos_, end - pos_));
                    pos_ = std::min(end + 1, s_.size());
                } else {
                    if (strict_) fail("unquoted value of " + name + " in <" + el->name + ">");
                    const size_t v = pos_;
                    while (pos_ < s_.size() && !is_space(s_[pos_]) && s_[pos_] != '>') ++pos_;
                    value = decode(s_.substr(v, pos_ - v));
                }
            } else if (strict_) {
                fail("attribute " + name + " of <" + el->name + "> has no value");
            }
            if (strict_ && el->attribute(name)) fail("attribute " + name + " given twice");
            el->attributes.emplace_back(std::move(name), std::move(value));
        }
        Element* raw = el.get();
        open.back()->children.push_back(std::move(el));
        if (self_closed) return;
        if (is_void(raw->name)) {
            if (strict_) fail("<" + raw->name + "> is not closed");
            return;
        }
        if (raw->name == "style" || raw->name == "script") {
            const std::string close = "</" + raw->name;
            const size_t end = std::min(s_.find(close, pos_), s_.size());
            raw->text += std::string(s_.substr(pos_, end - pos_));
            if (strict_) {
                for (size_t k = pos_; k < end; ++k) {
                    if (s_[k] == '<' || s_[k] == '&') {
                        pos_ = k;
                        fail("'<' or '&' inside <" + raw->name + ">");
                        return;
                    }
                }
            }
            pos_ = end;
            if (pos_ < s_.size()) {
                pos_ += close.size();
                skip_past(">");
            }
            return;
        }
        open.push_back(raw);
    }

    std::string_view s_;
    bool strict_;
    size_t pos_ = 0;
    std::string error_;
};

void gather_text(const Element& e, std::string& out) {
    out += e.text;
    for (const auto& c : e.children) gather_text(*c, out);
}

}  // namespace

const std::string* Element::attribute(std::string_view name) const {
    for (const auto& [n, v] : attributes) {
        if (n == name) return &v;
    }
    return nullptr;
}

bool Element::has_classes(std::string_view classes) const {
    const std::string* cls = attribute("class");
    if (!cls) return false;
    auto has_word = [&](std::string_view w) {
        size_t i = 0;
        while (i < cls->size()) {
            while (i < cls->size() && is_space((*cls)[i])) ++i;
            const size_t j = std::min(cls->find(' ', i), cls->size());
            if (std::string_view(*cls).substr(i, j - i) == w) return true;
            i = j;
        }
        return false;
    };
    size_t i = 0;
    while (i < classes.size()) {
        const size_t j = std::min(classes.find(' ', i), classes.size());
        if (j > i && !has_word(classes.substr(i, j - i))) return false;
        i = j + 1;
    }
    return true;
}

std::string Element::all_text() const {
    std::string out;
    gather_text(*this, out);
    return out;
}

Tree parse(std::string_view text, bool strict) {
    return Parser(text, strict).run();
}

}  // namespace markup
