// A small reader of HTML and XML markup into a tree of elements, for tests
// that look inside the pages the report programs write and the DOM a browser
// dumps back.
//
// In lenient mode it reads what browsers serialise: void elements without a
// closing slash, boolean attributes, end tags that close several elements.
// In strict mode it also enforces what an XML parser demands and reports the
// first breach with its line: every element closed in order, attribute
// values quoted, no entity other than the five of XML and numeric ones.
// Text of <style> and <script> is kept raw; entities in text and attribute
// values are decoded.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace markup {

struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<Element>> children;
    std::string text;  // all character data directly inside, concatenated

    // The value of attribute NAME, or nullptr.
    const std::string* attribute(std::string_view name) const;
    // True when the class attribute holds every word of CLASSES.
    bool has_classes(std::string_view classes) const;
    // This element's and all its descendants' text, in document order.
    std::string all_text() const;
};

struct Tree {
    Element root;       // a nameless element holding the top-level elements
    std::string error;  // strict mode: the first breach; empty when none
};

Tree parse(std::string_view text, bool strict);

// Every element below E (E itself excluded), in document order, for which
// PRED is true.
template <typename Pred>
void collect(const Element& e, Pred pred, std::vector<const Element*>& out) {
    for (const auto& c : e.children) {
        if (pred(*c)) out.push_back(c.get());
        collect(*c, pred, out);
    }
}

template <typename Pred>
std::vector<const Element*> find_all(const Element& e, Pred pred) {
    std::vector<const Element*> out;
    collect(e, pred, out);
    return out;
}

}  // namespace markup
