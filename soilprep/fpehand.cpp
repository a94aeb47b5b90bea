#include "soilprep/fpehand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cfenv>
#include <csignal>
#include <cstring>

#include "soilcalc/messages.h"
#include "soilcalc/run_state.h"

namespace soilprep {
namespace {

// What the handler needs: the run's files and the console of the thread
// that runs it (the trap is raised on the faulting thread), and the previous
// signal action.
thread_local common::RunFiles* g_files = nullptr;
thread_local common::Connection* g_console = nullptr;
struct sigaction g_previous {};

constexpr int kTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

void fpehand(int, siginfo_t* info, void*) {
    char line[soilcalc::kErrorLength + 2];
    std::string_view routine = soilcalc::routine_name();
    fpe_message(info ? info->si_code : 0, routine.data(), routine.size(), line);
    // The outputs keep what the run wrote before the trap; the log holds
    // this line alone, written through layout (A): the whole 128-character
    // field with no leading blank.
    line[soilcalc::kErrorLength] = '\r';
    line[soilcalc::kErrorLength + 1] = '\n';
    if (g_files) g_files->emergency_finish(line, sizeof line);
    if (g_console) g_console->emergency_close();
    char console[soilcalc::msg::kConsoleTrap.size() + 2];
    std::memcpy(console, soilcalc::msg::kConsoleTrap.data(), soilcalc::msg::kConsoleTrap.size());
    console[soilcalc::msg::kConsoleTrap.size()] = '\r';
    console[soilcalc::msg::kConsoleTrap.size() + 1] = '\n';
    common::write_fully(STDOUT_FILENO, console, sizeof console);
    ::_exit(0);
}

}  // namespace

void fpe_message(int si_code, const char* routine, size_t routine_length, char* out) {
    const char* prefix;
    switch (si_code) {
        case FPE_FLTINV:
            prefix = "ERROR: Floating point exception-invalid number in subroutine ";
            break;
        case FPE_FLTDIV:
            prefix = "ERROR: Floating point exception-zero divide in subroutine ";
            break;
        case FPE_FLTOVF:
            prefix = "ERROR: Floating point exception-Overflow in subroutine ";
            break;
        case FPE_FLTUND:
            prefix = "ERROR: Floating point exception-Underflow in subroutine ";
            break;
        case FPE_FLTRES:
            prefix = "ERROR: Floating point exception-Inexact precision insubroutine ";
            break;
        // A denormal operand has no sub-code of its own on this platform; its
        // message "ERROR: Floating point exception-denormalized number in
        // subroutine " is therefore never chosen.
        default:
            prefix = "ERROR: Floating point exception-Non-IEEE type insubroutine ";
            break;
    }
    while (routine_length > 0 && routine[routine_length - 1] == ' ') --routine_length;
    size_t n = 0;
    for (const char* p = prefix; *p && n < soilcalc::kErrorLength; ++p) out[n++] = *p;
    for (size_t i = 0; i < routine_length && n < soilcalc::kErrorLength; ++i) out[n++] = routine[i];
    while (n < soilcalc::kErrorLength) out[n++] = ' ';
}

FpeTrap::FpeTrap(common::Connection& console) {
    g_files = nullptr;
    g_console = &console;
    struct sigaction action {};
    action.sa_sigaction = fpehand;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    installed_ = ::sigaction(SIGFPE, &action, &g_previous) == 0;
    std::feclearexcept(FE_ALL_EXCEPT);
    int previous = feenableexcept(kTraps);
    saved_excepts_ = previous < 0 ? 0 : previous;
}

FpeTrap::~FpeTrap() {
    fedisableexcept(kTraps & ~saved_excepts_);
    std::feclearexcept(FE_ALL_EXCEPT);
    if (installed_) ::sigaction(SIGFPE, &g_previous, nullptr);
    g_files = nullptr;
    g_console = nullptr;
}

void FpeTrap::set_run(common::RunFiles* files) {
    g_files = files;
}

}  // namespace soilprep
