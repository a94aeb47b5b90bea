#include "command/page_checks.h"

namespace command {

namespace {

// Element content as figure::escape writes it, back to plain text.
std::string unescape(std::string_view s) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&apos;", '\''}};
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        bool replaced = false;
        if (s[i] == '&') {
            for (auto [entity, c] : kEntities) {
                if (s.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += s[i++];
    }
    return out;
}

}  // namespace

std::vector<PageCheck> page_checks(std::string_view html) {
    std::vector<PageCheck> checks;
    const size_t section = html.find("<section class=\"checks\">");
    if (section == std::string_view::npos) return checks;
    const size_t end = html.find("</section>", section);
    std::string_view list = html.substr(section, end == std::string_view::npos ? html.npos : end - section);
    static constexpr std::string_view kItem = "<li class=\"";
    static constexpr std::string_view kMarkEnd = "</span> ";
    for (size_t at = list.find(kItem); at != std::string_view::npos; at = list.find(kItem, at)) {
        at += kItem.size();
        const size_t quote = list.find('"', at);
        const size_t close = list.find("</li>", at);
        if (quote == std::string_view::npos || close == std::string_view::npos) break;
        PageCheck c;
        c.level = std::string(list.substr(at, quote - at));
        size_t text = list.find(kMarkEnd, quote);
        text = text == std::string_view::npos || text > close ? list.find('>', quote) + 1 : text + kMarkEnd.size();
        c.text = unescape(list.substr(text, close - text));
        checks.push_back(std::move(c));
        at = close;
    }
    return checks;
}

int warning_count(const std::vector<PageCheck>& checks) {
    int n = 0;
    for (const PageCheck& c : checks) n += c.level == "warning" || c.level == "failed";
    return n;
}

}  // namespace command
