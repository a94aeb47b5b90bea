// The floating-point trap: its messages, and whole runs that end through it.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/connection.h"
#include "pedopre_test_files.h"
#include "soilcalc/run_state.h"
#include "soilprep/fpehand.h"
#include "soilprep/pedopre.h"

using pedopre_test::read_file;
using pedopre_test::TempDir;

namespace {

std::string message(int code, const std::string& routine) {
    std::string padded = common::fixed(routine, 24);
    char out[128];
    soilprep::fpe_message(code, padded.data(), padded.size(), out);
    return std::string(out, 128);
}

TEST(Fpehand, MapsEverySubCodeOntoItsMessage) {
    EXPECT_EQ(message(FPE_FLTINV, "UPFLUX"),
              common::fixed("ERROR: Floating point exception-invalid number in subroutine UPFLUX", 128));
    EXPECT_EQ(message(FPE_FLTDIV, "MILNQRK"),
              common::fixed("ERROR: Floating point exception-zero divide in subroutine MILNQRK", 128));
    EXPECT_EQ(message(FPE_FLTOVF, "SPL3"),
              common::fixed("ERROR: Floating point exception-Overflow in subroutine SPL3", 128));
    EXPECT_EQ(message(FPE_FLTUND, "TRI"),
              common::fixed("ERROR: Floating point exception-Underflow in subroutine TRI", 128));
    EXPECT_EQ(message(FPE_FLTRES, "ZSPL3"),
              common::fixed("ERROR: Floating point exception-Inexact precision insubroutine ZSPL3", 128));
    EXPECT_EQ(message(FPE_INTDIV, "GRNAMPT"),
              common::fixed("ERROR: Floating point exception-Non-IEEE type insubroutine GRNAMPT", 128));
    // A routine name that fills its 24 characters is kept whole.
    EXPECT_EQ(message(FPE_FLTDIV, std::string(24, 'R')),
              common::fixed("ERROR: Floating point exception-zero divide in subroutine " + std::string(24, 'R'), 128));
}

// The trap ends the process, so these runs write to the disk, where the
// test finds what the ended process left.
TEST(FpehandDeathTest, DivisionByZeroInANamedRoutineIsLogged) {
    TempDir dir;
    std::string log = dir.file("PEDOPRE.LOG");
    pedopre_test::write_file(log, std::string(300, 'x') + "\r\n");  // an old log, replaced
    EXPECT_EXIT(
        {
            common::UnitTable units;
            common::RunFiles files(units);
            std::string reason;
            bool removed = false;
            if (!files.open_log(log, "unfinished\r\n", reason, removed)) std::abort();
            auto console = common::Connection::in_memory(0, "console");
            soilprep::FpeTrap trap(*console);
            trap.set_run(&files);
            soilcalc::set_routine("MILNQRK");
            volatile float zero = 0.0f;
            volatile float q = 1.0f / zero;
            (void)q;
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_file(log),
              common::fixed("ERROR: Floating point exception-zero divide in subroutine MILNQRK", 128) + "\r\n");
}

TEST(FpehandDeathTest, WholeRunEndsWithTheRoutineEnteredLast) {
    // Layer 2's two wettest rows lie 1E-30 cm apart once regridded: the
    // square of the class head between them underflows to zero and the
    // pore-class sum divides by it.
    TempDir dir;
    pedopre_test::write_file(dir.file("soil.dat"),
                             "T\n2 0\n3 1.5 30\n0.40 0 0.30 100 0.20 1000\n"
                             "3 1.5 80\n0.45 0 0.44 1E-30 0.20 1000\n30.0 20.0 1\n");
    EXPECT_EXIT(
        {
            auto console = common::Connection::in_memory(0, "console");
            soilprep::run_pedopre({dir.file("soil.dat")}, *console);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")),
              common::fixed("ERROR: Floating point exception-zero divide in subroutine MILNQRK", 128) + "\r\n");
    // What was written before the trap is in the files: both layers'
    // characteristics and the first layer's conductivity table.
    EXPECT_NE(read_file(dir.file("soil.MIS")).find("  0.440         0.0"), std::string::npos);
    EXPECT_NE(read_file(dir.file("soil.MQ")).find(" ENTRIES  BOTTOM DEPTH(CM)"), std::string::npos);
    // The outputs the run did not get to are not there, nor any temporary file.
    EXPECT_FALSE(std::filesystem::exists(dir.file("soil.SIN")));
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
}

}  // namespace
