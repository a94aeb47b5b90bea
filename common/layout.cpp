#include "common/layout.h"

#include <cctype>
#include <stdexcept>

namespace common {
namespace {

class Parser {
  public:
    Parser(std::string_view s, std::string& pool, std::vector<Item>& items) : s_(s), pool_(pool), items_(items) {}

    int32_t parse() {
        skip_blanks();
        if (!eat('(')) fail("layout must start with '('");
        int32_t reuse = 0;
        bool found = false;
        parse_list(0, &reuse, &found);
        skip_blanks();
        if (pos_ != s_.size()) fail("text after the closing ')'");
        return reuse;
    }

  private:
    [[noreturn]] void fail(const char* what) const {
        throw std::logic_error("bad record layout \"" + std::string(s_) + "\" at column " + std::to_string(pos_ + 1) +
                               ": " + what);
    }
    void skip_blanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
    }
    bool eat(char c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    int32_t number() {
        skip_blanks();
        if (pos_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[pos_]))) fail("a number is expected");
        int64_t v = 0;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
            v = v * 10 + (s_[pos_] - '0');
            if (v > 100000) fail("number too large");
            ++pos_;
        }
        return static_cast<int32_t>(v);
    }
    void push(Item it) { items_.push_back(it); }

    // Parses items up to the matching ')', which it consumes.
    void parse_list(int depth, int32_t* reuse, bool* found) {
        if (depth >= 12) fail("groups nested too deeply");
        for (;;) {
            skip_blanks();
            if (pos_ >= s_.size()) fail("missing ')'");
            char c = s_[pos_];
            if (c == ')') {
                ++pos_;
                return;
            }
            if (c == ',') {
                ++pos_;
                continue;
            }
            if (c == '/') {
                ++pos_;
                push(Item{ItemKind::Slash});
                continue;
            }
            if (c == '\'' || c == '"') {
                literal(c);
                continue;
            }
            int32_t r = 1;
            bool has_r = false;
            if (std::isdigit(static_cast<unsigned char>(c))) {
                r = number();
                has_r = true;
                if (r < 1) fail("a repeat count must be at least 1");
                skip_blanks();
                if (pos_ >= s_.size()) fail("item expected after a count");
                c = s_[pos_];
            }
            char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (c == '(') {
                ++pos_;
                auto begin = static_cast<int32_t>(items_.size());
                Item g{ItemKind::GroupBegin};
                g.count = r;
                push(g);
                bool inner_found = false;
                int32_t inner_reuse = 0;
                parse_list(depth + 1, &inner_reuse, &inner_found);
                close_group(begin);
                if (depth == 0) {
                    *reuse = begin;
                    *found = true;
                }
            } else if (u == 'X') {
                ++pos_;
                Item b{ItemKind::Blank};
                b.width = r;
                push(b);
            } else if (u == 'I' || u == 'F' || u == 'E' || u == 'A') {
                ++pos_;
                Item d{};
                if (u == 'I') {
                    d.kind = ItemKind::Int;
                    d.width = number();
                } else if (u == 'A') {
                    d.kind = ItemKind::Text;
                    skip_blanks();
                    d.width = (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ? number() : -1;
                } else {
                    d.kind = (u == 'F') ? ItemKind::Fixed : ItemKind::Exp;
                    d.width = number();
                    skip_blanks();
                    if (!eat('.')) fail("'.' expected in a real field");
                    d.decimals = number();
                }
                if (d.width == 0) fail("a field width must be at least 1");
                if (has_r && r > 1) {
                    auto begin = static_cast<int32_t>(items_.size());
                    Item g{ItemKind::GroupBegin};
                    g.count = r;
                    g.implicit_group = true;
                    push(g);
                    push(d);
                    close_group(begin);
                } else {
                    push(d);
                }
            } else {
                fail("unknown item");
            }
        }
    }

    void close_group(int32_t begin) {
        Item e{ItemKind::GroupEnd};
        e.link = begin;
        items_[static_cast<size_t>(begin)].link = static_cast<int32_t>(items_.size());
        push(e);
    }

    void literal(char quote) {
        ++pos_;
        std::string text;
        for (;;) {
            if (pos_ >= s_.size()) fail("unterminated literal");
            char c = s_[pos_++];
            if (c == quote) {
                if (pos_ < s_.size() && s_[pos_] == quote) {
                    text.push_back(quote);
                    ++pos_;
                    continue;
                }
                break;
            }
            text.push_back(c);
        }
        Item l{ItemKind::Literal};
        l.text = static_cast<int32_t>(pool_.size());
        l.width = static_cast<int32_t>(text.size());
        pool_ += text;
        push(l);
    }

    std::string_view s_;
    size_t pos_ = 0;
    std::string& pool_;
    std::vector<Item>& items_;
};

}  // namespace

Layout::Layout(std::string_view source) : source_(source) {
    Parser p(source_, pool_, items_);
    reuse_ = p.parse();
    flatten();
}

void Layout::flatten() {
    constexpr size_t kMaxFlat = 4096;
    // Writes out items [begin, end) with their groups repeated; false when
    // the result grows too long.
    auto expand = [&](auto&& self, int32_t begin, int32_t end) -> bool {
        for (int32_t i = begin; i < end; ++i) {
            const Item& it = items_[static_cast<size_t>(i)];
            if (it.kind == ItemKind::GroupBegin) {
                if (i == reuse_) flat_reuse_ = static_cast<int32_t>(flat_.size());
                for (int32_t r = 0; r < it.count; ++r)
                    if (!self(self, i + 1, it.link)) return false;
                i = it.link;
            } else {
                if (flat_.size() >= kMaxFlat) return false;
                flat_.push_back(it);
            }
        }
        return true;
    };
    if (!expand(expand, 0, static_cast<int32_t>(items_.size()))) {
        flat_.clear();
        flat_reuse_ = 0;
    }
}

const Item* LayoutWalker::settle() {
    const auto& items = layout_->items();
    for (;;) {
        if (pc_ >= static_cast<int32_t>(items.size())) return nullptr;
        const Item& it = items[static_cast<size_t>(pc_)];
        if (it.kind == ItemKind::GroupBegin) {
            if (depth_ >= kMaxDepth) throw std::logic_error("record layout nested too deeply");
            stack_[depth_++] = Frame{pc_, it.count};
            ++pc_;
        } else if (it.kind == ItemKind::GroupEnd) {
            Frame& f = stack_[depth_ - 1];
            if (--f.left > 0) {
                pc_ = f.begin + 1;
            } else {
                --depth_;
                ++pc_;
            }
        } else {
            return &it;
        }
    }
}

const Item* LayoutWalker::next_nested() {
    const Item* it = settle();
    if (it) ++pc_;
    return it;
}

void LayoutWalker::restart() {
    pc_ = flat_ ? layout_->flat_reuse_point() : layout_->reuse_point();
    depth_ = 0;
}

}  // namespace common
