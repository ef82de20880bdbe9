#include "SessionRecorder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "PathText.h"
#include "QuotedText.h"
#include "ScriptLine.h"

namespace host {
namespace {

// Past this the buffer is written at once, so memory stays small however long the session.
constexpr std::size_t kBufferBytes = 64 * 1024;
// The clock is looked at every this many lines (a look costs more than writing a line), and
// after every step that draws a picture or the settings page.
constexpr int kLinesPerClockLook = 64;

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
#if defined(_WIN32)
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32];
  return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc));
}

std::FILE* OpenForWriting(const std::filesystem::path& file) {
#if defined(_WIN32)
  return ::_wfopen(file.c_str(), L"wb");
#else
  return std::fopen(file.c_str(), "wb");
#endif
}

// Cuts the file back to `size` bytes; the reason when it cannot.
std::optional<std::string> CutFile(std::FILE* stream, std::uint64_t size) {
#if defined(_WIN32)
  const int error = ::_chsize_s(::_fileno(stream), static_cast<long long>(size));
  if (error == 0) return std::nullopt;
  return std::strerror(error);
#else
  if (::ftruncate(::fileno(stream), static_cast<off_t>(size)) == 0) return std::nullopt;
  return std::strerror(errno);
#endif
}

}  // namespace

SessionRecorder::SessionRecorder(const std::filesystem::path& file,
                                 const std::vector<std::string>& origin, std::ostream& errors)
    : file_(file), errors_(errors), lastFlushed_(pluginsdk::PlatformTicks()) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) {
    throw std::runtime_error("cannot record into " + pluginsdk::QuoteText(PathText(file)) +
                             ": is a directory");
  }
  errno = 0;
  stream_ = OpenForWriting(file);
  if (stream_ == nullptr) {
    throw std::runtime_error("cannot record into " + pluginsdk::QuoteText(PathText(file)) + ": " +
                             std::strerror(errno));
  }
  // Unbuffered: each flush is one write of whole lines.
  std::setvbuf(stream_, nullptr, _IONBF, 0);
  buffer_.resize(kBufferBytes + 4096);
  std::string header = "# Recorded by quillon-host --record on " + UtcNow() + "\n";
  for (const auto& line : origin) header += "# " + line + "\n";
  WriteText(header);
  // The header is written at once, so a file that takes nothing stops the host before anything
  // runs.
  errno = 0;
  if (const std::size_t written = std::fwrite(buffer_.data(), 1, used_, stream_);
      written != used_) {
    const std::string reason = std::strerror(errno != 0 ? errno : ENOSPC);
    CutFile(stream_, WholeLinesIn(written));
    std::fclose(stream_);
    throw std::runtime_error("cannot record into " + pluginsdk::QuoteText(PathText(file)) + ": " +
                             reason);
  }
  fileSize_ = used_;
  used_ = 0;
}

SessionRecorder::~SessionRecorder() {
  Flush();
  std::fclose(stream_);
}

void SessionRecorder::RecordSettings(const pluginsdk::Host& host, std::int64_t ticks) {
  WriteText("# The saved settings as the session began\n");
  for (const auto& variable : host.Variables()) {
    if (!variable->Saved()) continue;
    RecordStep(ticks, SetVariable{std::make_shared<const Assignment>(
                          Assignment{variable->Name(), variable->Text()})});
  }
}

void SessionRecorder::RecordStep(std::int64_t ticks, const StepAction& action) {
  if (std::holds_alternative<ExpectFrame>(action)) return;
  // Game functions are most of a session's steps: their words are made once.
  if (const auto* event = std::get_if<FireEvent>(&action)) {
    if (const ShortText* words = EventWords(*event)) {
      WriteShortLine(ticks, *words);
      return;
    }
  }
  scratch_.clear();
  AppendAction(scratch_, action);
  WriteLine(ticks, {scratch_});
  if (std::holds_alternative<ShowSettings>(action) || std::holds_alternative<ClickWidget>(action)) {
    FlushIfDue();
  }
}

void SessionRecorder::RecordFrame(std::int64_t ticks, std::string_view shown,
                                  const std::filesystem::path* image) {
  if (image == nullptr) {
    WriteShortLine(ticks, frameWords_);
  } else {
    scratch_.clear();
    AppendAction(scratch_, DrawFrame{std::make_shared<const std::filesystem::path>(*image)});
    WriteLine(ticks, {scratch_});
  }
  // The same text as the last frame's is known to be quotable.
  if ((lastFrame_ && *lastFrame_ == shown) || Quotable(shown)) {
    WriteExpectLine(ticks, shown);
  } else {
    // A text the script cannot quote is left unchecked, rather than written so that it reads
    // back as another step.
    WriteText("# not checked: the frame's text holds a double quote or a line break\n");
  }
  if (!lastFrame_) lastFrame_.emplace();
  lastFrame_->assign(shown);
  if (image != nullptr) FlushIfDue();
}

void SessionRecorder::RememberVariables(const pluginsdk::Host& host) {
  const auto& current = host.Variables();
  variables_.resize(current.size());
  for (std::size_t i = 0; i < current.size(); ++i) {
    variables_[i].first = current[i]->Name();
    variables_[i].second = current[i]->Text();
  }
}

void SessionRecorder::RecordVariableChanges(const pluginsdk::Host& host, std::int64_t ticks) {
  const auto& current = host.Variables();
  for (std::size_t i = 0; i < current.size() && i < variables_.size(); ++i) {
    const auto& variable = *current[i];
    if (variables_[i].first != variable.Name() || variables_[i].second == variable.Text()) continue;
    RecordStep(ticks, SetVariable{std::make_shared<const Assignment>(
                          Assignment{variable.Name(), variable.Text()})});
  }
  RememberVariables(host);
}

void SessionRecorder::RecordInterruption(std::int64_t ticks, std::string_view signal) {
  std::string comment = "# Interrupted by " + std::string(signal) + " at ";
  AppendExactTime(comment, std::max(ticks, lastTicks_));
  WriteText(comment + ": the session was not played to its end\n");
  Flush();
}

void SessionRecorder::Flush() {
  if (!failed_ && used_ > 0) {
    errno = 0;
    const std::size_t written = std::fwrite(buffer_.data(), 1, used_, stream_);
    if (written == used_) {
      fileSize_ += written;
    } else {
      StopAfterShortWrite(written);
    }
  }
  used_ = 0;
  lastFlushed_ = pluginsdk::PlatformTicks();
}

void SessionRecorder::StopAfterShortWrite(std::size_t written) {
  failed_ = true;
  const std::string reason = std::strerror(errno != 0 ? errno : ENOSPC);
  std::string message = "quillon-host: cannot write the recording " +
                        pluginsdk::QuoteText(PathText(file_)) + ": " + reason +
                        "; the recording is incomplete: it ends with the last whole line written, "
                        "and nothing more is recorded";
  if (const auto refused = CutFile(stream_, WholeLinesIn(written))) {
    message += "; its last line may be cut short: " + *refused;
  }
  errors_ << message + '\n';
}

void SessionRecorder::FlushIfDue() {
  linesSinceClockLook_ = 0;
  if (pluginsdk::PlatformTicks() - lastFlushed_ >= pluginsdk::HostClock::kTicksPerSecond) Flush();
}

std::uint64_t SessionRecorder::WholeLinesIn(std::size_t written) const {
  // A full disk can take part of a line: the file is cut back to its last whole line, so what
  // was recorded replays, every expectation in it holding.
  const std::size_t lineEnd = std::string_view(buffer_.data(), written).rfind('\n');
  return fileSize_ + (lineEnd == std::string_view::npos ? 0 : lineEnd + 1);
}

SessionRecorder::ShortText SessionRecorder::ShortText::Of(std::string_view text) {
  ShortText made;
  made.size = std::min(text.size(), kBytes - 1);
  std::copy_n(text.begin(), made.size, made.bytes.begin());
  return made;
}

const SessionRecorder::ShortText* SessionRecorder::EventWords(const FireEvent& event) {
  // A game function of the table of events is known by where its name is kept; the one looked
  // up last is tried first.
  const void* key = event.function.get();
  if (lastEvent_ < eventWords_.size() && eventWords_[lastEvent_].first == key) {
    return &eventWords_[lastEvent_].second;
  }
  for (std::size_t i = 0; i < eventWords_.size(); ++i) {
    if (eventWords_[i].first != key) continue;
    lastEvent_ = i;
    return &eventWords_[i].second;
  }
  const std::string_view name = ShortEventName(event);
  if (name.empty() || name.size() + 6 >= ShortText::kBytes) return nullptr;
  eventWords_.emplace_back(key, ShortText::Of("event " + std::string(name)));
  return &eventWords_.back().second;
}

void SessionRecorder::UpdateTime(std::int64_t ticks) {
  // A step that ran late (a key before a step that was due) still gets a time in order. Steps
  // often share a time: its text is made once.
  if (ticks <= lastTicks_ && time_.size != 0) return;
  lastTicks_ = std::max(ticks, lastTicks_);
  static_assert(ShortText::kBytes > kExactTimeBytes);
  char* end = WriteExactTime(time_.bytes.data(), lastTicks_);
  *end++ = ' ';
  time_.size = static_cast<std::size_t>(end - time_.bytes.data());
}

void SessionRecorder::WriteShortLine(std::int64_t ticks, const ShortText& words) {
  UpdateTime(ticks);
  // Each block is copied whole, in one move of its fixed size; only its text counts.
  char* const start = MakeRoom(2 * ShortText::kBytes);
  char* at = start;
  std::memcpy(at, time_.bytes.data(), ShortText::kBytes);
  at += time_.size;
  std::memcpy(at, words.bytes.data(), ShortText::kBytes);
  at += words.size;
  *at++ = '\n';
  used_ -= 2 * ShortText::kBytes - static_cast<std::size_t>(at - start);
  LineWritten();
}

void SessionRecorder::WriteExpectLine(std::int64_t ticks, std::string_view shown) {
  UpdateTime(ticks);
  static constexpr std::string_view kExpect = "expect \"";
  char* const start = MakeRoom(2 * ShortText::kBytes + shown.size() + 2);
  char* at = start;
  std::memcpy(at, time_.bytes.data(), ShortText::kBytes);
  at += time_.size;
  std::memcpy(at, kExpect.data(), kExpect.size());
  at += kExpect.size();
  std::memcpy(at, shown.data(), shown.size());
  at += shown.size();
  *at++ = '"';
  *at++ = '\n';
  used_ -= static_cast<std::size_t>(start + 2 * ShortText::kBytes + shown.size() + 2 - at);
  LineWritten();
}

void SessionRecorder::WriteLine(std::int64_t ticks,
                                std::initializer_list<std::string_view> pieces) {
  UpdateTime(ticks);
  std::size_t bytes = time_.size + 1;
  for (const std::string_view piece : pieces) bytes += piece.size();
  char* at = MakeRoom(bytes);
  at = std::copy_n(time_.bytes.begin(), time_.size, at);
  for (const std::string_view piece : pieces) at = std::copy(piece.begin(), piece.end(), at);
  *at = '\n';
  LineWritten();
}

void SessionRecorder::LineWritten() {
  if (used_ >= kBufferBytes) {
    Flush();
  } else if (++linesSinceClockLook_ == kLinesPerClockLook) {
    FlushIfDue();
  }
}

void SessionRecorder::WriteText(std::string_view text) {
  std::copy(text.begin(), text.end(), MakeRoom(text.size()));
}

char* SessionRecorder::MakeRoom(std::size_t bytes) {
  if (used_ + bytes > buffer_.size()) {
    Flush();
    if (bytes > buffer_.size()) buffer_.resize(bytes);
  }
  char* at = buffer_.data() + used_;
  used_ += bytes;
  return at;
}

}  // namespace host
