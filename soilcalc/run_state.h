// State shared by every routine of a PEDOPRE run: the stream numbers of its
// file connections, the run's error message and the current routine name.
//
// The error message (128 characters) is filled by a failing step and written
// to the log by the driver. The current routine name (24 characters) is set
// on entry by the major routines and never restored; the floating-point trap
// reports it. Both live in fixed buffers so that a signal handler can read
// them safely.
#pragma once

#include <string_view>

#include "common/connection.h"

namespace pedopre {

// Stream numbers.
inline constexpr int kLogUnit = 744;        // PEDOPRE.LOG
inline constexpr int kInputUnit = 740;      // main input file
inline constexpr int kOutUnit = 741;        // .OUT report file
inline constexpr int kWtdUnit = 742;        // .WTD listing file
inline constexpr int kMisUnit = 743;        // .MIS characteristic file
inline constexpr int kMqUnit = 843;         // .MQ conductivity file
inline constexpr int kSavUnit = 844;        // .SAV suction-integral file
inline constexpr int kWdvUnit = 11;         // .WDV drained-volume file
inline constexpr int kSinUnit = 32;         // .SIN model soil input file
inline constexpr int kUpfluxMqUnit = 6;     // .MQ read back by UPFLUX
inline constexpr int kUpqUnit = 15;         // .UPQ upward-flux file
inline constexpr int kIredmqUnit = 21;      // .MQ read back by IREDMQ

inline constexpr size_t kPathLength = 256;   // every file name field
inline constexpr size_t kErrorLength = 128;
inline constexpr size_t kRoutineLength = 24;

// The connections of a run and its console.
struct Context {
    explicit Context(common::FileSystem& fs = common::disk()) : units(fs) {}
    common::UnitTable units;
    common::Connection* console = nullptr;
};

void set_routine(std::string_view name);
std::string_view routine_name();  // 24 characters, blank-padded

void set_error(std::string_view message);  // cut or blank-padded to 128
void clear_error();                        // 128 blanks
std::string_view error_message();          // 128 characters

}  // namespace pedopre
