#include "common/read_condition.h"

namespace common {

std::string condition_message(ReadStatus s, const Connection& c) {
    const char* what = (s == ReadStatus::EndOfFile) ? "end-of-file during read" : "input conversion error";
    return std::string(what) + ", unit " + std::to_string(c.unit()) + ", file " + c.path();
}

void require(ReadStatus s, const Connection& c) {
    if (s != ReadStatus::Done) throw UnhandledCondition(condition_message(s, c));
}

}  // namespace common
