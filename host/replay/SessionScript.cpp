#include "SessionScript.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>

#include "HostClock.h"
#include "NearestNames.h"
#include "PathText.h"
#include "QuotedText.h"
#include "ValueText.h"

namespace host {
namespace {

using pluginsdk::GameMode;
using pluginsdk::QuoteText;

constexpr std::string_view kStandardInput = "-";

struct EventName {
  std::string_view shortName;
  std::string_view function;
};

constexpr std::array<EventName, 10> kEvents{{
    {"init", "Function TAGame.GameEvent_TA.Init"},
    {"destroyed", "Function TAGame.GameEvent_TA.Destroyed"},
    {"jump", "Function CarComponent_Jump_TA.Active.BeginState"},
    {"landed", "Function TAGame.Car_TA.EventLanded"},
    {"dodge", "Function CarComponent_Dodge_TA.Active.BeginState"},
    {"ballground", "Function TAGame.Ball_TA.EventHitGround"},
    {"roundstart", "Function GameEvent_Soccar_TA.Active.StartRound"},
    {"explode", "Function TAGame.Ball_TA.Explode"},
    {"pause", "Function TAGame.PlayerController_TA.OnOpenPauseMenu"},
    {"unpause", "Function ProjectX.GameInfo_X.RemovePauser"},
}};

// The table's game-function names as texts every step that fires one shares.
const std::array<std::string, kEvents.size()>& TableFunctions() {
  static const auto names = [] {
    std::array<std::string, kEvents.size()> made;
    for (std::size_t i = 0; i < kEvents.size(); ++i) made[i] = kEvents[i].function;
    return made;
  }();
  return names;
}

// The longest session time accepted, so every tick count stays far from overflow.
constexpr double kMaxSeconds = 1e9;

struct Token {
  std::string text;
  bool quoted;
  std::size_t start;  // where the token begins in its line, its quote included
};

// The step names, as the parser knows them, for suggestions.
const std::vector<std::string>& StepNames() {
  static const std::vector<std::string> names = {
      "mode",  "event",    "ball",  "car",     "gamestate", "set",    "show",
      "frame", "settings", "click", "command", "expect",    "screen", "lost"};
  return names;
}

// Whether a message may show the text whole, as a script would hold it between double quotes.
bool Showable(std::string_view text) {
  return text.size() <= 2 * pluginsdk::kQuotedBytes &&
         std::all_of(text.begin(), text.end(),
                     [](char c) { return c >= ' ' && c < 0x7F && c != '"'; });
}

class LineParser {
 public:
  LineParser(const std::string& source, int line) : source_(source), line_(line) {}

  [[noreturn]] void Fail(const std::string& message) const {
    throw ScriptError(source_ + ":" + std::to_string(line_) + ": " + message);
  }

  // Splits a line into words and double-quoted texts; '#' outside quotes ends the line.
  std::vector<Token> Tokenize(std::string_view text) {
    text_ = text;
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
      const char c = text[i];
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
      } else if (c == '#') {
        comment_ = text.substr(i, text.find_first_of(" \t\r", i) - i);
        break;
      } else if (c == '"') {
        const auto close = text.find('"', i + 1);
        if (close == std::string_view::npos) Fail("unterminated quoted text");
        tokens.push_back({std::string(text.substr(i + 1, close - i - 1)), true, i});
        i = close + 1;
      } else {
        const auto end = text.find_first_of(" \t\r#\"", i);
        const auto length = (end == std::string_view::npos ? text.size() : end) - i;
        tokens.push_back({std::string(text.substr(i, length)), false, i});
        i += length;
      }
    }
    return tokens;
  }

  std::int64_t Time(const Token& token) const {
    const auto seconds = token.quoted ? std::nullopt : pluginsdk::ParseNumber(token.text);
    if (!seconds || !std::isfinite(*seconds) || *seconds < 0.0 || *seconds > kMaxSeconds) {
      Fail("bad time " + QuoteText(token.text) + ": expected seconds from 0 to 1e9, such as 2.5");
    }
    return std::llround(*seconds * pluginsdk::HostClock::kTicksPerSecond);
  }

  float Coordinate(const Token& token) const {
    const auto value = token.quoted ? std::nullopt : pluginsdk::ParseNumber(token.text);
    if (!value || !std::isfinite(*value) || std::fabs(*value) > FLT_MAX) {
      Fail("bad number " + QuoteText(token.text));
    }
    return static_cast<float>(*value);
  }

  // Whether the step's last argument is a text, which a value holding '#' (a colour, say) may be.
  enum class LastArgument { kWord, kText };

  void ExpectArguments(const std::vector<Token>& tokens, std::size_t min, std::size_t max,
                       const char* usage, LastArgument last = LastArgument::kWord) const {
    const std::size_t arguments = tokens.size() - 2;
    if (arguments < min || arguments > max) {
      // Only the last argument missing, and it a text: a '#' may have cut it off.
      const bool textCut = arguments + 1 == min && last == LastArgument::kText;
      Fail("wrong number of arguments to " + QuoteText(tokens[1].text) + ": expected " + usage +
           (textCut ? CommentHint() : std::string()));
    }
  }

  bool HasComment() const { return !comment_.empty(); }

  // When a line is short of a text and has a comment that begins with a word, the comment is
  // likely that text, cut off at its '#': what to write instead. A '#' on its own begins a
  // comment, as a number or a name never holds one.
  std::string CommentHint() const {
    if (comment_.size() < 2) return {};
    std::string hint = "; '#' starts a comment, so a value that holds '#' must be in double quotes";
    const bool plain = comment_.size() <= pluginsdk::kQuotedBytes &&
                       std::all_of(comment_.begin(), comment_.end(),
                                   [](char c) { return c > ' ' && c < 0x7F && c != '"'; });
    return plain ? hint + ": \"" + std::string(comment_) + '"' : hint;
  }

  std::optional<Vector> Location(const std::vector<Token>& tokens, const char* usage) const {
    if (tokens.size() == 3 && tokens[2].text == "none" && !tokens[2].quoted) return std::nullopt;
    ExpectArguments(tokens, 3, 3, usage);
    return Vector{Coordinate(tokens[2]), Coordinate(tokens[3]), Coordinate(tokens[4])};
  }

  StepAction Action(const std::vector<Token>& tokens, const VariableCheck& checkVariable,
                    const CommandCheck& checkCommand, bool frameSeen) const {
    const std::string& step = tokens[1].text;
    if (tokens[1].quoted) Fail("a step name cannot be quoted");
    if (step != "command") RefuseSingleQuotes(tokens);
    if (step == "mode") {
      ExpectArguments(tokens, 1, 1, "mode menu|freeplay|training|match");
      static constexpr std::array<std::pair<std::string_view, GameMode>, 4> kModes{{
          {"menu", GameMode::Menu},
          {"freeplay", GameMode::Freeplay},
          {"training", GameMode::Training},
          {"match", GameMode::Match},
      }};
      for (const auto& [name, mode] : kModes) {
        if (tokens[2].text == name) return SetMode{mode};
      }
      Fail("unknown mode " + QuoteText(tokens[2].text) +
           ": expected menu, freeplay, training or match" +
           DidYouMean(tokens[2].text, {"menu", "freeplay", "training", "match"}));
    }
    if (step == "event") {
      ExpectArguments(tokens, 1, 1, "event NAME");
      if (tokens[2].quoted) return QuotedEvent(tokens[2].text);
      for (std::size_t event = 0; event < kEvents.size(); ++event) {
        if (kEvents[event].shortName == tokens[2].text) return FireEvent{TableFunction(event)};
      }
      std::vector<std::string> events;
      for (const auto& event : kEvents) events.emplace_back(event.shortName);
      Fail("unknown event " + QuoteText(tokens[2].text) +
           ": expected init, destroyed, jump, landed, dodge, ballground, roundstart, explode, "
           "pause, unpause or a quoted game-function name" +
           DidYouMean(tokens[2].text, events));
    }
    if (step == "ball") return PlaceBall{Location(tokens, "ball X Y Z or ball none")};
    if (step == "car") return PlaceCar{Location(tokens, "car X Y Z or car none")};
    if (step == "gamestate") {
      ExpectArguments(tokens, 1, 1, "gamestate present|none");
      if (tokens[2].text == "present") return SetGameState{true};
      if (tokens[2].text == "none") return SetGameState{false};
      Fail("unknown game state " + QuoteText(tokens[2].text) + ": expected present or none" +
           DidYouMean(tokens[2].text, {"present", "none"}));
    }
    if (step == "set") {
      ExpectArguments(tokens, 2, 2, "set NAME VALUE", LastArgument::kText);
      if (const auto refused = checkVariable(tokens[2].text, tokens[3].text)) Fail(*refused);
      return SetVariable{
          std::make_shared<const Assignment>(Assignment{tokens[2].text, tokens[3].text})};
    }
    if (step == "show") {
      ExpectArguments(tokens, 1, 1, "show NAME");
      if (const auto refused = checkVariable(tokens[2].text, std::nullopt)) Fail(*refused);
      return ShowVariable{Own(tokens[2].text)};
    }
    if (step == "frame") {
      ExpectArguments(tokens, 0, 1, "frame [FILE.png]");
      if (tokens.size() == 2) return DrawFrame{};
      return DrawFrame{ImagePath(tokens[2])};
    }
    if (step == "settings") {
      ExpectArguments(tokens, 0, 1, "settings [FILE.png]");
      if (tokens.size() == 2) return ShowSettings{};
      return ShowSettings{ImagePath(tokens[2])};
    }
    if (step == "click") {
      NeedsQuotes(tokens, "the label");
      ExpectArguments(tokens, 1, 1, "click \"LABEL\"", LastArgument::kText);
      return ClickWidget{Own(tokens[2].text)};
    }
    if (step == "command") return Command(tokens, checkCommand);
    if (step == "expect") {
      NeedsQuotes(tokens, "the frame's text");
      ExpectArguments(tokens, 1, 1, "expect \"TEXT\"", LastArgument::kText);
      if (!tokens[2].quoted)
        Fail("expect takes the frame's text in double quotes" + Quoted(tokens));
      if (!frameSeen) Fail("expect before any frame step: there is no frame to check");
      return ExpectFrame{Own(tokens[2].text)};
    }
    if (step == "screen") {
      ExpectArguments(tokens, 2, 2, "screen WIDTH HEIGHT");
      return SetScreen{{ScreenSide(tokens[2]), ScreenSide(tokens[3])}};
    }
    if (step == "lost") {
      ExpectArguments(tokens, 1, 1, "lost COUNT");
      return LostSteps{LostCount(tokens[2])};
    }
    Fail("unknown step " + QuoteText(step) +
         ": expected mode, event, ball, car, gamestate, set, show, frame, settings, click, "
         "command, expect, screen or lost" +
         DidYouMean(step, StepNames()));
  }

  // A step whose one argument is a text, given as several unquoted words: the words were meant
  // as one text.
  void NeedsQuotes(const std::vector<Token>& tokens, const char* what) const {
    if (tokens.size() <= 3) return;
    if (std::any_of(tokens.begin() + 2, tokens.end(), [](const Token& t) { return t.quoted; }))
      return;
    Fail(tokens[1].text + " takes " + what + " in double quotes" + Quoted(tokens));
  }

  // The step's arguments as one double-quoted text, as the step should have been written:
  // ": expect \"Resets: 0\"". Empty when the text cannot be shown whole.
  std::string Quoted(const std::vector<Token>& tokens) const {
    const std::string_view words = text_.substr(
        tokens[2].start, tokens.back().start + tokens.back().text.size() - tokens[2].start);
    if (!Showable(words)) return {};
    return ": " + tokens[1].text + " \"" + std::string(words) + '"';
  }

  // An argument in single quotes: a script reads them as part of the word, and a '#' inside
  // them starts a comment, so what was meant is said, as it was written.
  void RefuseSingleQuotes(const std::vector<Token>& tokens) const {
    for (std::size_t i = 2; i < tokens.size(); ++i) {
      if (tokens[i].quoted || !tokens[i].text.starts_with('\'')) continue;
      const auto close = text_.find('\'', tokens[i].start + 1);
      if (close == std::string_view::npos) continue;
      const std::string_view written = text_.substr(tokens[i].start, close + 1 - tokens[i].start);
      const std::string_view inside = written.substr(1, written.size() - 2);
      const std::string advice =
          inside.find('#') == std::string_view::npos
              ? "single quotes do not quote in a script, so a text must be in double quotes"
              : "single quotes do not quote in a script, and '#' starts a comment, so a value "
                "that holds '#' must be in double quotes";
      if (!Showable(written)) Fail(advice);
      Fail(advice + ": \"" + std::string(inside) + "\", not " + std::string(written));
    }
  }

  int ScreenSide(const Token& token) const {
    const auto value = token.quoted ? std::nullopt : pluginsdk::ParseNumber(token.text);
    if (!value || *value != std::floor(*value) || *value < 1.0 || *value > kLargestScreenSide) {
      Fail("bad screen size " + QuoteText(token.text) + ": expected whole pixels from 1 to " +
           std::to_string(kLargestScreenSide));
    }
    return static_cast<int>(*value);
  }

  std::uint64_t LostCount(const Token& token) const {
    std::uint64_t count = 0;
    const char* end = token.text.data() + token.text.size();
    const auto [stop, error] = std::from_chars(token.text.data(), end, count);
    if (token.quoted || error != std::errc() || stop != end || count == 0) {
      Fail("bad count " + QuoteText(token.text) + ": expected a whole number of steps from 1");
    }
    return count;
  }

  RunCommand Command(const std::vector<Token>& tokens, const CommandCheck& checkCommand) const {
    if (tokens.size() < 3)
      Fail("wrong number of arguments to 'command': expected command NAME ...");
    const std::string& name = tokens[2].text;
    if (!checkCommand) Fail("unknown command " + QuoteText(name));
    if (const auto refused = checkCommand(name)) Fail(*refused);
    // Quoted words are quoted again, so the console splits the line into the very same words.
    std::string commandLine;
    for (std::size_t i = 2; i < tokens.size(); ++i) {
      if (i > 2) commandLine += ' ';
      commandLine += tokens[i].quoted ? '"' + tokens[i].text + '"' : tokens[i].text;
    }
    return RunCommand{Own(commandLine)};
  }

  std::shared_ptr<const std::filesystem::path> ImagePath(const Token& token) const {
    if (!token.text.ends_with(".png"))
      Fail("image file " + QuoteText(token.text) + " must end in .png");
    // The script is UTF-8 text; a path made of plain chars would be read in the system's code
    // page on Windows.
    const auto* name = reinterpret_cast<const char8_t*>(token.text.data());
    std::shared_ptr<const std::filesystem::path> path;
    try {
      path = std::make_shared<const std::filesystem::path>(name, name + token.text.size());
    } catch (const std::exception&) {
      Fail("image file " + QuoteText(token.text) + " is not UTF-8 text");
    }
    // A script may come from anyone (a recording sent by a player): it writes only inside the
    // picture folder.
    const bool leaves = std::any_of(path->begin(), path->end(),
                                    [](const std::filesystem::path& part) { return part == ".."; });
    if (path->has_root_path() || leaves) {
      Fail("image file " + QuoteText(token.text) +
           " must be a relative path that stays in the picture folder, without '..'");
    }
    return path;
  }

  static StepText Own(const std::string& text) { return std::make_shared<const std::string>(text); }

  // A quoted game-function name; one the table holds is not copied.
  static FireEvent QuotedEvent(const std::string& function) {
    for (std::size_t event = 0; event < kEvents.size(); ++event) {
      if (kEvents[event].function == function) return FireEvent{TableFunction(event)};
    }
    return FireEvent{Own(function)};
  }

  // The table's game-function names as texts every step that fires one shares: each step points
  // at the one text and owns nothing (an empty owner), so a long script holds no copies.
  static StepText TableFunction(std::size_t event) {
    return StepText(StepText(), &TableFunctions()[event]);
  }

 private:
  const std::string& source_;
  int line_;
  std::string_view comment_;  // from '#' to the next blank, when the line has a comment
  std::string_view text_;     // the line being parsed
};

// Parses a script a line at a time, so a long script is never held whole as text.
class SessionReader {
 public:
  SessionReader(const std::string& source, const VariableCheck& checkVariable,
                const CommandCheck& checkCommand)
      : source_(source), checkVariable_(checkVariable), checkCommand_(checkCommand) {}

  // Reads one line. A fault in it is kept and reading goes on, so one run names them all; a line
  // too long ends the reading, as what follows it is most likely no script.
  void Read(std::string_view lineText) {
    try {
      ReadLine(lineText);
    } catch (const ScriptError& fault) {
      if (faultCount_ < kFaultsShown) {
        faults_ += fault.what();
        faults_ += '\n';
      }
      ++faultCount_;
    }
  }

  bool Stopped() const { return stopped_; }

  // The script; throws a ScriptError with every fault, one a line, when there were any.
  Script TakeScript() {
    if (faultCount_ == 0) {
      Script script{std::move(steps_), std::nullopt};
      if (recording_ && !ended_) script.cutShort = CutShort{lastLine_, previous_};
      return script;
    }
    std::string message = std::move(faults_);
    if (faultCount_ > kFaultsShown) {
      message += "... and " + std::to_string(faultCount_ - kFaultsShown) + " more\n";
    }
    message.pop_back();
    throw ScriptError(message);
  }

 private:
  // The faults a message lists; a count of the rest follows them.
  static constexpr std::size_t kFaultsShown = 20;

  void ReadLine(std::string_view lineText) {
    ++line_;
    LineParser parser(source_, line_);
    if (lineText.size() > kLongestScriptLine) {
      stopped_ = true;
      parser.Fail("line longer than " + std::to_string(kLongestScriptLine) + " bytes");
    }
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (line_ == 1 && lineText.starts_with(kByteOrderMark)) {
      lineText.remove_prefix(kByteOrderMark.size());
    }
    const auto tokens = parser.Tokenize(lineText);
    if (tokens.empty()) {
      NoteRecordingLine(lineText);
      return;
    }
    lastLine_ = line_;
    // A time and only a comment is a note at that moment, with no step: recordings write one
    // where they stop writing expectations. Its time still must not go back.
    const bool note = tokens.size() == 1 && parser.HasComment();
    if (tokens.size() < 2 && !note) parser.Fail("expected TIME STEP [ARGS]");
    // A frame step with a fault is a frame all the same: the expect after it is no fault too.
    frameSeen_ = frameSeen_ || (!note && !tokens[1].quoted && tokens[1].text == "frame");
    const std::int64_t ticks = parser.Time(tokens[0]);
    if (ticks < previous_) parser.Fail("time " + QuoteText(tokens[0].text) + " goes back");
    previous_ = ticks;
    if (note) return;
    steps_.push_back(
        {line_, ticks, parser.Action(tokens, checkVariable_, checkCommand_, frameSeen_)});
  }

  // A comment line: the first line of a recording, or its end line.
  void NoteRecordingLine(std::string_view lineText) {
    const auto start = lineText.find_first_not_of(" \t");
    if (start == std::string_view::npos) return;
    lastLine_ = line_;
    lineText.remove_prefix(start);
    recording_ = recording_ || (line_ == 1 && lineText.starts_with(kRecordingHeader));
    ended_ = ended_ || (recording_ && lineText.starts_with(kRecordingEnd));
  }

  const std::string& source_;
  const VariableCheck& checkVariable_;
  const CommandCheck& checkCommand_;
  std::vector<Step> steps_;
  std::int64_t previous_ = 0;
  int line_ = 0;
  int lastLine_ = 0;        // the latest line with anything on it
  bool recording_ = false;  // the first line is the plugin's recording header
  bool ended_ = false;      // and its end line came
  bool frameSeen_ = false;
  bool stopped_ = false;
  std::string faults_;  // the first kFaultsShown faults, a line each
  std::size_t faultCount_ = 0;
};

}  // namespace

std::optional<std::string_view> GameFunctionFor(std::string_view shortName) {
  for (const auto& event : kEvents) {
    if (event.shortName == shortName) return event.function;
  }
  return std::nullopt;
}

std::optional<FireEvent> EventStep(std::string_view shortName) {
  for (std::size_t i = 0; i < kEvents.size(); ++i) {
    if (kEvents[i].shortName == shortName) return FireEvent{LineParser::TableFunction(i)};
  }
  return std::nullopt;
}

std::string_view ShortEventName(const FireEvent& event) {
  // A step that fires a table event points into the table: no text needs comparing.
  const auto& table = TableFunctions();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (event.function.get() == &table[i]) return kEvents[i].shortName;
  }
  return {};
}

Script ParseScript(std::string_view text, const std::string& source,
                   const VariableCheck& checkVariable, const CommandCheck& checkCommand) {
  SessionReader reader(source, checkVariable, checkCommand);
  while (!text.empty() && !reader.Stopped()) {
    const auto end = text.find('\n');
    reader.Read(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  return reader.TakeScript();
}

std::vector<Step> ParseSession(std::string_view text, const std::string& source,
                               const VariableCheck& checkVariable,
                               const CommandCheck& checkCommand) {
  return ParseScript(text, source, checkVariable, checkCommand).steps;
}

namespace {

Script ReadScript(std::istream& stream, const std::string& source,
                  const VariableCheck& checkVariable, const CommandCheck& checkCommand) {
  SessionReader reader(source, checkVariable, checkCommand);
  // One byte more than a line may hold, and one for getline's terminating zero: a line that
  // fills it is too long, and no more of it is read.
  constexpr std::size_t kRoom = kLongestScriptLine + 2;
  const auto line = std::make_unique_for_overwrite<char[]>(kRoom);
  for (;;) {
    stream.getline(line.get(), static_cast<std::streamsize>(kRoom));
    const auto taken = static_cast<std::size_t>(stream.gcount());
    if (stream.bad() || (stream.fail() && taken == 0) || reader.Stopped()) break;
    // getline counts the line feed it takes; a line cut by the end or by the room has none.
    const bool ended = !stream.fail() && !stream.eof();
    reader.Read({line.get(), ended ? taken - 1 : taken});
  }
  if (stream.bad()) throw ScriptError(source + ": cannot read the file");
  return reader.TakeScript();
}

}  // namespace

std::vector<Step> ReadSession(std::istream& stream, const std::string& source,
                              const VariableCheck& checkVariable,
                              const CommandCheck& checkCommand) {
  return ReadScript(stream, source, checkVariable, checkCommand).steps;
}

std::vector<Step> LoadSession(const std::filesystem::path& file, const VariableCheck& checkVariable,
                              const CommandCheck& checkCommand) {
  return LoadScript(file, checkVariable, checkCommand).steps;
}

Script LoadScript(const std::filesystem::path& file, const VariableCheck& checkVariable,
                  const CommandCheck& checkCommand) {
  const std::string source = ScriptName(file);
  if (file == kStandardInput) return ReadScript(std::cin, source, checkVariable, checkCommand);
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    throw ScriptError(source + ": no such file");
  }
  if (std::filesystem::is_directory(status)) throw ScriptError(source + ": is a directory");
  errno = 0;
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    throw ScriptError(source +
                      (errno == EACCES ? ": permission denied" : ": cannot read the file"));
  }
  return ReadScript(stream, source, checkVariable, checkCommand);
}

std::string ScriptName(const std::filesystem::path& file) {
  return file == kStandardInput ? "(standard input)" : PathText(file);
}

}  // namespace host
