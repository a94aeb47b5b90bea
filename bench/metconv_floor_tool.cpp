// The floor for METCONV's speed: reads a weather series and converts every
// number with std::from_chars (the first of each line as an integer, the
// others as reals), doing nothing else. Prints the record count and a sum so
// that the conversions are not optimised away.
//
//   metconv_floor_tool INFILE
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: metconv_floor_tool INFILE\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "rb");
    if (!f) {
        std::fprintf(stderr, "metconv_floor_tool: cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<char> buf(1 << 16);
    size_t have = 0;
    int64_t lines = 0;
    double sum = 0.0;
    bool first_on_line = true;
    for (;;) {
        const size_t got = std::fread(buf.data() + have, 1, buf.size() - have, f);
        const bool eof = got == 0;
        have += got;
        size_t pos = 0;
        for (;;) {
            while (pos < have && (buf[pos] == ' ' || buf[pos] == '\r' || buf[pos] == '\n')) {
                if (buf[pos] == '\n') {
                    first_on_line = true;
                    ++lines;
                }
                ++pos;
            }
            size_t end = pos;
            while (end < have && buf[end] != ' ' && buf[end] != '\r' && buf[end] != '\n') ++end;
            if (end == pos || (end == have && !eof)) break;  // the token may go on in the next chunk
            if (first_on_line) {
                int32_t v = 0;
                std::from_chars(buf.data() + pos, buf.data() + end, v);
                sum += v;
                first_on_line = false;
            } else {
                float v = 0.0f;
                std::from_chars(buf.data() + pos, buf.data() + end, v);
                sum += v;
            }
            pos = end;
        }
        if (eof) break;
        std::copy(buf.begin() + static_cast<std::ptrdiff_t>(pos), buf.begin() + static_cast<std::ptrdiff_t>(have),
                  buf.begin());
        have -= pos;
    }
    std::fclose(f);
    std::printf("%lld %.6g\n", static_cast<long long>(lines), sum);
    return 0;
}
