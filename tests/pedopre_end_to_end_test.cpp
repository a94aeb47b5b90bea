// Whole PEDOPRE runs on files in memory, on both forms of the main input file
// and on the bundled example soils: every one of the nine files is checked
// line by line against its record layout, and the run must not raise an
// invalid operation, a division by zero or an overflow anywhere.
#include <gtest/gtest.h>

#include <cfenv>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/file_system.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "pedopre_test_files.h"
#include "soilprep/pedopre.h"

using pedopre_test::lines_of;
using pedopre_test::read_file;

namespace {

// True when `line` is exactly what `layout` writes for the values that the
// same layout reads from it: every field in its columns, every literal and
// blank in place, nothing after the last field. The first integer field read
// goes to `first_int`.
bool fits(const std::string& line, const std::string& source, int32_t* first_int) {
    common::Layout layout(source);
    std::vector<const common::Item*> fields;
    common::LayoutWalker walk(layout);
    while (const common::Item* it = walk.next())
        if (it->is_data()) fields.push_back(it);
    std::vector<int32_t> ints(fields.size());
    std::vector<float> reals(fields.size());
    std::vector<std::string> texts(fields.size());
    auto c = common::Connection::in_memory(1, "line", line + "\n");
    common::RecordReader r(*c, layout);
    for (size_t i = 0; i < fields.size(); ++i) {
        switch (fields[i]->kind) {
            case common::ItemKind::Int:
                r.get(ints[i]);
                break;
            case common::ItemKind::Text:
                texts[i].assign(static_cast<size_t>(fields[i]->width), ' ');
                r.get(texts[i]);
                break;
            default:
                r.get(reals[i]);
                break;
        }
    }
    if (r.finish() != common::ReadStatus::Done) return false;
    std::string out;
    common::RecordWriter w(layout, out);
    for (size_t i = 0; i < fields.size(); ++i) {
        switch (fields[i]->kind) {
            case common::ItemKind::Int:
                if (first_int) *std::exchange(first_int, nullptr) = ints[i];
                w.put(ints[i]);
                break;
            case common::ItemKind::Text:
                w.put(texts[i]);
                break;
            default:
                w.put(reals[i]);
                break;
        }
    }
    w.finish();
    return out == line + "\r\n";
}

// Walks the records of one file in order.
class Lines {
  public:
    Lines(std::string name, const std::string& text) : name_(std::move(name)), lines_(lines_of(text)) {
        if (!text.empty() && text.substr(text.size() - 2) != "\r\n")
            ADD_FAILURE() << name_ << ": last line has no CR LF";
        size_t crlf = 0, lf = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') (i > 0 && text[i - 1] == '\r' ? crlf : lf)++;
        if (lf) ADD_FAILURE() << name_ << ": " << lf << " lines end in a bare LF";
    }
    bool more() const { return at_ < lines_.size(); }
    const std::string& peek() const { return lines_[at_]; }
    std::string next() {
        if (!more()) {
            ADD_FAILURE() << name_ << ": ends early at line " << at_ + 1;
            return {};
        }
        return lines_[at_++];
    }
    // The next `count` lines fit the layout; the first integer field of the
    // last of them, as the layout reads it.
    int32_t layout(const std::string& source, int count = 1) {
        int32_t first = 0;
        for (int i = 0; i < count; ++i) {
            std::string l = next();
            if (!fits(l, source, &first))
                ADD_FAILURE() << name_ << " line " << at_ << " does not fit " << source << ": [" << l << "]";
        }
        return first;
    }
    void text(const std::string& expected) {
        std::string l = next();
        if (l != expected)
            ADD_FAILURE() << name_ << " line " << at_ << ": [" << l << "], expected [" << expected << "]";
    }
    // A free-form record of n reals, with its leading blank.
    void free_reals(int n) {
        std::string l = next();
        auto c = common::Connection::in_memory(1, "line", l + "\n");
        std::vector<float> v(static_cast<size_t>(n));
        common::FreeReader r(*c);
        for (auto& x : v) r.get(x);
        if (l.empty() || l[0] != ' ' || r.finish() != common::ReadStatus::Done)
            ADD_FAILURE() << name_ << " line " << at_ << " is not " << n << " free-form values: [" << l << "]";
    }
    void end() {
        if (more()) ADD_FAILURE() << name_ << ": " << lines_.size() - at_ << " lines too many from line " << at_ + 1;
    }

  private:
    std::string name_;
    std::vector<std::string> lines_;
    size_t at_ = 0;
};

struct Soil {
    int32_t nlayer = 0;
    bool measured = true;
    std::vector<int32_t> rows;  // rows of each conductivity table
};

const char* const kTitle = "(A80)";

// The layout "(" + lead + count + item + ")".
std::string repeated(int count, const char* item, const char* lead = "") {
    return std::string("(") + lead + std::to_string(count) + item + ")";
}

void check_mq(const std::string& text, Soil& soil) {
    Lines f("MQ", text);
    f.layout(kTitle);
    soil.nlayer = f.layout("(1X,'NUMBER OF LAYERS= ',I2)");
    for (int l = 0; l < soil.nlayer; ++l) {
        f.text(" ENTRIES  BOTTOM DEPTH(CM)");
        soil.rows.push_back(f.layout("(1X,I2,F8.3,F10.2)"));
        f.text(" THETA               HEAD          COND-CM/HR");
        f.layout("(F10.3,10X,F10.1,5X,F15.9)", soil.rows.back());
    }
    f.text("");
    f.text("  LAYER #  DEPTH (CM)  SUCTION OF WETTING FRONT (CM)");
    f.layout("(3X,I3,5X,F5.0,12X,F9.4)", soil.nlayer);
    std::string empty = f.next();
    EXPECT_TRUE(empty == "" || empty == " ") << "MQ: [" << empty << "]";
    f.free_reals(3);
    f.end();
}

void check_sav(const std::string& text, const Soil& soil) {
    Lines f("SAV", text);
    for (int l = 0; l < soil.nlayer; ++l) {
        f.text("");
        f.text("");
        f.layout("(3X,'Layer with bottom depth (cm)=',F8.2,' Saturated K in cm/hr=',F8.2)");
        f.text("");
        f.layout("(3(4X,'Head',2X,'SAVarea',3X,'SAVINT'))");
        int32_t triples = soil.rows[static_cast<size_t>(l)] - 1;
        for (; triples > 0; triples -= 3) f.layout(repeated(std::min(triples, 3), "(F9.1,1X,F7.1,2X,F7.1)"));
    }
    f.end();
}

void check_mis(const std::string& text, const Soil& soil) {
    Lines f("MIS", text);
    f.layout("(I4)");
    for (int l = 0; l < soil.nlayer; ++l) {
        f.text(" *TOP AND BOTTOM OF LAYER");
        f.layout("(2F8.1)");
        f.text(" *NUMBER OF POINTS IN LAYER");
        f.layout(soil.measured ? "(F7.3,F12.1)" : "(F7.5,F12.1)", f.layout("(I4)"));
    }
    f.end();
}

void check_wdv(const std::string& text, const Soil& soil) {
    Lines f("WDV", text);
    f.text("*NLAYER");
    f.layout("(I3)");
    for (int l = 0; l < soil.nlayer; ++l) {
        f.text("*TLAYER BLAYER NPTS");
        f.layout("(F7.1,F8.1,1X,I4)");
        f.text("*WATER TABLE  VOLUME DRAINED");
        f.layout("(3X,I5,3X,F11.5)", 201);
    }
    f.end();
}

void check_wtd(const std::string& text, const Soil& soil) {
    Lines f("WTD", text);
    f.layout("('TITLE: ',A80)");
    // Repairs of a measured characteristic, if any.
    while (f.more() && !f.peek().empty()) f.next();
    f.text("");
    f.text("");
    f.text(" INPUTS:");
    f.layout("(' ',10X,'# OF LAYERS = ',I2)");
    f.text(" DEPTH AT BOTTOM OF EACH LAYER (CM) :");
    f.layout(repeated(std::min(soil.nlayer, 5), "F10.1", "1X,"));
    if (soil.nlayer > 5) f.layout(repeated(soil.nlayer - 5, "F10.1", "1X,"));
    f.text("");
    f.text(" CALCULATED USING  1001 STEPS OF  1.00 CM THICKNESS");
    for (int l = 0; l < soil.nlayer; ++l) {
        f.text(" ");
        f.text("");
        f.text("");
        f.layout("(35X,'LAYER=',I2)");
        f.text("");
        f.text("                    PRESSURE HEAD          THETA");
        while (f.more() && !f.peek().empty() && f.peek() != " ") f.layout("(' ',F29.1,F19.3)");
    }
    for (int i = 0; i < 5; ++i) f.text("");
    f.text(" OUTPUTS:");
    f.text("                       WATER TABLE          VOLUME            POROSITY");
    f.text("                          (CM)               (CM)              (CM/CM)");
    f.layout("(' ',F29.2,F20.3,10X,F10.5)", 101);
    f.end();
}

void check_upq(const std::string& text, const Soil& soil) {
    Lines f("UPQ", text);
    f.layout(kTitle);
    for (int l = 0; l < soil.nlayer; ++l) {
        f.text("");
        f.text("");
        f.layout("(1X,'LAYER ',I3,' GOES DOWN TO ',F6.0,'CM.',1X,'AND HAS THE TENSION-CONDUCTIVITY VALUES:')");
        f.text("");
        f.text("   TENSION  CONDUCTIVITY");
        f.text("    (CM)      (CM/HR)");
        f.layout("(F8.2,4X,E10.4)", soil.rows[static_cast<size_t>(l)]);
    }
    f.text("   DEPTH (CM)  UPFLUX (CM/HR) ");
    f.layout("(4X,F7.2,6X,F6.4)", 21);
    f.end();
}

void check_out(const std::string& text) {
    Lines f("OUT", text);
    f.text("@WATER TABLE   VOLUME");
    f.text("   (CM)         (CM) ");
    f.layout("(1X,F6.1,5X,F8.3)", 20);
    // Notices of the flux integration stand ahead of its caption.
    while (f.more() && f.peek().substr(0, 1) != "@") {
        std::string l = f.peek();
        if (l.empty())
            f.next();
        else if (l.find("TENSION AT TOP") != std::string::npos)
            f.layout("(1X,'FOR UPFLUX=',F10.5,'TENSION AT TOP OF LAYER ',I2,' IS ',F10.5)");
        else if (l.find("REDUCED") != std::string::npos)
            f.layout("(1X,'THIS IS REDUCED TO ',F10.5)");
        else
            f.layout("(1X,'FOR UPFLUX=',F10.5,' WATERTABLE IS BELOW BOTTOM',' OF LAYER',I3,' GO TO NEXT UPFLUX')");
    }
    f.layout("('@TENSION AT ROOT ZONE = 1000 CM, 1/2 MAXIMUM',' ROOT DEPTH (CM) =  ',F5.1)");
    f.text("   DEPTH (CM)  UPFLUX (CM/HR) ");
    f.layout("(4X,F7.2,6X,F6.4)", 20);
    f.layout("('@Green-Ampt parameters use soil ','properties for top ',F6.1,' cm.')");
    for (int i = 0; i < 10; ++i) f.free_reals(3);
    f.end();
}

void check_sin(const std::string& text) {
    Lines f("SIN", text);
    f.layout(kTitle);
    f.layout("(F10.3,F10.0)", f.layout("(2I2)"));
    f.layout("(F10.1,F10.3,F10.4)", 20);
    f.text("10");
    f.layout("(F10.1,F10.2,F10.2)", 10);
    f.text("");
    f.end();
}

std::string text(const common::MemoryFileSystem& fs, const std::string& name) {
    const std::string* t = fs.get(name);
    return t ? *t : std::string();
}

// Runs PEDOPRE untrapped on the file `name` of `fs`; the console.
std::string run(common::MemoryFileSystem& fs, const std::string& name) {
    auto console = common::Connection::in_memory(0, "console");
    soilprep::run_pedopre({name}, *console, {.traps = false, .files = &fs});
    console->flush();
    return console->memory();
}

// Runs PEDOPRE on `input` as `base`.dat in memory, checks the nine files and
// returns them.
common::MemoryFileSystem run_and_check(const std::string& base, const std::string& input, bool measured) {
    SCOPED_TRACE(base);
    common::MemoryFileSystem fs;
    fs.put(base + ".dat", input);
    std::feclearexcept(FE_ALL_EXCEPT);
    const std::string console = run(fs, base + ".dat");
    EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
    EXPECT_EQ(console, "Program terminated normally.\r\n");
    EXPECT_EQ(text(fs, "PEDOPRE.LOG"), " NOERROR: Program terminated normally\r\n");

    auto file = [&](const char* ext) { return text(fs, base + ext); };
    Soil soil;
    soil.measured = measured;
    check_mq(file(".MQ"), soil);
    check_sav(file(".SAV"), soil);
    check_mis(file(".MIS"), soil);
    check_wdv(file(".WDV"), soil);
    check_wtd(file(".WTD"), soil);
    check_upq(file(".UPQ"), soil);
    check_out(file(".OUT"));
    check_sin(file(".SIN"));
    return fs;
}

const char kMeasured[] =
    "Measured loam over clay, two layers\n"
    "2 0\n"
    "6 1.20 30\n"
    "0.45 0  0.42 50  0.38 100  0.32 330  0.25 1000  0.18 15000\n"
    "5 0.30 150\n"
    "0.40 0\n0.39 100\n0.36 330\n0.33 1000\n0.28 15000\n"
    "30 30 1\n";

const char kGenuchten[] =
    "van Genuchten sandy loam over silt loam\r\n"
    "2 1\r\n"
    "40 0.065 0.41 0.075 1.89 106.1 106.1 0.5\r\n"
    "150 0.067 0.45 0.020 1.41 10.8 10.8 0.5\r\n"
    "40 30 2\r\n";

}  // namespace

TEST(EndToEnd, MeasuredPointsForm) {
    // The soil input file carries layer 1's points with negative heads.
    auto sin = lines_of(text(run_and_check("loam", kMeasured, true), "loam.SIN"));
    ASSERT_GE(sin.size(), 8u);
    EXPECT_EQ(sin[0], std::string("Measured loam over clay, two layers") + std::string(45, ' '));
    EXPECT_EQ(sin[1], " 620");
    EXPECT_EQ(sin[2], "     0.450        0.");
    EXPECT_EQ(sin[7], "     0.180   -15000.");
}

TEST(EndToEnd, VanGenuchtenForm) {
    auto sin = lines_of(text(run_and_check("sandy", kGenuchten, false), "sandy.SIN"));
    ASSERT_GE(sin.size(), 2u);
    EXPECT_EQ(sin[1], "1220");  // layer 2: 12 points
}

TEST(EndToEnd, FluxesBelowTheProfileStopTheRunWithoutASoilInputFile) {
    // Half the root depth at 9900 cm leaves 100 cm below it: every flux
    // passes the profile bottom and the depths cannot be fitted.
    common::MemoryFileSystem fs;
    std::string input = kMeasured;
    fs.put("deep.dat", input.replace(input.rfind("30 30 1"), 7, "30 9900 1"));
    const std::string console = run(fs, "deep.dat");
    std::string log = text(fs, "PEDOPRE.LOG");
    EXPECT_EQ(log.substr(0, 8), " ERROR: ") << log;
    EXPECT_NE(log.find("at the same depth"), std::string::npos) << log;
    EXPECT_EQ(fs.get("deep.SIN"), nullptr);
    EXPECT_NE(console.find("WATERTABLE IS BELOW BOTTOM"), std::string::npos);
    EXPECT_NE(console.find("Program terminated abnormally, see logfile."), std::string::npos);
}

TEST(EndToEnd, WaterTablesThatDoNotDeepenAreStillFitted) {
    // In this layered profile the bisection's tolerance puts the water table
    // for 0.15 cm/hr above the one for 0.2 cm/hr; the fit is made all the same.
    common::MemoryFileSystem fs;
    fs.put("layered.dat",
           "upper horizon run\n8 -1\n34 0.090 0.456 0.0134 2.351 32.43 32.43\n-0.54\n"
           "50 0.078 0.377 0.0031 2.467 4.45 3.21 0.5\n119 0.072 0.400 0.0052 2.051 79.07 79.07 0.5\n"
           "122  0.031  0.496  0.0076  1.891  10.67  10.67  0.5\n"
           "126.4 0.062 0.444 0.0048 1.422 80.89 80.89\n0.5 rest of this line is skipped\n"
           "129, 0.091, 0.526, 0.0047, 2.188, 1.93, 1.71, 0.5\n"
           "174, 0.080, 0.406, 0.0065, 1.120, 21.47, 15.65, 0.32\n"
           "276, 0.043, 0.393, 0.0048, 2.737, 337.21, 253.93, 0.5\n13.8  59.8  1\n");
    run(fs, "layered.dat");
    EXPECT_EQ(text(fs, "PEDOPRE.LOG"), " NOERROR: Program terminated normally\r\n");
    EXPECT_NE(text(fs, "layered.UPQ").find("     109.14      0.2000\r\n     107.74      0.1500\r\n"),
              std::string::npos);
    EXPECT_NE(fs.get("layered.SIN"), nullptr);
}

TEST(EndToEnd, ExampleSoils) {
    namespace fs = std::filesystem;
    const fs::path examples = fs::path(EXAMPLES_DIR) / "soils";
    if (!fs::exists(examples)) GTEST_SKIP() << "no example soils";
    int runs = 0;
    for (const auto& entry : fs::directory_iterator(examples)) {
        if (entry.path().extension() != ".dat") continue;
        const std::string base = entry.path().stem().string();
        const std::string soil = read_file(entry.path().string());
        // The second value of line 2 tells the form.
        auto input = common::Connection::in_memory(1, base, soil);
        std::string title(1, ' ');
        int32_t nlayer = 0, vgflag = 0;
        static const common::Layout kLine("(A)");
        ASSERT_EQ(common::read_record(*input, kLine, {title}), common::ReadStatus::Done) << base;
        ASSERT_EQ(common::read_free(*input, {nlayer, vgflag}), common::ReadStatus::Done) << base;
        run_and_check(base, soil, vgflag == 0);
        ++runs;
    }
    if (runs == 0) GTEST_SKIP() << "no example soils";
}
