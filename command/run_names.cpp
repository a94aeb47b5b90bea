#include "command/run_names.h"

namespace command {

std::string page_name(const std::string& drawn) { return drawn + ".html"; }

}  // namespace command
