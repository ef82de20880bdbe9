#include "Tally.h"

#include <algorithm>
#include <sstream>

namespace testing_support {

void Tally::Record(std::string_view kind, bool held, std::string_view where, std::string shown) {
  auto found =
      std::find_if(kinds_.begin(), kinds_.end(), [&](const Kind& k) { return k.name == kind; });
  if (found == kinds_.end()) found = kinds_.insert(kinds_.end(), Kind{std::string(kind), {}, 0, 0});
  ++found->checked;
  if (held) return;
  if (found->failed++ == 0) found->first = shown + "in " + std::string(where);
}

void Tally::Report(std::source_location at) const {
  std::ostringstream message;
  for (const Kind& k : kinds_) {
    if (k.failed == 0) continue;
    message << "\n  " << k.name << ": " << k.first << " (failed in " << k.failed << " of "
            << k.checked << " cases)";
  }
  if (message.tellp() > 0) {
    ADD_FAILURE_AT(at.file_name(), static_cast<int>(at.line()))
        << "checks that failed:" << message.str();
  }
}

}  // namespace testing_support
