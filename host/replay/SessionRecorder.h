#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Host.h"
#include "SessionScript.h"

namespace host {

// Writes, as the host goes, a session script of everything it runs, with an expect after each
// frame, so replaying it checks that the plugin still shows what it showed. Lines are whole when
// they reach the file: it is written at least once a second and when the recorder goes, so an
// interrupted recording is a valid script up to its last line.
class SessionRecorder {
 public:
  // Opens (or empties) the file and writes the header's comment lines: what recorded it, when
  // (UTC), and `origin`, one line each. Throws std::runtime_error saying why when the file
  // cannot be written.
  SessionRecorder(const std::filesystem::path& file, const std::vector<std::string>& origin,
                  std::ostream& errors);
  ~SessionRecorder();
  SessionRecorder(const SessionRecorder&) = delete;
  SessionRecorder& operator=(const SessionRecorder&) = delete;

  // A set step for every saved variable as it stands, so a replay begins with the settings this
  // run began with, whatever the config.cfg it finds.
  void RecordSettings(const pluginsdk::Host& host, std::int64_t ticks);
  // One step as it ran. Expect steps are left out: the recorder writes its own after each frame.
  void RecordStep(std::int64_t ticks, const StepAction& action);
  // A frame step (with its picture, if it wrote one) and an expect with what it showed.
  void RecordFrame(std::int64_t ticks, std::string_view shown,
                   const std::filesystem::path* image = nullptr);
  // What the latest frame written showed; nothing before the first.
  const std::optional<std::string>& LastFrame() const { return lastFrame_; }

  // For changes made outside any step (the settings window's mouse): remembers every variable's
  // value, then writes a set step for each that has changed since.
  void RememberVariables(const pluginsdk::Host& host);
  void RecordVariableChanges(const pluginsdk::Host& host, std::int64_t ticks);

  // Ends the recording with a comment saying that `signal` ("SIGINT") stopped the session at
  // `ticks`, and writes it out.
  void RecordInterruption(std::int64_t ticks, std::string_view signal);

  // Writes what is buffered; FlushIfDue only when the last write is a second old. Lines are
  // written at least once a second while steps run, and before the runner waits.
  void Flush();
  void FlushIfDue();
  // Whether a write failed: the message, saying the recording is incomplete, went to `errors`
  // then; the file ends with its last whole line, and nothing more is recorded.
  bool Failed() const { return failed_; }

 private:
  void BeginLine(std::int64_t ticks);
  void EndLine();
  void StopAfterShortWrite(std::size_t written);
  // The file's size up to the end of the last whole line, after `written` bytes of the buffer.
  std::uint64_t WholeLinesIn(std::size_t written) const;

  std::filesystem::path file_;
  std::ostream& errors_;
  std::FILE* stream_ = nullptr;
  std::uint64_t fileSize_ = 0;  // bytes written to the file, all whole lines
  std::string buffer_;
  std::int64_t lastTicks_ = 0;  // times written never go back
  std::string lastTime_;        // its text and a blank
  int linesSinceClockLook_ = 0;
  std::int64_t lastFlushed_ = 0;  // platform ticks
  std::optional<std::string> lastFrame_;
  std::vector<std::pair<std::string, std::string>> variables_;  // name, value
  bool failed_ = false;
};

}  // namespace host
