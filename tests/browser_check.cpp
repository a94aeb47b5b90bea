#include "browser_check.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace browser_check {

namespace fs = std::filesystem;
using markup::Element;

namespace {

constexpr int kWindowWidth = 1200;
constexpr int kMinWindowHeight = 800;
constexpr int kMaxWindowHeight = 16000;

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(std::string_view s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string_view::npos) return {};
    const size_t b = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(a, b - a + 1));
}

bool is_letter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// True when S holds "nan" or "inf" as a word of its own, as a number
// written from a NaN or an infinity would.
bool has_nan_or_inf(std::string_view s) {
    const std::string l = lower(s);
    for (const std::string_view w : {"nan", "inf"}) {
        for (size_t at = l.find(w); at != std::string::npos; at = l.find(w, at + 1)) {
            const bool before = at > 0 && is_letter(l[at - 1]);
            const bool after = at + 3 < l.size() && is_letter(l[at + 3]) && l.compare(at, 8, "infinity") != 0;
            if (!before && !after) return true;
        }
    }
    return false;
}

// Coordinate pairs "x,y" in path data D; an error when a comma does not
// stand between two numbers or D holds something path data cannot.
int count_pairs(std::string_view d, std::string& error) {
    static constexpr std::string_view kAllowed = "0123456789.,-+eE MmLlHhVvZzAaCcSsQqTt\n\t";
    int n = 0;
    for (size_t i = 0; i < d.size(); ++i) {
        if (kAllowed.find(d[i]) == std::string_view::npos) {
            error = std::string("character '") + d[i] + "' in path data";
            return -1;
        }
        if (d[i] != ',') continue;
        const bool left = i > 0 && (std::isdigit(static_cast<unsigned char>(d[i - 1])) || d[i - 1] == '.');
        const bool right = i + 1 < d.size() && (std::isdigit(static_cast<unsigned char>(d[i + 1])) || d[i + 1] == '-' ||
                                                d[i + 1] == '.' || d[i + 1] == '+');
        if (!left || !right) {
            error = "a comma not between two numbers at offset " + std::to_string(i);
            return -1;
        }
        ++n;
    }
    return n;
}

bool parse_int(const std::string& s, long& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    v = std::strtol(s.c_str(), &end, 10);
    return end && *end == '\0';
}

std::vector<const Element*> by_class(const Element& e, std::string_view name, std::string_view cls) {
    return markup::find_all(e,
                            [&](const Element& c) { return (name.empty() || c.name == name) && c.has_classes(cls); });
}

bool numeric_attribute(std::string_view name) {
    static constexpr std::array<std::string_view, 8> kText{"id",          "class", "data-series", "data-markers",
                                                           "font-family", "role",  "lang",        "xmlns"};
    if (name.substr(0, 5) == "aria-") return false;
    return std::find(kText.begin(), kText.end(), name) == kText.end();
}

void check_one_figure(const Element& svg, std::vector<std::string>& fail) {
    const std::string* idp = svg.attribute("id");
    const std::string id = idp ? *idp : std::string("(no id)");
    auto failure = [&](const std::string& what) { fail.push_back("figure " + id + ": " + what); };
    if (!idp || idp->empty()) failure("<svg> has no id");

    for (const char* which : {"x", "y"}) {
        const auto axes = by_class(svg, "g", std::string("axis ") + which);
        if (axes.size() != 1) {
            failure(std::to_string(axes.size()) + " " + which + " axis groups, not 1");
            continue;
        }
        int labels = 0;
        for (const Element* t : by_class(*axes[0], "text", "tick-label")) {
            const std::string text = t->all_text();
            if (!text.empty()) ++labels;
            if (has_nan_or_inf(text)) failure(std::string(which) + " tick label \"" + text + "\"");
        }
        if (labels < 2) failure(std::string(which) + " axis has " + std::to_string(labels) + " tick labels");
        const auto titles = by_class(*axes[0], "text", "axis-title");
        if (titles.size() != 1 || titles[0]->all_text().empty()) failure(std::string(which) + " axis has no title");
    }

    const auto series =
        markup::find_all(svg, [](const Element& e) { return e.name == "path" && e.attribute("data-series"); });
    const auto legends = by_class(svg, "g", "legend");
    if (legends.size() != 1) {
        failure(std::to_string(legends.size()) + " legend groups, not 1");
    } else {
        const auto entries = by_class(*legends[0], "g", "legend-entry");
        if (entries.size() != series.size()) {
            failure("legend has " + std::to_string(entries.size()) + " entries for " + std::to_string(series.size()) +
                    " series");
        }
        for (size_t i = 0; i < std::min(entries.size(), series.size()); ++i) {
            const std::string& name = *series[i]->attribute("data-series");
            const std::string text = trimmed(entries[i]->all_text());
            if (text.rfind(name, 0) != 0) {
                failure("legend entry " + std::to_string(i + 1) + " \"" + text + "\" does not name series \"" + name +
                        "\"");
            }
        }
    }

    for (const Element* p : markup::find_all(svg, [](const Element& e) { return e.attribute("data-points"); })) {
        const std::string* who = p->attribute("data-series");
        if (!who) who = p->attribute("data-markers");
        const std::string name = who ? *who : std::string("?");
        long declared = 0;
        if (!parse_int(*p->attribute("data-points"), declared)) {
            failure("series " + name + ": data-points \"" + *p->attribute("data-points") + "\"");
            continue;
        }
        const std::string* d = p->attribute("d");
        std::string error;
        const int pairs = d ? count_pairs(*d, error) : 0;
        if (pairs < 0) {
            failure("series " + name + ": " + error);
        } else if (pairs != declared) {
            failure("series " + name + ": data-points " + std::to_string(declared) + " but " + std::to_string(pairs) +
                    " coordinate pairs in its path");
        }
    }

    for (const Element* e : markup::find_all(svg, [](const Element&) { return true; })) {
        for (const auto& [n, v] : e->attributes) {
            if (numeric_attribute(n) && has_nan_or_inf(v)) {
                failure("<" + e->name + "> " + n + "=\"" + v.substr(0, 60) + "\" holds NaN or infinity");
            }
        }
    }
}

// Attributes and elements that would load something or run a script.
void check_standalone(const Element& root, std::vector<std::string>& fail) {
    static constexpr std::array<std::string_view, 13> kElements{"script", "link",  "iframe", "object", "embed",
                                                                "img",    "image", "audio",  "video",  "source",
                                                                "base",   "frame", "track"};
    static const std::array<std::string, 3> kNamespaces{"http://www.w3.org/1999/xhtml", "http://www.w3.org/2000/svg",
                                                        "http://www.w3.org/1999/xlink"};
    for (const Element* e : markup::find_all(root, [](const Element&) { return true; })) {
        const std::string name = lower(e->name);
        if (std::find(kElements.begin(), kElements.end(), name) != kElements.end()) {
            fail.push_back("page holds a <" + name + "> element");
        }
        if (name == "style") {
            const std::string css = lower(e->text);
            for (const char* t : {"url(", "@import", "@font-face"}) {
                if (css.find(t) != std::string::npos) fail.push_back(std::string("style sheet uses ") + t);
            }
        }
        for (const auto& [n, v] : e->attributes) {
            const std::string an = lower(n);
            const std::string av = lower(v);
            // Namespace names look like addresses but are never fetched.
            if (an.rfind("xmlns", 0) == 0 &&
                std::find(kNamespaces.begin(), kNamespaces.end(), v) != kNamespaces.end()) {
                continue;
            }
            const bool link = an == "src" || an == "srcset" || an == "http-equiv" || an.rfind("on", 0) == 0 ||
                              ((an == "href" || an == "xlink:href") && v.rfind('#', 0) != 0);
            const bool address = av.find("http:") != std::string::npos || av.find("https:") != std::string::npos ||
                                 av.find("file:") != std::string::npos || av.find("url(") != std::string::npos ||
                                 av.find("@import") != std::string::npos;
            if (link || address)
                fail.push_back("<" + name + "> " + n + "=\"" + v.substr(0, 60) + "\" refers elsewhere");
        }
    }
}

struct RunOutcome {
    bool started = false;
    bool timed_out = false;
    int exit_code = -1;
};

// Runs ARGS with standard output to OUT and error to ERR, in a process group
// of its own that is ended when the run is over or out of time.
RunOutcome run(const std::vector<std::string>& args, const fs::path& out, const fs::path& err,
               std::chrono::seconds limit) {
    RunOutcome r;
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&fa);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &fa, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return r;
    r.started = true;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t w = waitpid(pid, &status, WNOHANG);
        if (w == pid) break;
        if (w < 0) return r;
        if (std::chrono::steady_clock::now() > deadline) {
            r.timed_out = true;
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(-pid, SIGKILL);  // helpers the browser may have left in its group
    if (WIFEXITED(status)) r.exit_code = WEXITSTATUS(status);
    return r;
}

std::string file_url(const fs::path& p) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : fs::absolute(p).lexically_normal().string()) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += c;
        } else {
            url += '%';
            url += kHex[u >> 4];
            url += kHex[u & 15];
        }
    }
    return url;
}

// A scratch folder removed when the check is over.
struct ScratchDir {
    fs::path path;
    ScratchDir() {
        std::string tmpl = (fs::temp_directory_path() / "browser_check-XXXXXX").string();
        if (mkdtemp(tmpl.data())) path = tmpl;
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

class Chromium {
  public:
    Chromium(fs::path exe, const fs::path& scratch, std::chrono::seconds limit)
        : exe_(std::move(exe)), scratch_(scratch), limit_(limit) {}

    // Runs Chromium on URL with EXTRA arguments; standard output in OUT.
    // Empty on success, else what went wrong.
    std::string load(const std::string& url, const std::vector<std::string>& extra, std::string& out) {
        const int n = ++runs_;
        const fs::path profile = scratch_ / ("profile" + std::to_string(n));
        const fs::path out_file = scratch_ / ("out" + std::to_string(n) + ".txt");
        const fs::path err_file = scratch_ / ("err" + std::to_string(n) + ".txt");
        fs::create_directories(profile);
        std::vector<std::string> args{exe_.string(),
                                      "--headless",
                                      "--no-sandbox",
                                      "--disable-gpu",
                                      "--disable-quic",
                                      "--no-first-run",
                                      "--disable-background-networking",
                                      "--disable-component-update",
                                      "--disable-sync",
                                      "--user-data-dir=" + profile.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(url);
        const RunOutcome r = run(args, out_file, err_file, limit_);
        out = read_file(out_file);
        if (!r.started) return "Chromium did not start (" + exe_.string() + ")";
        if (r.timed_out) return "Chromium ran longer than " + std::to_string(limit_.count()) + " s on " + url;
        if (r.exit_code != 0) {
            std::string err = read_file(err_file);
            if (err.size() > 2000) err = err.substr(err.size() - 2000);
            return "Chromium ended with status " + std::to_string(r.exit_code) + " on " + url + ":\n" + err;
        }
        return {};
    }

  private:
    fs::path exe_;
    fs::path scratch_;
    std::chrono::seconds limit_;
    int runs_ = 0;
};

// Height of a window that shows the whole page: its figures plus a line or
// so for each heading, paragraph and list item.
int window_height(const Element& root) {
    double h = 200;
    for (const Element* e : markup::find_all(root, [](const Element&) { return true; })) {
        if (e->name == "svg") {
            const std::string* height = e->attribute("height");
            if (height) h += std::atof(height->c_str()) + 40;
        }
        if (e->name == "h1" || e->name == "h2" || e->name == "p" || e->name == "li" || e->name == "summary" ||
            e->name == "figcaption") {
            h += 40;
        }
    }
    return std::clamp(static_cast<int>(h), kMinWindowHeight, kMaxWindowHeight);
}

uint32_t be32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

void check_png(const fs::path& png, int width, int height, size_t min_bytes, std::vector<std::string>& fail) {
    const std::string data = read_file(png);
    if (data.empty()) {
        fail.push_back("no screenshot at " + png.string());
        return;
    }
    static constexpr std::string_view kSignature = "\x89PNG\r\n\x1a\n";
    if (data.size() < 24 || data.compare(0, 8, kSignature) != 0 || data.compare(12, 4, "IHDR") != 0) {
        fail.push_back("screenshot " + png.string() + " is not a PNG");
        return;
    }
    const uint32_t w = be32(data, 16);
    const uint32_t h = be32(data, 20);
    if (w != static_cast<uint32_t>(width) || h != static_cast<uint32_t>(height)) {
        fail.push_back("screenshot is " + std::to_string(w) + "x" + std::to_string(h) + ", not " +
                       std::to_string(width) + "x" + std::to_string(height));
    }
    if (data.size() < min_bytes) {
        fail.push_back("screenshot has only " + std::to_string(data.size()) + " bytes: the page looks empty");
    }
}

}  // namespace

std::string Report::describe() const {
    std::string out;
    for (const std::string& f : failures) out += f + "\n";
    if (!screenshot.empty()) out += "screenshot: " + screenshot.string() + "\n";
    return out;
}

std::optional<fs::path> find_chromium() {
    const char* env = std::getenv("CHROMIUM");
    const fs::path p = env && *env ? fs::path(env) : fs::path("/usr/bin/chromium");
    if (access(p.c_str(), X_OK) == 0) return p;
    return std::nullopt;
}

std::string missing_chromium() {
    const char* env = std::getenv("CHROMIUM");
    const std::string where = env && *env ? std::string(env) + " (from $CHROMIUM)" : "/usr/bin/chromium";
    return "no Chromium at " + where +
           ", so the page is not checked in a browser; install it with "
           "'apt-get install -y chromium'";
}

std::vector<std::string> check_source(std::string_view page) {
    std::vector<std::string> fail;
    if (page.substr(0, 15) != "<!DOCTYPE html>") fail.push_back("page does not start with <!DOCTYPE html>");
    if (page.find("<meta charset=\"utf-8\"") == std::string_view::npos) fail.push_back("page declares no utf-8");
    if (lower(page).find("<script") != std::string::npos) fail.push_back("page holds a script");
    const markup::Tree tree = markup::parse(page, true);
    if (!tree.error.empty()) fail.push_back("page is not well-formed XML: " + tree.error);
    check_standalone(tree.root, fail);
    return fail;
}

std::vector<std::string> check_figures(const Element& root, const Expectations& expect) {
    std::vector<std::string> fail;
    const auto figures = by_class(root, "svg", "figure");
    if (expect.figure_count >= 0 && figures.size() != static_cast<size_t>(expect.figure_count)) {
        fail.push_back(std::to_string(figures.size()) + " figures, not " + std::to_string(expect.figure_count));
    } else if (expect.figure_count < 0 && figures.empty()) {
        fail.push_back("no figure on the page");
    }
    for (const Element* svg : figures) check_one_figure(*svg, fail);

    for (const FigureExpectation& fe : expect.figures) {
        const Element* svg = nullptr;
        for (const Element* f : figures) {
            const std::string* id = f->attribute("id");
            if (id && *id == fe.id) svg = f;
        }
        if (!svg) {
            fail.push_back("figure " + fe.id + " is missing");
            continue;
        }
        const auto series =
            markup::find_all(*svg, [](const Element& e) { return e.name == "path" && e.attribute("data-series"); });
        if (fe.series >= 0 && series.size() != static_cast<size_t>(fe.series)) {
            fail.push_back("figure " + fe.id + ": " + std::to_string(series.size()) + " series, not " +
                           std::to_string(fe.series));
        }
        for (const auto& [name, n] : fe.points) {
            const Element* path = nullptr;
            for (const Element* s : series) {
                if (*s->attribute("data-series") == name) path = s;
            }
            if (!path) {
                fail.push_back("figure " + fe.id + ": no series \"" + name + "\"");
                continue;
            }
            const std::string* pts = path->attribute("data-points");
            if (!pts || *pts != std::to_string(n)) {
                fail.push_back("figure " + fe.id + ", series \"" + name + "\": " + (pts ? *pts : "no") +
                               " points drawn, not " + std::to_string(n));
            }
        }
    }
    return fail;
}

std::vector<std::string> check_dom(std::string_view dom, const Expectations& expect) {
    if (dom.find_first_not_of(" \t\r\n") == std::string_view::npos) return {"the browser gave back no DOM"};
    const markup::Tree tree = markup::parse(dom, false);
    std::vector<std::string> fail;
    if (!markup::find_all(tree.root, [](const Element& e) { return e.name == "parsererror"; }).empty() ||
        dom.find("parsererror") != std::string_view::npos) {
        fail.push_back("the browser's XML parser rejected the page: " +
                       std::string(dom.substr(dom.find("parsererror"), 300)));
    }
    const auto more = check_figures(tree.root, expect);
    fail.insert(fail.end(), more.begin(), more.end());
    const std::string text = tree.root.all_text();
    for (const std::string& t : expect.texts) {
        if (text.find(t) == std::string::npos) fail.push_back("the page does not say \"" + t + "\"");
    }
    return fail;
}

Report check_page(const fs::path& html, const Expectations& expect, const fs::path& screenshot) {
    Report report;
    auto add = [&](const std::string& where, const std::vector<std::string>& f) {
        for (const std::string& s : f) report.failures.push_back(where + s);
    };
    const std::string page = read_file(html);
    if (page.empty()) {
        report.failures.push_back("cannot read " + html.string());
        return report;
    }
    add("source: ", check_source(page));

    const std::optional<fs::path> exe = find_chromium();
    if (!exe) {
        report.failures.push_back(missing_chromium());
        return report;
    }
    ScratchDir scratch;
    if (scratch.path.empty()) {
        report.failures.push_back("cannot make a scratch folder");
        return report;
    }
    Chromium chromium(*exe, scratch.path, expect.timeout);

    // As HTML, in one run: the DOM after rendering and the screenshot, the
    // window tall enough for the whole page.
    const int height = expect.window_height > 0 ? expect.window_height : window_height(markup::parse(page, false).root);
    fs::create_directories(fs::absolute(screenshot).parent_path());
    fs::remove(screenshot);
    std::string dom;
    std::string error = chromium.load(file_url(html),
                                      {"--dump-dom", "--screenshot=" + fs::absolute(screenshot).string(),
                                       "--window-size=" + std::to_string(kWindowWidth) + "," + std::to_string(height),
                                       "--hide-scrollbars", "--force-device-scale-factor=1"},
                                      dom);
    if (!error.empty()) {
        report.failures.push_back(error);
    } else {
        add("HTML DOM: ", check_dom(dom, expect));
    }

    // As XHTML: the same bytes judged by the browser's XML parser.
    const fs::path xhtml = scratch.path / (html.stem().string() + ".xhtml");
    fs::copy_file(html, xhtml, fs::copy_options::overwrite_existing);
    std::string xdom;
    error = chromium.load(file_url(xhtml), {"--dump-dom"}, xdom);
    if (!error.empty()) {
        report.failures.push_back(error);
    } else {
        add("XHTML DOM: ", check_dom(xdom, expect));
    }

    report.screenshot = fs::absolute(screenshot);
    check_png(screenshot, kWindowWidth, height, expect.min_png_bytes, report.failures);
    return report;
}

}  // namespace browser_check
