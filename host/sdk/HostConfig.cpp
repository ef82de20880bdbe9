// The host's configuration file: saved variables kept across runs in the data folder.
#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include "ConfigText.h"
#include "DurableFile.h"
#include "ErrorText.h"
#include "Host.h"
#include "QuotedText.h"

namespace pluginsdk {
namespace {

// The file's text: empty when there is no file; nothing, with the reason, when one exists but
// cannot be read.
std::optional<std::string> ReadConfigText(const std::filesystem::path& file, std::string& fault) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) return std::string();
  if (error) {
    fault = ErrorText(error);
    return std::nullopt;
  }
  if (!std::filesystem::is_regular_file(status)) {
    fault = "it is not a regular file";
    return std::nullopt;
  }
  std::ifstream stream(file, std::ios::binary);
  if (!stream.is_open()) {
    fault = "it cannot be opened";
    return std::nullopt;
  }
  std::string text{std::istreambuf_iterator<char>(stream), {}};
  if (stream.bad()) {
    fault = "reading it failed";
    return std::nullopt;
  }
  return text;
}

// Writes the text over `file`, which is then either the old text or the new one whatever happens.
// The reason when it fails.
std::optional<std::string> ReplaceFile(const std::filesystem::path& file, std::string_view text) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error)
    return "cannot make the folder " + file.parent_path().string() + ": " + ErrorText(error);
  return ReplaceFileDurably(file, text);
}

}  // namespace

std::filesystem::path Host::ConfigFile() {
  const auto& folder = DataFolder();
  return folder.empty() ? folder : folder / "config.cfg";
}

void Host::ApplyConfig(PluginId plugin) {
  const std::lock_guard configLock(configMutex_);
  const auto file = ConfigFile();
  // No folder: DataFolder() has said so, once.
  if (file.empty()) return;
  std::string fault;
  const auto text = ReadConfigText(file, fault);
  if (!text) {
    ReportFailure("config: cannot read " + file.string() + ": " + fault +
                  "; saved settings were not applied");
    return;
  }
  {
    const std::lock_guard lock(variablesMutex_);
    for (const auto& variable : variables_) {
      if (variable->Owner() == plugin && variable->Saved()) configured_.insert(variable->Name());
    }
  }
  // Line by line, as a console running the file would: the last line of a name counts.
  const auto lines = SplitConfigLines(*text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto entry = ParseConfigLine(lines[i]);
    if (!entry) continue;
    const auto variable = FindVariable(entry->name);
    if (!variable || variable->Owner() != plugin || !variable->Saved()) continue;
    if (const auto refused = variable->SetText(entry->value)) {
      Log("config: " + file.string() + ":" + std::to_string(i + 1) + ": cannot set " + entry->name +
          ": " + *refused);
    }
  }
}

void Host::WriteConfig() {
  const std::lock_guard configLock(configMutex_);
  const auto file = ConfigFile();
  // No folder: DataFolder() has said so, once.
  if (file.empty()) return;
  std::string fault;
  const auto old = ReadConfigText(file, fault);
  if (!old) {
    // Rewriting a file the host could not read would lose every line it holds.
    ReportFailure("config: cannot read " + file.string() + ": " + fault +
                  "; settings were not saved, and the file was left as it is");
    return;
  }
  std::vector<ConfigEntry> owned;
  std::vector<std::shared_ptr<ConsoleVariable>> saved;
  {
    const std::lock_guard lock(variablesMutex_);
    for (const auto& variable : variables_) {
      if (variable->Saved() && configured_.contains(variable->Name())) saved.push_back(variable);
    }
  }
  for (const auto& variable : saved) {
    if (!IsConfigName(variable->Name())) {
      ReportFailure("config: the variable name " + QuoteText(variable->Name()) +
                    " cannot be saved");
      continue;
    }
    owned.push_back({variable->Name(), variable->Text()});
  }
  const std::string text = MergeConfig(*old, owned);
  if (text == *old) return;  // unchanged: the file is not touched
  if (const auto failure = ReplaceFile(file, text)) {
    ReportFailure("config: cannot write " + file.string() + ": " + *failure +
                  "; settings were not saved");
  }
}

}  // namespace pluginsdk
