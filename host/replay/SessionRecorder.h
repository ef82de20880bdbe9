#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
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
  // A short text kept in a block of fixed size, copied in one move of that size: the time and
  // the words of most of a session's lines.
  struct ShortText {
    static constexpr std::size_t kBytes = 32;    // a time of kExactTimeBytes and a blank fit
    static ShortText Of(std::string_view text);  // cut to kBytes - 1
    std::array<char, kBytes> bytes{};
    std::size_t size = 0;
  };
  // The words of a step of a game function the table of events holds; null for another.
  const ShortText* EventWords(const FireEvent& event);
  // Makes the text of the time the next line is written at.
  void UpdateTime(std::int64_t ticks);
  // Adds a line to the buffer: the time, the words or pieces, a line end. Room is made once a
  // line: a replay writes a million of them.
  void WriteShortLine(std::int64_t ticks, const ShortText& words);
  void WriteExpectLine(std::int64_t ticks, std::string_view shown);
  void WriteLine(std::int64_t ticks, std::initializer_list<std::string_view> pieces);
  // Writes the buffer out when it is full, or when the last write is a second old.
  void LineWritten();
  // Adds text of whole lines as it is (comment lines).
  void WriteText(std::string_view text);
  // The next `bytes` of the buffer, written out first when it cannot take them.
  char* MakeRoom(std::size_t bytes);
  void StopAfterShortWrite(std::size_t written);
  // The file's size up to the end of the last whole line, after `written` bytes of the buffer.
  std::uint64_t WholeLinesIn(std::size_t written) const;

  std::filesystem::path file_;
  std::ostream& errors_;
  std::FILE* stream_ = nullptr;
  std::uint64_t fileSize_ = 0;  // bytes written to the file, all whole lines
  std::vector<char> buffer_;    // its first used_ bytes are whole lines waiting to be written
  std::size_t used_ = 0;
  std::string scratch_;         // the words of a rarer step as they are made
  std::int64_t lastTicks_ = 0;  // times written never go back
  ShortText time_;              // its text and a blank
  const ShortText frameWords_ = ShortText::Of("frame");
  std::vector<std::pair<const void*, ShortText>> eventWords_;  // by the name's address
  std::size_t lastEvent_ = 0;                                  // the one looked up last
  int linesSinceClockLook_ = 0;
  std::int64_t lastFlushed_ = 0;  // platform ticks
  std::optional<std::string> lastFrame_;
  std::vector<std::pair<std::string, std::string>> variables_;  // name, value
  bool failed_ = false;
};

}  // namespace host
