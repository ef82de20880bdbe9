// The page's line: the latest recording's, whatever order the game thread and a writer behind it
// speak in.
#include "RecordingStatus.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using quillon::recording::RecordingStatus;

TEST(RecordingStatus, ThePageSaysWhatTheLatestRecordingIsDoingAndNoEarlierOneTakesItOver) {
  using Say = std::function<void(RecordingStatus&)>;
  const Say opening1 = [](RecordingStatus& s) { s.Opening(1); };
  const Say opening2 = [](RecordingStatus& s) { s.Opening(2); };
  const Say ended1 = [](RecordingStatus& s) { s.Ended(1); };
  const Say writing1 = [](RecordingStatus& s) { s.Writing(1, "/d/A.session"); };
  const Say writing2 = [](RecordingStatus& s) { s.Writing(2, "/d/B.session"); };
  const Say refused1 = [](RecordingStatus& s) { s.NotRecorded(1, "cannot make the folder"); };
  const Say stopped1 = [](RecordingStatus& s) { s.Stopped(1, "'/d/A.session' is full"); };
  const Say behind = [](RecordingStatus& s) { s.Refuse(1, "the writer is behind"); };
  struct Case {
    const char* name;
    std::vector<Say> said;
    const char* line;
  };
  const Case cases[] = {
      {"box ticked, no practice", {}, "Not recording: no free play or custom training under way"},
      {"the file is being opened", {opening1}, "Recording this practice: opening its file"},
      {"the writer chose the name", {opening1, writing1}, "Recording to '/d/A.session'"},
      {"the writer spoke before the game thread",
       {writing1, opening1},
       "Recording to '/d/A.session'"},
      {"no file", {opening1, refused1}, "This practice is not recorded: cannot make the folder"},
      {"stopped on a fault",
       {opening1, writing1, stopped1},
       "This practice is no longer recorded: '/d/A.session' is full"},
      {"ended",
       {opening1, writing1, ended1},
       "Not recording: no free play or custom training under way"},
      {"A's writer after A ended",
       {opening1, ended1, refused1},
       "Not recording: no free play or custom training under way"},
      {"A named after B began",
       {opening1, ended1, opening2, writing1},
       "Recording this practice: opening its file"},
      {"A refused after B was named",
       {opening1, ended1, opening2, writing2, refused1},
       "Recording to '/d/B.session'"},
      {"A stopped after B was named",
       {opening1, ended1, opening2, writing2, stopped1},
       "Recording to '/d/B.session'"},
      {"no room after A",
       {opening1, writing1, ended1, behind},
       "This practice is not recorded: the writer is behind"},
      {"A's writer after no room",
       {opening1, ended1, behind, writing1},
       "This practice is not recorded: the writer is behind"},
      {"B after no room",
       {opening1, ended1, behind, opening2, writing2},
       "Recording to '/d/B.session'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingStatus status;
    for (const Say& say : c.said) say(status);
    EXPECT_EQ(status.Line(), c.line);
  }
}

}  // namespace
