// One grammar for both sides: every kind of line the plugin's recording writer writes is read by
// the host's script reader as the very step the host would write back as that line, and the
// notes and comments between them are read as no step at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <type_traits>
#include <utility>
#include <variant>

#include "Host.h"
#include "RecordingFeed.h"
#include "RecordingWriter.h"
#include "ScriptLine.h"
#include "SessionRunner.h"
#include "SessionScript.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace quillon::recording;

constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr const char* kOverlay = "Resets: 1 | Height: 39 | Time: 0.00";

// The game thread's side, driven as the plugin drives it, and the writer, which takes the ring
// only when told. The recorded variables are one of each type.
class Game {
  RecordBuffer buffer_;  // made first and gone last: the writer takes from it until it is gone

 public:
  // Small, so a few hundred steps overflow it; the kept room holds two recordings' state steps.
  static constexpr std::size_t kRing = 64;
  static constexpr std::size_t kKept = 2 * RecordingFeed::kRoomPerRecording;

  Game(const fs::path& folder, bool live, std::uint8_t playState) : buffer_(kRing + kKept, kKept) {
    WriterSetup setup;
    setup.folder = folder;
    setup.settings = {{"quillon_enabled", SettingType::kSwitch, &enabled},
                      {"quillon_posx", SettingType::kInteger, &positionX},
                      {"quillon_textsize", SettingType::kFloat, &textSize},
                      {"quillon_color", SettingType::kColor, color}};
    setup.writtenBy = "the grammar test";
    setup.report = [](const std::string&) {};
    setup.overlayText = [](const FrameStep&) { return std::string(kOverlay); };
    feed.Attach(buffer_, &Clock, [] {});
    feed.Watch(setup.settings);
    writer = std::make_unique<RecordingWriter>(buffer_, std::move(setup));
    At(0);
    Begin(live, playState);
    writer->Drain();
  }

  // A new moment of the game, in seconds from the recording's start.
  void At(double seconds) {
    now = std::llround(seconds * 10'000'000);
    feed.NewMoment();
  }
  bool Begin(bool live, std::uint8_t playState) {
    return feed.Begin({.frequency = 10'000'000,
                       .utc = 1'796'715'000,
                       .playState = playState,
                       .headerMode = GameMode::kFreeplay,
                       .live = live},
                      true);
  }
  void Frame(bool shown) { feed.Frame({shown, 1, 0.0, 39.0f, false, kAllOnOneRow}); }

  bool enabled = true;
  int positionX = 640;
  float textSize = 1.5f;
  float color[4] = {255.0f, 128.0f, 0.0f, 255.0f};
  RecordingFeed feed;
  std::unique_ptr<RecordingWriter> writer;

 private:
  static std::int64_t Clock() { return now; }
  static inline std::int64_t now = 0;
};

struct Case {
  const char* name;
  bool live;  // begun in play; otherwise at the game event's start, the check still to come
  std::function<void(Game&)> play;  // what the game does after the recording began
  // Lines the files must hold, in order; "{N}" stands for a count.
  std::vector<std::string> lines;
  std::size_t files = 1;
  std::uint8_t playState = play::kChainEnded;  // nothing to bring back: no preamble
};

void Practice(Game& game, GameMode found = GameMode::kFreeplay) {
  game.At(3);
  game.feed.Open({.found = found});
}

// The rows of each kind of step. A kind added without rows fails to compile here.
template <class Kind>
std::vector<Case> CasesOf() {
  if constexpr (std::is_same_v<Kind, BeginStep>) {
    return std::vector<Case>{
        {"from the game event's start",
         false,
         [](Game& g) { Practice(g); },
         {"0.000 mode freeplay", "0.000 set quillon_enabled 1", "0.000 set quillon_posx 640",
          "0.000 set quillon_textsize 1.5", "0.000 set quillon_color \"(255, 128, 0, 255)\"",
          "0.000 event init"}},
        {"in play, in a timed chain with the pause menu open and the ball exploded",
         true,
         [](Game&) {},
         {"0.000 mode freeplay", "0.000 event init", "3.000 event jump", "3.000 event pause",
          "3.000 gamestate present", "3.000 ball 0 0 93.15", "3.000 car 0 0 100",
          "3.000 event landed", "3.000 event dodge", "3.000 event explode"},
         1,
         play::kPauseMenuOpen | play::kTiming | play::kBallExploded},
        {"in play, after a chain that ended awaiting a dodge",
         true,
         [](Game&) {},
         {"0.000 event init", "3.000 event roundstart"},
         1,
         play::kAwaitingDodge | play::kChainEnded},
        {"while another is open, which it ends",
         true,
         [](Game& g) {
           g.At(1);
           g.Begin(true, play::kChainEnded);
         },
         {"# the recording ends here: a new one begins"},
         2}};
  } else if constexpr (std::is_same_v<Kind, EventStep>) {
    std::vector<std::string> lines;
    const std::pair<GameEvent, const char*> events[] = {{GameEvent::kInit, "init"},
                                                        {GameEvent::kDestroyed, "destroyed"},
                                                        {GameEvent::kJump, "jump"},
                                                        {GameEvent::kLanded, "landed"},
                                                        {GameEvent::kDodge, "dodge"},
                                                        {GameEvent::kBallGround, "ballground"},
                                                        {GameEvent::kRoundStart, "roundstart"},
                                                        {GameEvent::kExplode, "explode"},
                                                        {GameEvent::kPause, "pause"},
                                                        {GameEvent::kUnpause, "unpause"}};
    for (const auto& [event, name] : events) lines.push_back(std::string("4.000 event ") + name);
    return std::vector<Case>{{"each event", true,
                              [events](Game& g) {
                                g.At(1);
                                for (const auto& [event, name] : events) g.feed.Event(event);
                              },
                              lines}};
  } else if constexpr (std::is_same_v<Kind, ModeStep>) {
    return std::vector<Case>{
        {"each mode",
         true,
         [](Game& g) {
           g.At(1);
           g.feed.Mode(GameMode::kTraining);
           g.At(1.5);
           g.feed.Mode(GameMode::kMatch);
           g.At(2);
           g.feed.Mode(GameMode::kMenu);
           g.At(2.25);
           g.feed.Mode(GameMode::kFreeplay);
         },
         {"4.000 mode training", "4.500 mode match", "5.000 mode menu", "5.250 mode freeplay"}}};
  } else if constexpr (std::is_same_v<Kind, BallStep>) {
    return std::vector<Case>{
        {"a place and none",
         true,
         [](Game& g) {
           g.At(1);
           g.feed.Ball(true, 120.5f, -300.25f, 1024.0f);
           g.At(1.0000001);
           g.feed.Ball(false, 0, 0, 0);
         },
         {"4.000 ball 120.5 -300.25 1024", "4.0000001 ball none"}},
        {"a place a script cannot name",
         true,
         [](Game& g) {
           g.At(1);
           g.feed.Ball(true, 0.0f, kInfinity, 100.0f);
           g.Frame(true);
         },
         {"4.000 # ball at a place a script cannot name; from here on nothing is checked",
          "4.000 frame"}}};
  } else if constexpr (std::is_same_v<Kind, CarStep>) {
    return std::vector<Case>{
        {"a place and none",
         true,
         [](Game& g) {
           g.At(1);
           g.feed.Car(true, -2048.0f, 0.5f, 17.0f);
           g.At(2);
           g.feed.Car(false, 0, 0, 0);
         },
         {"4.000 car -2048 0.5 17", "5.000 car none"}},
        {"a place a script cannot name",
         true,
         [](Game& g) {
           g.At(1);
           g.feed.Car(true, kNotANumber, 0.0f, 100.0f);
           g.Frame(false);
         },
         {"4.000 # car at a place a script cannot name; from here on nothing is checked",
          "4.000 frame"}}};
  } else if constexpr (std::is_same_v<Kind, GameStateStep>) {
    return std::vector<Case>{{"none and present",
                              true,
                              [](Game& g) {
                                g.At(1);
                                g.feed.GameState(false);
                                g.At(2);
                                g.feed.GameState(true);
                              },
                              {"4.000 gamestate none", "5.000 gamestate present"}}};
  } else if constexpr (std::is_same_v<Kind, SettingStep>) {
    return std::vector<Case>{
        {"each type, changed before a frame",
         true,
         [](Game& g) {
           g.At(1);
           g.enabled = false;
           g.positionX = 0;
           g.textSize = 2.25f;
           g.color[2] = 255.0f;
           g.color[3] = 127.5f;
           g.Frame(true);
         },
         {"4.000 set quillon_enabled 0", "4.000 set quillon_posx 0",
          "4.000 set quillon_textsize 2.25", "4.000 set quillon_color \"(255, 128, 255, 127.5)\"",
          "4.000 frame", std::string("4.000 expect \"") + kOverlay + '"'}},
        {"a value a script cannot set",
         true,
         [](Game& g) {
           g.At(1);
           g.textSize = kNotANumber;
           g.Frame(true);
         },
         {"4.000 # quillon_textsize holds a value a script cannot set; from here on nothing is "
          "checked",
          "4.000 frame"}}};
  } else if constexpr (std::is_same_v<Kind, ScreenStep>) {
    return std::vector<Case>{
        {"a canvas",
         true,
         [](Game& g) {
           g.At(1);
           g.feed.Screen(1280, 720);
           g.At(2);
           g.feed.Screen(8192, 8192);
         },
         {"4.000 screen 1280 720", "5.000 screen 8192 8192"}},
        {"three 4K monitors side by side",
         true,
         [](Game& g) {
           g.At(1);
           g.feed.Screen(11520, 2160);
           g.Frame(true);
         },
         {"4.000 # a screen size a script cannot name; from here on nothing is checked",
          "4.000 frame"}}};
  } else if constexpr (std::is_same_v<Kind, FrameStep>) {
    return std::vector<Case>{{"shown and not shown",
                              true,
                              [](Game& g) {
                                g.At(1);
                                g.Frame(true);
                                g.At(2);
                                g.Frame(false);
                              },
                              {"4.000 frame", std::string("4.000 expect \"") + kOverlay + '"',
                               "5.000 frame", "5.000 expect \"(nothing drawn)\""}}};
  } else if constexpr (std::is_same_v<Kind, OpenStep>) {
    return std::vector<Case>{
        {"custom training found, with play before the check",
         false,
         [](Game& g) {
           g.At(1.5);
           g.feed.Event(GameEvent::kJump);
           Practice(g, GameMode::kTraining);
           g.At(3.5);
           g.feed.Event(GameEvent::kLanded);
         },
         {"0.000 mode training", "0.000 event init", "1.500 event jump", "3.500 event landed"}}};
  } else if constexpr (std::is_same_v<Kind, DiscardStep>) {
    return std::vector<Case>{{"no practice found",
                              false,
                              [](Game& g) {
                                g.At(1);
                                g.feed.Event(GameEvent::kJump);
                                g.At(3);
                                g.feed.Discard();
                              },
                              {},
                              0}};
  } else if constexpr (std::is_same_v<Kind, EndStep>) {
    std::vector<Case> cases;
    const std::pair<EndReason, const char*> reasons[] = {
        {EndReason::kDestroyed, "the game event ended"},
        {EndReason::kUnload, "the plugin was unloaded"},
        {EndReason::kSwitchedOff, "recording was switched off"},
        {EndReason::kPracticeEnded, "the practice check found no practice any more"}};
    for (const auto& [reason, words] : reasons) {
      cases.push_back({words,
                       true,
                       [reason](Game& g) {
                         g.At(1);
                         g.feed.End(reason);
                       },
                       {std::string("# the recording ends here: ") + words}});
    }
    cases.push_back({"the writer stopped with the recording open",
                     true,
                     [](Game& g) { g.writer->Stop(); },
                     {"# the recording ends here: the plugin was unloaded"}});
    return cases;
  } else if constexpr (std::is_same_v<Kind, LostStep>) {
    return std::vector<Case>{
        {"while the writer fell behind",
         true,
         [](Game& g) {
           g.At(1);
           for (std::size_t i = 0; i < 3 * Game::kRing; ++i) g.feed.Event(GameEvent::kJump);
           g.writer->Drain();
           g.At(2);
           g.feed.Event(GameEvent::kLanded);
           g.Frame(true);
         },
         {"4.000 event jump", "5.000 lost {N}", "5.000 event landed", "5.000 frame"}},
        {"just before the end",
         true,
         [](Game& g) {
           g.At(1);
           for (std::size_t i = 0; i < 3 * Game::kRing; ++i) g.feed.Event(GameEvent::kJump);
           g.writer->Drain();
           g.At(2);
           g.feed.End(EndReason::kDestroyed);
         },
         {"5.000 lost {N}", "# the recording ends here: the game event ended"}}};
  } else {
    static_assert(sizeof(Kind) == 0, "a kind of step with no rows");
  }
}

// Whether a written line is the one a row expects; "{N}" in the row matches a count.
bool Matches(std::string_view expected, std::string_view line) {
  const auto count = expected.find("{N}");
  if (count == std::string_view::npos) return expected == line;
  const std::string_view before = expected.substr(0, count), after = expected.substr(count + 3);
  if (line.size() <= before.size() + after.size() || !line.starts_with(before) ||
      !line.ends_with(after)) {
    return false;
  }
  const auto digits = line.substr(before.size(), line.size() - before.size() - after.size());
  return digits.find_first_not_of("0123456789") == std::string_view::npos;
}

std::vector<std::string> Lines(const fs::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class RecordingGrammar : public ::testing::Test {
 protected:
  RecordingGrammar() {
    // The recorded variables as the host holds them, so `set` lines meet the host's own check.
    host.RegisterVariable("quillon_enabled", "0", "", true, {0.0f, 1.0f}, true, 1);
    host.RegisterVariable("quillon_posx", "0", "", true, {0.0f, 10000.0f}, true, 1);
    host.RegisterVariable("quillon_textsize", "1", "", true, {}, true, 1);
    host.RegisterVariable("quillon_color", "#FFFF00", "", true, {}, true, 1);
  }

  // Every line read: a step line gives the step the host writes back as that very line; a note
  // (a time and a comment) or a comment gives none; no `expect` follows where the file says
  // nothing is checked any more, or lost steps. Returns the file's lines.
  std::vector<std::string> ReadBack(const fs::path& file) {
    const auto lines = Lines(file);
    std::ostringstream text;
    for (const auto& line : lines) text << line << '\n';
    std::vector<host::Step> steps;
    try {
      steps = host::ParseSession(text.str(), file.filename().string(), host::RegistryCheck(host));
    } catch (const host::ScriptError& error) {
      ADD_FAILURE() << error.what() << '\n' << text.str();
      return lines;
    }
    std::map<int, const host::Step*> byLine;
    for (const auto& step : steps) byLine[step.line] = &step;
    bool unchecked = false;
    std::size_t stepLines = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      const auto found = byLine.find(static_cast<int>(i) + 1);
      const bool comment = line.empty() || line[0] == '#';
      const bool note = !comment && line.find(" # ") == line.find(' ');
      if (comment || note) {
        EXPECT_EQ(found, byLine.end()) << line;
        unchecked = unchecked || line.ends_with("nothing is checked");
        continue;
      }
      ++stepLines;
      if (found == byLine.end()) {
        ADD_FAILURE() << "no step read from " << line;
        continue;
      }
      std::string written = host::ExactTime(found->second->ticks) + ' ';
      host::AppendAction(written, found->second->action);
      EXPECT_EQ(written, line);
      EXPECT_FALSE(unchecked && std::holds_alternative<host::ExpectFrame>(found->second->action))
          << line << ": an expectation after the file said nothing is checked\n"
          << text.str();
      unchecked = unchecked || std::holds_alternative<host::LostSteps>(found->second->action);
    }
    EXPECT_EQ(steps.size(), stepLines) << text.str();
    return lines;
  }

  void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    testing_support::TempFolder folder;
    {
      Game game(folder.Path(), c.live, c.playState);
      c.play(game);
      if (game.feed.Active()) {
        game.At(30);
        game.feed.End(EndReason::kDestroyed);
      }
      game.writer->Drain();
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder.Path())) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), c.files);
    std::vector<std::string> all;
    for (const auto& file : files) {
      const auto lines = ReadBack(file);
      all.insert(all.end(), lines.begin(), lines.end());
    }
    auto next = all.begin();
    for (const auto& expected : c.lines) {
      next =
          std::find_if(next, all.end(), [&](const auto& line) { return Matches(expected, line); });
      ASSERT_NE(next, all.end()) << "missing, or out of order: " << expected;
      ++next;
    }
  }

  void CheckAll(const std::vector<Case>& cases, std::size_t kind) {
    EXPECT_FALSE(cases.empty()) << "step kind " << kind << " has no row";
    for (const Case& c : cases) Check(c);
  }

  pluginsdk::Host host;
};

TEST_F(RecordingGrammar, EveryLineOfEveryStepKindIsReadBackAsTheStepItWrites) {
  // Every kind the record can hold, so a kind added later is run too.
  [this]<std::size_t... kind>(std::index_sequence<kind...>) {
    (CheckAll(CasesOf<std::variant_alternative_t<kind, Step>>(), kind), ...);
  }
  (std::make_index_sequence<std::variant_size_v<Step>>{});
}

}  // namespace
