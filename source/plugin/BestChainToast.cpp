// A new best chain, announced the moment the count passes the old best.
#include <string>

#include "QuillonPlugin.h"

void QuillonPlugin::AnnounceNewBest(std::uint32_t bestBefore) {
  const auto count =
      newBestWatch.Counted(static_cast<std::uint32_t>(record.resetCount), bestBefore);
  if (!count || !*announceBest) return;
  gameWrapper->Toast("Quillon Plugin", "New best chain: " + std::to_string(*count));
}
