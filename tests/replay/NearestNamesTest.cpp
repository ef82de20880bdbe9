// A misspelt name in a script is answered with the known names nearest to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NearestNames.h"

namespace {

TEST(NearestNames, SuggestTheClosestKnownNamesOnlyWhenTheyAreClose) {
  const std::vector<std::string> known = {"quillon_enabled", "quillon_posx", "quillon_posy",
                                          "quillon_color", "writeconfig"};
  const struct {
    const char* typed;
    std::string suggestion;
  } cases[] = {
      {"quillon_enable", "; did you mean 'quillon_enabled'?"},               // a letter missing
      {"quillon_psox", "; did you mean 'quillon_posx'?"},                    // two letters swapped
      {"quillon_posz", "; did you mean 'quillon_posx' or 'quillon_posy'?"},  // a tie
      {"writeconfg", "; did you mean 'writeconfig'?"},
      {"quillon_textcolor", "; did you mean 'quillon_color'?"},  // 4 edits in 17 bytes
      {"nothing", ""},
      {"ab", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(host::DidYouMean(c.typed, known), c.suggestion) << c.typed;
}

}  // namespace
