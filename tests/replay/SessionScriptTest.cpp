// Session scripts: what the parser accepts, and every fault reported as FILE:LINE with exit 2.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

#include "NearestNames.h"
#include "QuotedText.h"
#include "SessionScript.h"
#include "VariableTable.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::optional<std::string> OnlyEnabled(std::string_view name,
                                       std::optional<std::string_view> value) {
  if (name != "quillon_enabled") return "unknown variable '" + std::string(name) + "'";
  if (value && *value != "0" && *value != "1") return "bad value";
  return std::nullopt;
}

std::vector<host::Step> Parse(const std::string& text) {
  return host::ParseSession(text, "play.session", OnlyEnabled);
}

TEST(SessionScript, ReadsStepsWithTimesInTicksAndSkipsCommentsNotesAndBlankLines) {
  const auto steps = Parse(
      "# practice\n"
      "\n"
      "0 mode freeplay   # trailing comment\n"
      "0.5 event init\n"
      "1.25 event \"Function TAGame.Car_TA.EventLanded\"\n"
      "2 ball 1 -2 300.5\n"
      "2 car none\n"
      "2 # a time and a comment: a note, no step\n"
      "2.0000001 gamestate none\n"
      "3 set quillon_enabled 1\n"
      "4 frame out/x.png\n"
      "5 screen 1280 720\n"
      "6 lost 7310\n");
  ASSERT_EQ(steps.size(), 10u);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(std::get<host::SetMode>(steps[0].action).mode, pluginsdk::GameMode::Freeplay);
  EXPECT_EQ(steps[1].ticks, 5'000'000);
  EXPECT_EQ(*std::get<host::FireEvent>(steps[1].action).function,
            "Function TAGame.GameEvent_TA.Init");
  EXPECT_EQ(*std::get<host::FireEvent>(steps[2].action).function,
            "Function TAGame.Car_TA.EventLanded");
  EXPECT_EQ(std::get<host::PlaceBall>(steps[3].action).location, (Vector{1.0f, -2.0f, 300.5f}));
  EXPECT_FALSE(std::get<host::PlaceCar>(steps[4].action).location.has_value());
  EXPECT_EQ(steps[5].ticks, 20'000'001);
  EXPECT_EQ(std::get<host::SetVariable>(steps[6].action).assignment->value, "1");
  EXPECT_EQ(*std::get<host::DrawFrame>(steps[7].action).image, "out/x.png");
  EXPECT_EQ(std::get<host::SetScreen>(steps[8].action).size, (Vector2{1280, 720}));
  EXPECT_EQ(std::get<host::LostSteps>(steps[9].action).count, 7310u);
}

TEST(SessionScript, ACommandStepKeepsItsWordsForTheConsole) {
  const auto steps = host::ParseSession(
      "1 command quillon_echo \"two words\" x # comment\n2 command writeconfig\n", "play.session",
      OnlyEnabled, [](std::string_view name) -> std::optional<std::string> {
        if (name == "nosuch") return "unknown command 'nosuch'";
        return std::nullopt;
      });
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(*std::get<host::RunCommand>(steps[0].action).commandLine,
            "quillon_echo \"two words\" x");
  EXPECT_EQ(*std::get<host::RunCommand>(steps[1].action).commandLine, "writeconfig");
}

struct Fault {
  const char* name;
  const char* script;
  const char* message;  // expected after "play.session:LINE: "
  int line;
};

class SessionFault : public ::testing::TestWithParam<Fault> {};

TEST_P(SessionFault, IsReportedWithFileAndLine) {
  try {
    Parse(GetParam().script);
    FAIL() << "accepted";
  } catch (const host::ScriptError& error) {
    const std::string expected = "play.session:" + std::to_string(GetParam().line) + ": ";
    const std::string message = error.what();
    EXPECT_TRUE(message.starts_with(expected)) << message;
    EXPECT_THAT(message, HasSubstr(GetParam().message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SessionFault,
    ::testing::Values(
        Fault{"UnknownStep", "0 mode menu\n1 teleport\n", "unknown step 'teleport'", 2},
        Fault{"UnknownEvent", "1 event kickoff\n", "unknown event 'kickoff'", 1},
        Fault{"UnknownMode", "1 mode ranked\n", "unknown mode 'ranked'", 1},
        Fault{"BadTime", "1.5s event init\n", "bad time '1.5s'", 1},
        Fault{"NegativeTime", "-1 event init\n", "bad time '-1'", 1},
        Fault{"TimeGoesBack", "2 event init\n\n1 event jump\n", "time '1' goes back", 3},
        Fault{"BadNumber", "1 ball 0 0 high\n", "bad number 'high'", 1},
        Fault{"InfiniteNumber", "1 car 0 0 inf\n", "bad number 'inf'", 1},
        Fault{"TooFewArguments", "1 ball 0 0\n", "wrong number of arguments to 'ball'", 1},
        Fault{"TooManyArguments", "1 frame a.png b.png\n", "wrong number of arguments", 1},
        Fault{"MissingStep", "1\n", "expected TIME STEP", 1},
        Fault{"NoteThatGoesBack", "2 event init\n1 # note\n", "time '1' goes back", 2},
        Fault{"NoteWithoutATime", "jump # note\n", "bad time 'jump'", 1},
        Fault{"UnknownVariable", "1 set quillon_size 2\n", "unknown variable 'quillon_size'", 1},
        Fault{"RefusedValue", "1 set quillon_enabled yes\n", "bad value", 1},
        Fault{"UnknownShow", "1 show nothing\n", "unknown variable 'nothing'", 1},
        Fault{"NotAPicture", "1 frame shot.jpg\n", "must end in .png", 1},
        Fault{"AbsolutePicture", "1 frame /any/folder/x.png\n",
              "image file '/any/folder/x.png' must be a relative path that stays in the picture "
              "folder, without '..'",
              1},
        Fault{"PictureOutOfItsFolder", "1 settings shots/../../x.png\n",
              "must be a relative path that stays in the picture folder", 1},
        Fault{"NoLostCount", "1 lost\n", "wrong number of arguments to 'lost'", 1},
        Fault{"LostNothing", "1 lost 0\n", "bad count '0': expected a whole number of steps", 1},
        Fault{"LostCountNotANumber", "1 lost 7.5\n", "bad count '7.5'", 1},
        Fault{"UnterminatedQuote", "1 click \"Text Size\n", "unterminated quoted text", 1},
        Fault{"BadGameState", "1 gamestate maybe\n", "unknown game state 'maybe'", 1},
        Fault{"UnknownCommand", "0 mode menu\n1 command nosuch x\n", "unknown command 'nosuch'", 2},
        Fault{"CommandWithoutName", "1 command\n", "wrong number of arguments to 'command'", 1},
        Fault{"ExpectBeforeAnyFrame", "0 mode menu\n1 expect \"(nothing drawn)\"\n2 frame\n",
              "expect before any frame step", 2},
        Fault{"ExpectUnquoted", "1 frame\n1 expect Resets\n", "in double quotes", 2},
        Fault{"ScreenOfNoPixels", "1 screen 0 720\n", "bad screen size '0'", 1},
        Fault{"ScreenOfPartPixels", "1 screen 1280.5 720\n", "bad screen size '1280.5'", 1},
        Fault{"ScreenTooLarge", "1 screen 1280 8193\n", "from 1 to 8192", 1},
        Fault{"ScreenNotANumber", "1 screen nan 720\n", "bad screen size 'nan'", 1},
        Fault{"ScreenOneSide", "1 screen 1280\n", "wrong number of arguments to 'screen'", 1},
        Fault{"HashInAnUnquotedValue", "1 set quillon_enabled #1 # on\n",
              "expected set NAME VALUE; '#' starts a comment, so a value that holds '#' must be in "
              "double quotes: \"#1\"",
              1},
        Fault{"MisspeltStep", "1 evnt init\n", "or lost; did you mean 'event'?", 1},
        Fault{"MisspeltEvent", "1 event Jump\n", "game-function name; did you mean 'jump'?", 1},
        Fault{"MisspeltMode", "1 mode freply\n", "or match; did you mean 'freeplay'?", 1},
        Fault{"MisspeltGameState", "1 gamestate presnt\n", "did you mean 'present'?", 1},
        Fault{"ExpectTextInWords", "1 frame\n2 expect Resets: 0 # a count\n",
              "expect takes the frame's text in double quotes: expect \"Resets: 0\"", 2},
        Fault{"ClickLabelInWords", "1 click Enable Quillon Plugin\n",
              "click takes the label in double quotes: click \"Enable Quillon Plugin\"", 1},
        Fault{"SingleQuotedHash", "1 set quillon_enabled '#1'\n",
              "single quotes do not quote in a script, and '#' starts a comment, so a value that "
              "holds '#' must be in double quotes: \"#1\", not '#1'",
              1},
        Fault{"SingleQuotedWords", "1 click 'Text Size'\n",
              "single quotes do not quote in a script, so a text must be in double quotes: "
              "\"Text Size\", not 'Text Size'",
              1},
        Fault{"ByteOrderMarkOnALaterLine",
              "0 mode menu\n\xEF\xBB\xBF"
              "1 frame\n",
              "bad time '\\xEF\\xBB\\xBF1'", 2}),
    [](const auto& info) { return std::string(info.param.name); });

// Every faulty line is named, in line order, the first 20 of them in full.
TEST(SessionScript, EveryFaultIsReportedInLineOrderTheFirstTwentyInFull) {
  const struct {
    std::string script;
    std::string message;  // its lines after the first 20 are left out
  } cases[] = {
      {"0 fly\n1 frame\n2 mode x\n1 event jump\n",
       "play.session:1: unknown step 'fly'\nplay.session:3: unknown mode 'x'\n"
       "play.session:4: time '1' goes back"},
      {"0 mode x\n", "play.session:1: unknown mode 'x'"},
      // A frame step with a fault is still a frame: the expect after it is no second fault.
      {"1 frame shot.jpg\n1 expect \"x\"\n",
       "play.session:1: image file 'shot.jpg' must end in .png"},
      {"1 frame a.png b.png\n2 expect \"x\"\n",
       "play.session:1: wrong number of arguments to 'frame'"},
      {"1s frame\n2 expect \"x\"\n", "play.session:1: bad time '1s'"},
  };
  for (const auto& c : cases) {
    try {
      Parse(c.script);
      ADD_FAILURE() << "accepted: " << c.script;
    } catch (const host::ScriptError& error) {
      std::istringstream got(error.what());
      std::istringstream expected(c.message);
      std::string gotLine, expectedLine;
      while (std::getline(expected, expectedLine)) {
        ASSERT_TRUE(std::getline(got, gotLine)) << error.what();
        EXPECT_TRUE(gotLine.starts_with(expectedLine)) << gotLine;
      }
      EXPECT_FALSE(std::getline(got, gotLine)) << error.what();
    }
  }
  std::string many;
  for (int line = 0; line < 25; ++line) many += "1 fly\n";
  try {
    Parse(many);
    ADD_FAILURE() << "accepted";
  } catch (const host::ScriptError& error) {
    const std::string message = error.what();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 20) << message;
    EXPECT_THAT(message, HasSubstr("\nplay.session:20: unknown step 'fly'"));
    EXPECT_TRUE(message.ends_with("\n... and 5 more")) << message;
  }
}

// A line short of arguments with a comment is told to quote a '#' only where the comment stands
// where a text was due and begins with a word: a '#' that really cut off a text.
TEST(SessionScript, AdvisesQuotingAHashOnlyWhereItCutOffAText) {
  const std::string quote =
      "; '#' starts a comment, so a value that holds '#' must be in double quotes";
  const struct {
    const char* line;
    std::string message;  // after "play.session:1: "
  } cases[] = {
      {"0 set quillon_enabled #1",
       "wrong number of arguments to 'set': expected set NAME VALUE" + quote + ": \"#1\""},
      {"0 expect #1 # a count",
       "wrong number of arguments to 'expect': expected expect \"TEXT\"" + quote + ": \"#1\""},
      {"0.0 ball 100 200 # z forgotten",
       "wrong number of arguments to 'ball': expected ball X Y Z or ball none"},
      {"0 ball 100 200 #300",
       "wrong number of arguments to 'ball': expected ball X Y Z or ball none"},
      {"0 set quillon_enabled # on", "wrong number of arguments to 'set': expected set NAME VALUE"},
      {"0 set #quillon_enabled 1", "wrong number of arguments to 'set': expected set NAME VALUE"},
      {"0 mode #freeplay",
       "wrong number of arguments to 'mode': expected mode "
       "menu|freeplay|training|match"},
  };
  for (const auto& c : cases) {
    try {
      Parse(std::string("0 frame\n") + c.line + '\n');
      ADD_FAILURE() << "accepted: " << c.line;
    } catch (const host::ScriptError& error) {
      EXPECT_EQ(error.what(), "play.session:2: " + c.message) << c.line;
    }
  }
}

// The steps as line, tick and kind, or the fault: what reading a stream and parsing a text agree
// on.
std::string Outcome(const std::function<std::vector<host::Step>()>& read) {
  try {
    std::string text;
    for (const auto& step : read()) {
      text += std::to_string(step.line) + ':' + std::to_string(step.ticks) + ':' +
              std::to_string(step.action.index()) + ' ';
    }
    return text;
  } catch (const host::ScriptError& error) {
    return error.what();
  }
}

TEST(SessionScript, ReadsAStreamAsItParsesTheTextAtTheEdges) {
  const std::string plain = "0 mode freeplay\n1 frame\n";
  const std::string longest = "0 mode freeplay #" + std::string(host::kLongestScriptLine - 17, 'x');
  const struct {
    std::string text;
    std::string fault;  // empty: the steps of `plain`
  } cases[] = {
      {"\xEF\xBB\xBF" + plain, ""},  // a byte-order mark
      {"0 mode freeplay\n1 frame", ""},
      {longest + "\n1 frame\n", ""},
      {longest + "x\n1 frame\n", "play.session:1: line longer than 1048576 bytes"},
      {"0 mode freeplay\n" + longest + "xx", "play.session:2: line longer than 1048576 bytes"},
  };
  for (const auto& c : cases) {
    const std::string expected = c.fault.empty() ? Outcome([&] { return Parse(plain); }) : c.fault;
    std::istringstream stream(c.text);
    EXPECT_EQ(Outcome([&] { return Parse(c.text); }), expected) << c.text.substr(0, 20);
    EXPECT_EQ(Outcome([&] { return host::ReadSession(stream, "play.session", OnlyEnabled); }),
              expected)
        << c.text.substr(0, 20);
  }
}

TEST(NearestNames, AreSuggestedOnlyWhenClose) {
  const std::vector<std::string> known = {"quillon_enabled", "quillon_posx", "quillon_posy",
                                          "writeconfig"};
  const std::pair<const char*, std::string> cases[] = {
      {"quillon_psox", "; did you mean 'quillon_posx'?"},  // two letters swapped
      {"quillon_posz", "; did you mean 'quillon_posx' or 'quillon_posy'?"},
      {"writeconfg", "; did you mean 'writeconfig'?"},
      {"nothing", ""},
  };
  for (const auto& [typed, suggestion] : cases) {
    EXPECT_EQ(host::DidYouMean(typed, known), suggestion) << typed;
  }
}

// --- The host program ---------------------------------------------------------------------------

class HostProgram : public ::testing::Test {
 protected:
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("quillon-host-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());

  void SetUp() override { std::filesystem::create_directories(folder); }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::filesystem::path Write(const std::string& name, const std::string& text) {
    std::ofstream(folder / name) << text;
    return folder / name;
  }

  // Runs the host program; returns its exit status and fills its output streams.
  int Run(const std::string& arguments, std::string& out, std::string& err,
          const std::string& before = "", const std::string& program = QUILLON_HOST_PATH) {
    const std::string command = before + program + " " + arguments + " >" +
                                (folder / "out").string() + " 2>" + (folder / "err").string();
    const int status = std::system(command.c_str());
    out = Read(folder / "out");
    err = Read(folder / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static std::string Read(const std::filesystem::path& file) {
    std::ostringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
  }
};

TEST_F(HostProgram, ReplaysASessionAndPrintsFramesAndVariables) {
  const auto script = Write("ok.session",
                            "0 mode freeplay\n0 event init\n3 frame\n3.25 set quillon_posx 12\n"
                            "3.5 show quillon_posx\n");
  std::string out;
  std::string err;
  EXPECT_EQ(Run(script.string(), out, err), 0) << err;
  EXPECT_THAT(out, HasSubstr("3.000 "));
  EXPECT_THAT(out, HasSubstr("3.500 quillon_posx = 12\n"));
}

TEST_F(HostProgram, AFaultyScriptRunsNothingAndExitsWithTwo) {
  const auto script =
      Write("bad.session", "0 show quillon_posx\n1 frame\n2 fly\n3 event Jump\n4 frame\n");
  std::string out;
  std::string err;
  EXPECT_EQ(Run(script.string(), out, err), 2);
  EXPECT_EQ(out, "") << "nothing may run before the whole script is read";
  EXPECT_EQ(err,
            script.string() +
                ":3: unknown step 'fly': expected mode, event, ball, car, "
                "gamestate, set, show, frame, settings, click, command, expect, screen or lost\n" +
                script.string() +
                ":4: unknown event 'Jump': expected init, destroyed, jump, landed, dodge, "
                "ballground, roundstart, explode, pause, unpause or a quoted game-function "
                "name; did you mean 'jump'?\n");
}

TEST_F(HostProgram, ABadOptionExitsWithTwo) {
  std::string out;
  std::string err;
  EXPECT_EQ(Run("--frobnicate x", out, err), 2);
  EXPECT_THAT(err, HasSubstr("unknown option '--frobnicate'"));
  EXPECT_EQ(Run("", out, err), 2);
  EXPECT_EQ(Run("--help", out, err), 0);
  EXPECT_THAT(out, HasSubstr("usage: quillon-host"));
}

TEST_F(HostProgram, SettingsSurviveARestartInTheDataFolder) {
  const auto data = folder / "data";
  const auto save = Write("save.session", "0 set quillon_posx 12\n1 command writeconfig\n");
  std::string out;
  std::string err;
  ASSERT_EQ(Run("--data " + data.string() + " " + save.string(), out, err), 0) << err;
  EXPECT_EQ(out, "");
  const std::string saved = Read(data / "config.cfg");
  EXPECT_THAT(saved, HasSubstr("quillon_posx \"12\"\n"));
  std::ofstream(data / "config.cfg", std::ios::app) << "quillon_posy \"far\"\n";
  const auto badLine = std::count(saved.begin(), saved.end(), '\n') + 1;

  const auto show = Write("show.session", "0 show quillon_posx\n");
  ASSERT_EQ(Run("--data " + data.string() + " " + show.string(), out, err), 0) << err;
  // Console lines are printed as they come, here while the plugin is loaded.
  EXPECT_EQ(out, "console: config: " + (data / "config.cfg").string() + ":" +
                     std::to_string(badLine) +
                     ": cannot set quillon_posy: 'far' is not a number\n"
                     "0.000 quillon_posx = 12\n");

  Write("plain-file", "");
  EXPECT_EQ(Run("--data " + (folder / "plain-file").string() + " " + show.string(), out, err), 1);
  EXPECT_THAT(err, HasSubstr("as the data folder"));
}

TEST_F(HostProgram, AModuleThatIsNotAPluginIsAClearError) {
  const auto script = Write("ok.session", "0 frame\n");
  std::string out;
  std::string err;
  EXPECT_EQ(Run("--plugin " + (folder / "nothing.so").string() + " " + script.string(), out, err),
            1);
  EXPECT_THAT(err, HasSubstr("nothing.so: cannot load the library"));
}

// A script is read from wherever it comes: a file, standard input, a pipe or a FIFO.
TEST_F(HostProgram, ReadsTheScriptFromStandardInputPipesAndFifos) {
  const auto script = Write("ok.session", "0 mode freeplay\n1.5 show quillon_posx\n");
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  const std::string file = script.string();
  const std::string fifo = (folder / "fifo").string();
  const struct {
    const char* how;
    std::string before;  // the shell command that feeds the host
    std::string arguments;
  } sources[] = {
      {"a file", "", file},
      {"- with input redirected", "", "- <" + file},
      {"- at the end of a pipe", "cat " + file + " | ", "-"},
      {"/dev/stdin", "cat " + file + " | ", "/dev/stdin"},
      {"a FIFO", "cat " + file + " >" + fifo + " & ", fifo},
  };
  for (const auto& source : sources) {
    std::string out;
    std::string err;
    EXPECT_EQ(Run(source.arguments, out, err, source.before), 0) << source.how << ": " << err;
    EXPECT_EQ(out, "1.500 quillon_posx = 0\n") << source.how;
  }
}

TEST_F(HostProgram, AFaultOnStandardInputNamesIt) {
  const auto script = Write("bad.session", "0 mode freeplay\n1 fly\n");
  std::string out;
  std::string err;
  EXPECT_EQ(Run("- <" + script.string(), out, err), 2);
  EXPECT_TRUE(err.starts_with("(standard input):2: unknown step 'fly'")) << err;
}

// Root reads a file whatever its permissions, so as root the host runs as nobody for a locked
// file. Nobody may not reach the build (a checkout in a folder only root may enter), so it runs
// copies of the program, the module and the SDK library in a folder of the test's. Empty, with the
// reason, where nobody cannot run them there.
std::string RunAsNobody(const std::filesystem::path& copies, std::string& whyNot) {
  namespace fs = std::filesystem;
  if (std::system("command -v setpriv >/dev/null") != 0) {
    whyNot = "setpriv is not installed";
    return {};
  }
  const fs::path program = QUILLON_HOST_PATH;
  fs::create_directories(copies);
  for (const fs::path& file : {program, program.parent_path() / "QuillonPlugin.so",
                               program.parent_path() / "libpluginsdk.so"}) {
    fs::copy_file(file, copies / file.filename(), fs::copy_options::overwrite_existing);
  }
  const std::string asNobody =
      "setpriv --reuid=65534 --regid=65534 --clear-groups env LD_LIBRARY_PATH=" + copies.string() +
      " ";
  if (std::system(
          (asNobody + (copies / "quillon-host").string() + " --help >/dev/null 2>&1").c_str()) !=
      0) {
    whyNot = "nobody cannot run the host from " + copies.string() +
             " (a folder on the way is closed to other users)";
    return {};
  }
  return asNobody;
}

// A script that cannot be read says why, without a line number.
TEST_F(HostProgram, AnUnreadableScriptSaysWhyAndExitsWithTwo) {
  Write("locked.session", "0 frame\n");
  std::filesystem::permissions(folder / "locked.session", std::filesystem::perms::none);
  std::string asAnotherUser;
  std::string program = QUILLON_HOST_PATH;
  std::string whyNot;
  if (::geteuid() == 0) {
    asAnotherUser = RunAsNobody(folder / "as-nobody", whyNot);
    program = (folder / "as-nobody" / "quillon-host").string();
  }
  const struct {
    std::string file;
    const char* why;
    std::string before;
  } unreadable[] = {
      {(folder / "missing.session").string(), ": no such file", ""},
      {folder.string(), ": is a directory", ""},
      {(folder / "locked.session").string(), ": permission denied", asAnotherUser},
  };
  for (const auto& script : unreadable) {
    if (script.why == std::string(": permission denied") && !whyNot.empty()) {
      std::cout << "[  SKIPPED ] permission denied not checked: " << whyNot << "\n";
      continue;
    }
    std::string out;
    std::string err;
    EXPECT_EQ(Run(script.file, out, err, script.before, program), 2) << script.file;
    EXPECT_EQ(err, script.file + script.why + "\n");
  }
}

// A message quotes at most 60 bytes of the text it complains about, printable.
TEST(QuotedText, IsShortAndPrintableWhateverTheText) {
  const struct {
    std::string text;
    std::string quoted;
  } cases[] = {
      {"12x", "'12x'"},
      {"", "''"},
      {std::string(60, 'A'), "'" + std::string(60, 'A') + "'"},
      {std::string(61, 'A'), "'" + std::string(60, 'A') + "'... (61 bytes)"},
      {std::string(10'000'000, 'A'), "'" + std::string(60, 'A') + "'... (10000000 bytes)"},
      {std::string("\x7F"
                   "ELF\x02\x00\xFF\t\ne\xCC\x81",
                   12),
       "'\\x7FELF\\x02\\x00\\xFF\\x09\\x0Ae\\xCC\\x81'"},
      {std::string(59, 'A') + "\xE2\x82\xAC", "'" + std::string(59, 'A') + "\\xE2'... (62 bytes)"},
      {"C:\\games\\it's.png", "'C:\\\\games\\\\it\\'s.png'"},
      {"'#FF0000'", "\"'#FF0000'\""},  // as written, when nothing needs an escape
      {"it's \"x\"", "'it\\'s \"x\"'"},
  };
  for (const auto& c : cases) EXPECT_EQ(pluginsdk::QuoteText(c.text), c.quoted);
}

TEST_F(HostProgram, AHugeOrBinaryScriptGivesAShortMessage) {
  const struct {
    const char* name;
    std::string script;
    std::string expected;  // after "FILE:1: "
  } faults[] = {
      {"huge.session", "0 set quillon_color " + std::string(1'000'000, 'A') + "\n",
       "cannot set quillon_color: '" + std::string(60, 'A') +
           "'... (1000000 bytes) is not a colour (#RRGGBB, #RRGGBBAA or (R, G, B, A))\n"},
      {"binary.session",
       std::string("\x7F"
                   "ELF\x02\x01\x01\x00\x00\x1B[2J jump",
                   18),
       "bad time '\\x7FELF\\x02\\x01\\x01\\x00\\x00\\x1B[2J': expected seconds from 0 to "
       "1e9, such as 2.5\n"},
  };
  for (const auto& fault : faults) {
    const auto script = Write(fault.name, fault.script);
    std::string out;
    std::string err;
    EXPECT_EQ(Run(script.string(), out, err), 2);
    EXPECT_EQ(err, script.string() + ":1: " + fault.expected);
  }
}

// A file that never ends a line is refused once a line is too long, in little memory. The old
// way grew the line until memory ran out: the address space is capped so that cannot take long.
TEST_F(HostProgram, AnEndlessLineStopsInLittleMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' shadow memory is not the program's";
#endif
  std::string out;
  std::string err;
  EXPECT_EQ(Run("/dev/zero", out, err, "ulimit -v 2000000; "), 2);
  EXPECT_EQ(err, "/dev/zero:1: line longer than 1048576 bytes\n");
  rusage usage{};
  ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
  EXPECT_LE(usage.ru_maxrss, 64 * 1024) << "peak resident kB";
}

// The labels of the page's controls with one colour for all text, in the page's order, each
// quoted and followed by a comma, as a missing widget's message lists them.
std::string PageLabels() {
  std::string labels;
  for (const auto& variable : quillon::cvar::kVariables) {
    if (variable.shown != quillon::cvar::Shown::kWithOwnColors) {
      labels += "\"" + std::string(variable.label) + "\", ";
    }
  }
  return labels;
}

// Every fault a script meets reads FILE:LINE: message, found before running or while running, and
// a misspelt name is named with the nearest known one. A failure of the host's own goes to
// standard error too, and fails the run. A run that drew nothing, or counted no reset, ends with a
// hint at the likely cause, and its exit status stays what it was.
TEST_F(HostProgram, MessagesSayWhereAndWhatWasMeant) {
  std::filesystem::create_directories(folder / "taken.png");
  std::filesystem::create_directories(folder / "data" / "config.cfg.new");
  const std::string data = (folder / "data").string();
  const std::string practice = "0 set quillon_enabled 1\n0 mode freeplay\n0 event init\n";
  const std::string noReset = "hint: no reset was counted: ";
  const std::string nothingChecked =
      "hint: the session has no expect step, so the replay checked nothing; an expect \"TEXT\" "
      "after a frame step checks what the frame showed\n";
  const std::string header = "# Recorded by Quillon Plugin 1.1.0.1 on 2026-12-08 in free play\n";
  const std::string reset = practice + "4 car 0 0 300\n4 event landed\n4 frame\n";
  const std::string oneReset = "\"Resets: 1 | Height: 0 | Time: 0.00\"\n";
  const std::string check = "the practice check (3 s after 'event init' at 0.000)";
  const struct {
    std::string script;
    std::string options;
    int status;
    std::string err;  // after "FILE:" when it starts with a line number
  } cases[] = {
      {"0 set quillon_enable 1\n", "", 2,
       "1: unknown variable 'quillon_enable'; did you mean 'quillon_enabled'?\n"},
      {"0 mode freeplay\n0 command writeconfg\n", "", 2,
       "2: unknown command 'writeconfg'; did you mean 'writeconfig'?\n"},
      {"0 set quillon_color #FF0000\n", "", 2,
       "1: wrong number of arguments to 'set': expected set NAME VALUE; '#' starts a comment, so "
       "a value that holds '#' must be in double quotes: \"#FF0000\"\n"},
      {"0 set quillon_color '#FF0000'\n", "", 2,
       "1: single quotes do not quote in a script, and '#' starts a comment, so a value that holds "
       "'#' must be in double quotes: \"#FF0000\", not '#FF0000'\n"},
      {"0 click \"Enable Quillon Plugn\"\n", "", 1,
       "1: no widget 'Enable Quillon Plugn' on the settings page; it has " + PageLabels() +
           "\"Clear statistics\"; did you mean 'Enable Quillon Plugin'?\n"},
      {"0 frame\n1 frame taken.png\n", "", 1, "2: cannot write 'taken.png': Is a directory\n"},
      {"0 frame\n0 expect \"x\"\n", "", 1,
       "2: expected 'x' but the frame at 0.000 showed '(nothing drawn)'\nhint: nothing was drawn: "
       "the overlay is switched off; add 'set quillon_enabled 1'\n1 of 1 expectations failed\n"},
      {"0 set quillon_enabled 1\n0 mode freeplay\n1 frame\n", "", 0,
       "hint: nothing was drawn: no game event had begun; add 'event init', which starts the "
       "overlay\n" +
           nothingChecked},
      {"0 set quillon_enabled 1\n0 event init\n4 frame\n", "", 0,
       "hint: nothing was drawn: the game was in menu, and the overlay shows in free play and "
       "training only; add 'mode freeplay'\n" +
           nothingChecked},
      {practice + "1 frame\n", "", 0,
       noReset + "the session ended before " + check + ", and play before it is ignored\n" +
           nothingChecked},
      {"0 set quillon_enabled 1\n0 event init\n4 mode training\n4 car 0 0 300\n4 event landed\n"
       "4 frame\n",
       "", 0,
       noReset + check +
           " found the game in menu, not in free play or training; add 'mode freeplay' before "
           "it\n" +
           nothingChecked},
      {practice + "1 car 0 0 300\n1 event landed\n4 frame\n", "", 0,
       noReset + "every landing came before " + check + ", and play before it is ignored\n" +
           nothingChecked},
      {practice + "4 frame\n", "", 0,
       noReset + "no landing came after " + check + "; a reset is an 'event landed'\n" +
           nothingChecked},
      {practice + "4 car 0 0 25\n4 event landed\n4 car none\n4 event landed\n4 frame\n", "", 0,
       noReset +
           "the car was never above 25 units at a landing (at most 25); put it in the air first, "
           "as 'car 0 0 300'\n" +
           nothingChecked},
      {reset, "", 0, nothingChecked},
      {reset + "4 expect " + oneReset, "", 0, ""},
      // A second init in one game event sets no check of its own: the first one's counts.
      {practice + "3.5 event init\n8 car 0 0 10\n8 event landed\n8 frame\n", "", 0,
       noReset +
           "the car was never above 25 units at a landing (at most 10); put it in the air first, "
           "as 'car 0 0 300'\n" +
           nothingChecked},
      {"0 set quillon_posx 5\n", "--data " + data, 1,
       nothingChecked + "quillon-host: config: cannot write " + data +
           "/config.cfg: cannot create " + data +
           "/config.cfg.new: Is a directory; settings were not saved\n"},
      // Lost steps are said where they come; the frames still print, and the exit status says
      // that not all was checked. An expect that fails after them names them.
      {reset + "4 expect " + oneReset + "4.5 lost 12\n5 frame\n", "", 3,
       "8: at 4.500 the recording lost 12 steps of play (its writer fell behind the game): the "
       "frames after it are not checked\n"},
      {reset + "4.5 lost 12\n5 frame\n5 expect \"x\"\n", "", 1,
       "7: at 4.500 the recording lost 12 steps of play (its writer fell behind the game): the "
       "frames after it are not checked\nmessages.session:9: expected 'x' but the frame at 5.000 "
       "showed 'Resets: 1 | Height: 0 | Time: 0.00'; likely because the recording lost steps at "
       "line 7\n1 of 1 expectations failed\n"},
      // A recording of the plugin's without its end line was cut short; with it, it is whole.
      {header + reset + "4 expect " + oneReset, "", 3,
       "8: the recording is cut short here, at 4.000: it has no end line (a full disk or a crash "
       "stopped it), so the play after it is missing and not checked\n"},
      {header + reset + "4 expect " + oneReset +
           "# the recording ends here: the game event ended\n",
       "", 0, ""},
      {reset + "4 expect " + oneReset + header, "", 0, ""},
  };
  for (const auto& c : cases) {
    Write("messages.session", c.script);
    std::string out;
    std::string err;
    EXPECT_EQ(Run(c.options + " messages.session", out, err, "cd " + folder.string() + " && "),
              c.status)
        << c.script;
    const bool numbered = !c.err.empty() && std::isdigit(static_cast<unsigned char>(c.err[0]));
    const std::string prefix = numbered ? "messages.session:" : "";
    EXPECT_EQ(err, prefix + c.err) << c.script;
    EXPECT_THAT(out, Not(HasSubstr("console:")));
  }
}

// Where standard error goes with standard output, as in the demo, a failed expectation's message
// stands under the frame it checked.
// A script may come from anyone: its pictures go only into the picture folder, the current one
// or the one --pictures names, and a path that would leave it is refused before anything runs.
TEST_F(HostProgram, PicturesStayInThePictureFolder) {
  const std::string cd = "cd " + folder.string() + " && ";
  const std::string outside = "/quillon-nowhere/x.png";
  const struct {
    std::string script;
    std::string options;
    int status;
    std::string err;
    std::filesystem::path written;  // empty: none
  } cases[] = {
      {"0 frame shots/a.png\n", "", 0, "", folder / "shots" / "a.png"},
      {"0 settings shots/a.png\n", "--pictures pics", 0, "", folder / "pics" / "shots" / "a.png"},
      {"0 frame " + outside + "\n",
       "",
       2,
       "pictures.session:4: image file '" + outside +
           "' must be a relative path that stays in the picture folder, without '..'\n",
       {}},
      {"0 frame ../outside/x.png\n",
       "--pictures pics",
       2,
       "pictures.session:4: image file '../outside/x.png' must be a relative path that stays in "
       "the picture folder, without '..'\n",
       {}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(folder / "shots");
    std::filesystem::remove_all(folder / "pics");
    Write("pictures.session", "0 set quillon_enabled 1\n0 mode freeplay\n0 event init\n" +
                                  c.script +
                                  "4 car 0 0 300\n4 event landed\n4 frame\n"
                                  "4 expect \"Resets: 1 | Height: 0 | Time: 0.00\"\n");
    std::string out;
    std::string err;
    EXPECT_EQ(Run(c.options + " pictures.session", out, err, cd), c.status) << c.script;
    EXPECT_EQ(err, c.err) << c.script;
    if (!c.written.empty()) {
      EXPECT_TRUE(std::filesystem::exists(c.written)) << c.written;
      const auto shown = c.written.lexically_relative(folder).string();
      EXPECT_THAT(out, HasSubstr("picture: " + shown + " ("));
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "outside")) << c.script;
    EXPECT_FALSE(std::filesystem::exists("/quillon-nowhere")) << c.script;
  }
}

TEST_F(HostProgram, AFailedExpectationStandsUnderItsFrameInOneStream) {
  Write("order.session", "0 frame\n0 expect \"x\"\n1 frame\n");
  std::string out;
  std::string err;
  Run("order.session 2>&1 | cat", out, err, "cd " + folder.string() + " && ");
  EXPECT_EQ(out,
            "0.000 (nothing drawn)\norder.session:2: expected 'x' but the frame at 0.000 showed "
            "'(nothing drawn)'\n1.000 (nothing drawn)\nhint: nothing was drawn: the overlay is "
            "switched off; add 'set quillon_enabled 1'\n1 of 1 expectations failed\n");
}

// A million steps replay in little memory: a step holds no copy of a game-function name the
// table of events has. Peak resident memory of the host, as /usr/bin/time -f %M reports it.
TEST_F(HostProgram, AMillionStepsReplayInUnder64Megabytes) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' shadow memory is not the program's";
#endif
  std::ofstream script(folder / "million.session");
  script << "0 mode freeplay\n0 event init\n3 set quillon_enabled 1\n";
  for (int group = 0; group < 250'000; ++group) {
    const int hundredths = group % 100;
    const std::string time = std::to_string(3 + group / 100) + (hundredths < 10 ? ".0" : ".") +
                             std::to_string(hundredths);
    script << time << " event jump\n"
           << time << " event landed\n"
           << time << " event dodge\n"
           << time << " frame\n";
  }
  script.close();
  std::string out;
  std::string err;
  ASSERT_EQ(Run((folder / "million.session").string(), out, err), 0) << err;
  rusage usage{};
  ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
  EXPECT_LE(usage.ru_maxrss, 64 * 1024) << "peak resident kB";
}

}  // namespace
