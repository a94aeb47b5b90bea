// Record layouts: the parenthesised lists of field items that describe a
// fixed-format record, such as "(3X,I3,5X,F5.0,12X,F9.4)".
//
// A Layout is parsed once, when it is constructed, and then only walked. A
// layout string that does not parse is a programming error: the constructor
// throws std::logic_error naming the string and the column.
//
// Items: rIw, rFw.d, rEw.d, Aw, A, nX, a quoted literal ('...' or "...", a
// doubled quote inside stands for one), / and r( ... ). A repeated data item
// such as 28I3 is kept as an implicit group, which does not count as the
// point of reuse when a statement outruns its layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace common {

enum class ItemKind : uint8_t {
    Int,         // Iw
    Fixed,       // Fw.d
    Exp,         // Ew.d
    Text,        // Aw, or A when width < 0
    Blank,       // nX
    Literal,     // quoted text
    Slash,       // end of record
    GroupBegin,  // r( ; count = r, link = index of the matching GroupEnd
    GroupEnd,    // )  ; link = index of the matching GroupBegin
};

struct Item {
    ItemKind kind;
    bool implicit_group = false;  // GroupBegin made from a repeated data item
    int32_t width = 0;            // field width, blank count, or literal length
    int32_t decimals = 0;         // d of Fw.d and Ew.d
    int32_t count = 1;            // repeat count of a group
    int32_t link = -1;            // matching group bracket
    int32_t text = 0;             // offset of a literal in the text pool

    bool is_data() const {
        return kind == ItemKind::Int || kind == ItemKind::Fixed || kind == ItemKind::Exp || kind == ItemKind::Text;
    }
};

class Layout {
  public:
    explicit Layout(std::string_view source);

    const std::vector<Item>& items() const { return items_; }
    std::string_view literal(const Item& it) const {
        return std::string_view(pool_).substr(static_cast<size_t>(it.text), static_cast<size_t>(it.width));
    }
    // Index where the walk starts again when values remain at the end.
    int32_t reuse_point() const { return reuse_; }
    const std::string& source() const { return source_; }

    // The layout with every group written out, when that is short: the items
    // in walking order (no brackets), and the index where the reuse starts.
    // Empty for layouts whose repeat counts make them long.
    const std::vector<Item>& flat() const { return flat_; }
    int32_t flat_reuse_point() const { return flat_reuse_; }

  private:
    void flatten();

    std::string source_;
    std::string pool_;
    std::vector<Item> items_;
    int32_t reuse_ = 0;
    std::vector<Item> flat_;
    int32_t flat_reuse_ = 0;
};

// Walks a layout item by item, expanding groups. The outermost parentheses of
// the layout are not a group. At the end of the layout next() returns nullptr;
// restart() then moves to the reuse point with that group's repeat count.
class LayoutWalker {
  public:
    explicit LayoutWalker(const Layout& layout)
        : layout_(&layout),
          flat_(layout.flat().empty() ? nullptr : layout.flat().data()),
          flat_size_(static_cast<int32_t>(layout.flat().size())) {}

    // The next item to act on, or nullptr at the end of the layout.
    const Item* next() {
        if (flat_) return pc_ < flat_size_ ? &flat_[pc_++] : nullptr;
        return next_nested();
    }
    // The item that next() would return, without moving.
    const Item* peek() {
        if (flat_) return pc_ < flat_size_ ? &flat_[pc_] : nullptr;
        return settle();
    }
    // Start again at the reuse point after the end was reached.
    void restart();

  private:
    const Item* next_nested();
    static constexpr int kMaxDepth = 16;
    struct Frame {
        int32_t begin;
        int32_t left;
    };
    const Item* settle();

    const Layout* layout_;
    const Item* flat_;
    int32_t flat_size_;
    int32_t pc_ = 0;
    int depth_ = 0;
    Frame stack_[kMaxDepth]{};
};

}  // namespace common
