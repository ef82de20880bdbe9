#include "ExpectationUpdate.h"

#include <fstream>
#include <sstream>

#include "DurableFile.h"
#include "LoadedPlugin.h"
#include "QuotedText.h"
#include "ScriptLine.h"

namespace host {
namespace {

// A line of the script without its line end, and where it starts.
struct ScriptLineAt {
  std::size_t start;
  std::string_view text;
};

std::vector<ScriptLineAt> LinesOf(std::string_view script) {
  std::vector<ScriptLineAt> lines;
  for (std::size_t start = 0; start < script.size();) {
    const auto end = std::min(script.find('\n', start), script.size());
    lines.push_back({start, script.substr(start, end - start)});
    start = end + 1;
  }
  return lines;
}

// Where the quoted text of an expect line lies: after its first double quote, up to the next.
// A line that parsed as an expect step has no quote before its text.
std::pair<std::size_t, std::size_t> QuotedSpan(std::string_view line) {
  const auto open = line.find('"');
  const auto close = line.find('"', open + 1);
  return {open + 1, close};
}

std::string WithoutCarriageReturn(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  return std::string(line);
}

std::string ReadScript(const std::filesystem::path& file, const std::string& source) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) throw ScriptError(source + ": is a directory");
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    throw ScriptError(source + (std::filesystem::exists(file, error) ? ": cannot read the file"
                                                                     : ": no such file"));
  }
  std::ostringstream text;
  text << stream.rdbuf();
  if (stream.bad()) throw ScriptError(source + ": cannot read the file");
  return text.str();
}

// Replays one script and rewrites it; true when it is up to date now.
bool UpdateScript(const std::filesystem::path& file, const std::filesystem::path& plugin,
                  std::ostream& out, std::ostream& errors) {
  const std::string source = ScriptName(file);
  std::string script;
  std::vector<MissedExpectation> missed;
  Expectations checked;
  try {
    script = ReadScript(file, source);
    pluginsdk::Host host;
    host.SetFailureOutput(
        [&errors](std::string_view line) { errors << "quillon-host: " << line << '\n'; });
    LoadedPlugin loaded(host, plugin);
    const auto steps = ParseSession(script, source, RegistryCheck(host), KnownCommands(host));
    // The frames themselves are not shown: only the lines that change are.
    std::ostream silent(nullptr);
    SessionRunner runner(host, loaded, silent, {.missed = &missed});
    runner.Run(steps, source);
    checked = runner.Checked();
  } catch (const ScriptError& error) {
    errors << error.what() << '\n' << source << ": left as it was\n";
    return false;
  } catch (const std::exception& error) {
    errors << "quillon-host: " << error.what() << '\n' << source << ": left as it was\n";
    return false;
  }
  std::string updated;
  try {
    updated = WithTextsShown(script, source, missed);
  } catch (const ScriptError& error) {
    errors << error.what() << '\n' << source << ": left as it was\n";
    return false;
  }
  if (!missed.empty()) {
    if (const auto failure = pluginsdk::ReplaceFileDurably(file, updated)) {
      errors << "quillon-host: cannot rewrite " << pluginsdk::QuoteText(source) << ": " << *failure
             << '\n'
             << source << ": left as it was\n";
      return false;
    }
    const auto before = LinesOf(script);
    const auto after = LinesOf(updated);
    std::string diff = "--- " + source + "\n+++ " + source + '\n';
    for (const auto& miss : missed) {
      const auto index = static_cast<std::size_t>(miss.line - 1);
      diff += "@@ line " + std::to_string(miss.line) + " @@\n-" +
              WithoutCarriageReturn(before[index].text) + "\n+" +
              WithoutCarriageReturn(after[index].text) + '\n';
    }
    out << diff;
  }
  out << source << ": " << missed.size() << " of " << checked.checked << " expect lines changed\n";
  return true;
}

}  // namespace

std::string WithTextsShown(std::string_view script, const std::string& source,
                           const std::vector<MissedExpectation>& missed) {
  const auto lines = LinesOf(script);
  std::string updated;
  std::size_t copied = 0;
  for (const auto& miss : missed) {
    if (!Quotable(miss.shown)) {
      throw ScriptError(source + ':' + std::to_string(miss.line) + ": the frame showed " +
                        pluginsdk::QuoteText(miss.shown) + ", which an expect cannot hold");
    }
    const ScriptLineAt& line = lines.at(static_cast<std::size_t>(miss.line - 1));
    const auto [first, last] = QuotedSpan(line.text);
    updated.append(script.substr(copied, line.start + first - copied));
    updated += miss.shown;
    copied = line.start + last;
  }
  updated.append(script.substr(copied));
  return updated;
}

bool UpdateExpectations(const std::vector<std::filesystem::path>& scripts,
                        const std::filesystem::path& plugin, std::ostream& out,
                        std::ostream& errors) {
  bool allUpToDate = true;
  for (const auto& script : scripts) {
    out.flush();
    allUpToDate = UpdateScript(script, plugin, out, errors) && allUpToDate;
  }
  return allUpToDate;
}

}  // namespace host
