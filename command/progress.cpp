#include "command/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace command {

Progress::Progress(size_t total) : on_terminal_(::isatty(STDERR_FILENO) == 1), total_(total) {}

void Progress::started(const std::string& label) {
    ++running_;
    last_ = label;
    draw();
}

void Progress::clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

void Progress::draw() {
    if (!on_terminal_ || done_ >= total_) return;
    std::string line = "[" + std::to_string(done_) + "/" + std::to_string(total_) + " done, " +
                       std::to_string(running_) + " running] " + last_;
    winsize w{};
    size_t width = ::ioctl(STDERR_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_col > 0 ? w.ws_col : 80;
    if (line.size() >= width) line.resize(width - 1);
    std::fputs("\r\033[K", stderr);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    shown_ = true;
}

}  // namespace command
