#include "ScriptWriter.h"

#include <sstream>

namespace model {

std::string SessionScript(const std::vector<Step>& steps, const std::string& comment) {
  std::ostringstream script;
  std::istringstream commentLines(comment);
  for (std::string line; std::getline(commentLines, line);) script << "# " << line << '\n';
  std::int64_t now = 0;
  for (const Step& step : steps) {
    if (const auto* advance = std::get_if<Advance>(&step)) now += advance->ticks;
    const std::string time = Seconds(now);
    if (const std::string action = ScriptAction(step); !action.empty()) {
      script << time << ' ' << action << '\n';
    }
    script << time << " frame\n";
  }
  return script.str();
}

}  // namespace model
