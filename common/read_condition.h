// Read conditions that a caller leaves unhandled stop the program with a
// console message naming the condition, the stream number and the file.
#pragma once

#include <stdexcept>
#include <string>

#include "common/connection.h"
#include "common/values.h"

namespace common {

class UnhandledCondition : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "end-of-file during read, unit %d, file %s" or
// "input conversion error, unit %d, file %s".
std::string condition_message(ReadStatus s, const Connection& c);

// Throws UnhandledCondition unless the status is Done.
void require(ReadStatus s, const Connection& c);

}  // namespace common
