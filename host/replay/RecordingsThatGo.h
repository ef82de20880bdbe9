#pragma once
// A replay without --data keeps the plugin's files in a temporary folder that goes at exit; the
// practice recordings among them are what a player meant to keep.
#include <optional>
#include <string>

#include "Host.h"

namespace host {

// Where the plugin keeps its recordings, under the data folder.
inline constexpr std::string_view kRecordingsFolder = "quillon/recordings";

// When the host's data folder is temporary and holds recordings, the lines that say they go at
// exit, name each (under the data folder, as --data DIR would keep it) and how to keep them;
// nothing otherwise.
std::optional<std::string> RecordingsThatGo(pluginsdk::Host& host);

}  // namespace host
