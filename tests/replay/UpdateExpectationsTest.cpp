// quillon-host --update-expectations: after an intended change of the display, each expect line
// whose frame now shows another text gets that text, and nothing else in the file changes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ExpectationUpdate.h"
#include "Patterns.h"
#include "TempFolder.h"

namespace {

using ::testing::HasSubstr;

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

void Write(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// Every expect line's text replaced by `text`, as a case recorded before a change of the display
// holds another.
std::string WithExpectTexts(const std::string& script, const std::string& text) {
  return testing_support::ReplacePattern(script, R"re(( expect +)"[^"]*")re", "$1\"" + text + '"');
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs the host program in `folder` (pictures the scripts draw land there).
Outcome RunHost(const fs::path& folder, const std::string& arguments) {
  const std::string command =
      "cd '" + folder.string() + "' && " QUILLON_HOST_PATH " " + arguments + " >out.txt 2>err.txt";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read(folder / "out.txt"),
          Read(folder / "err.txt")};
}

TEST(UpdateExpectations, RewritesOnlyTheTextsOfExpectLinesThatMissed) {
  struct Copy {
    fs::path original;
    int expectLines;
  };
  const Copy copies[] = {
      {fs::path(CASES_FOLDER) / "from-the-start.session", 5},
      {fs::path(CASES_FOLDER) / "switched-on-in-play.session", 2},
      {fs::path(EXAMPLES_FOLDER) / "freeplay-practice.session", 10},
  };
  for (const Copy& copy : copies) {
    SCOPED_TRACE(copy.original.string());
    const testing_support::TempFolder folder;
    // The texts the plugin shows are not spelled here: the update must find them itself.
    const std::string original = Read(copy.original);
    const std::string stale = WithExpectTexts(original, "what the overlay showed before");
    ASSERT_NE(stale, original);
    Write(folder.Path() / "case.session", stale);

    const Outcome run = RunHost(folder.Path(), "--update-expectations case.session");

    EXPECT_EQ(run.status, 0) << run.err;
    const std::string updated = Read(folder.Path() / "case.session");
    EXPECT_EQ(WithExpectTexts(updated, ""), WithExpectTexts(original, ""))
        << "another byte changed";
    const Outcome replay = RunHost(folder.Path(), "case.session");
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_THAT(run.out, HasSubstr("--- case.session\n+++ case.session\n@@ line "));
    EXPECT_THAT(run.out, HasSubstr("\n-"));
    const std::string count = std::to_string(copy.expectLines);
    EXPECT_TRUE(
        run.out.ends_with("case.session: " + count + " of " + count + " expect lines changed\n"))
        << run.out;
    EXPECT_FALSE(fs::exists(folder.Path() / "case.session.new"));

    // Run again, nothing is left to change.
    const Outcome again = RunHost(folder.Path(), "--update-expectations case.session");
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "case.session: 0 of " + count + " expect lines changed\n");
    EXPECT_EQ(Read(folder.Path() / "case.session"), updated);
  }
}

TEST(UpdateExpectations, ShowsTheOldAndNewLineWithTheirCommentsAndLineEnds) {
  const testing_support::TempFolder folder;
  Write(folder.Path() / "a.session",
        "0 mode freeplay\r\n0 event init\r\n3 frame\r\n"
        "3\texpect  \"Resets: 7\"   # kept as written\r\n");

  const Outcome run = RunHost(folder.Path(), "--update-expectations a.session");

  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Read(folder.Path() / "a.session"),
            "0 mode freeplay\r\n0 event init\r\n3 frame\r\n"
            "3\texpect  \"(nothing drawn)\"   # kept as written\r\n");
  EXPECT_EQ(run.out,
            "--- a.session\n+++ a.session\n@@ line 4 @@\n"
            "-3\texpect  \"Resets: 7\"   # kept as written\n"
            "+3\texpect  \"(nothing drawn)\"   # kept as written\n"
            "a.session: 1 of 1 expect lines changed\n");
}

TEST(UpdateExpectations, LeavesAFileWithAFaultAsItWasAndGoesOnWithTheNext) {
  const testing_support::TempFolder folder;
  const std::string stale = "0 mode freeplay\n0 event init\n3 frame\n3 expect \"Resets: 7\"\n";
  const std::string faults[] = {
      stale + "4 jump\n",                   // a script fault: nothing runs
      stale + "4 click \"No Such Box\"\n",  // a step that cannot be carried out
  };
  for (const std::string& fault : faults) {
    SCOPED_TRACE(fault);
    Write(folder.Path() / "bad.session", fault);
    Write(folder.Path() / "good.session", stale);

    const Outcome run = RunHost(folder.Path(), "--update-expectations bad.session good.session");

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Read(folder.Path() / "bad.session"), fault);
    EXPECT_THAT(run.err, HasSubstr("bad.session:5: "));
    EXPECT_THAT(run.err, HasSubstr("bad.session: left as it was\n"));
    EXPECT_NE(Read(folder.Path() / "good.session"), stale);
    EXPECT_THAT(run.out, HasSubstr("good.session: 1 of 1 expect lines changed\n"));
  }
}

TEST(UpdateExpectations, IsRefusedWithOptionsThatPlayOtherwise) {
  const testing_support::TempFolder folder;
  Write(folder.Path() / "a.session", "0 frame\n0 expect \"x\"\n");
  for (const std::string arguments :
       {"--update-expectations", "--update-expectations -",
        "--update-expectations --realtime a.session", "--update-expectations --trace a.session",
        "--update-expectations --record r.session a.session",
        "--update-expectations --data d a.session", "--update-expectations --describe"}) {
    SCOPED_TRACE(arguments);
    const Outcome run = RunHost(folder.Path(), arguments);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_THAT(run.err, HasSubstr("--update-expectations"));
    EXPECT_EQ(Read(folder.Path() / "a.session"), "0 frame\n0 expect \"x\"\n");
  }
}

TEST(UpdateExpectations, ReplacesOnlyTheQuotedTextsOfTheLinesThatMissed) {
  struct Case {
    const char* script;
    std::vector<host::MissedExpectation> missed;
    const char* updated;
  };
  const Case cases[] = {
      {"0 frame\n0 expect \"x\"\n", {}, "0 frame\n0 expect \"x\"\n"},
      {"0 frame\n0 expect \"x\"", {{2, "y"}}, "0 frame\n0 expect \"y\""},
      {"0 frame\n0 expect \"\" #\"a\"\n1 frame\n1 expect \"z\"\n",
       {{2, "b"}, {4, ""}},
       "0 frame\n0 expect \"b\" #\"a\"\n1 frame\n1 expect \"\"\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(host::WithTextsShown(c.script, "s", c.missed), c.updated) << c.script;
  }
  // A frame whose text holds a double quote cannot be expected: the file stays as it was.
  EXPECT_THROW(host::WithTextsShown("0 frame\n0 expect \"x\"\n", "s", {{2, "say \"hi\""}}),
               host::ScriptError);
}

}  // namespace
