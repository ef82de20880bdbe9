#pragma once
// Brings the expect lines of session scripts up to date after an intended change of what the
// overlay shows: each expect whose frame now shows another text is rewritten to that text, and
// nothing else in the file changes.
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "SessionRunner.h"

namespace host {

// The script with the quoted text of each missed expectation's line replaced by what its frame
// showed; every other byte (comments, spacing, line ends) as it was. Throws ScriptError, naming
// the line, for a text that double quotes cannot hold.
std::string WithTextsShown(std::string_view script, const std::string& source,
                           const std::vector<MissedExpectation>& missed);

// Replays each script with the plugin module `plugin` and rewrites its expect lines that missed,
// printing to `out` the old and new lines as a diff and how many lines changed in each file. A
// script with a fault, or a step that cannot be carried out, is left as it was, and so is the
// file when it cannot be rewritten; the reason goes to `errors`. The file is replaced whole
// (a new file renamed over it), never torn. True when every file is up to date now.
bool UpdateExpectations(const std::vector<std::filesystem::path>& scripts,
                        const std::filesystem::path& plugin, std::ostream& out,
                        std::ostream& errors);

}  // namespace host
