// libFuzzer target: the chain log's reader takes any bytes, in blocks of any size, and gives the
// same summary however the text is cut into blocks; never a crash, a hang or undefined behaviour;
// and no line cut short reads as a chain.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ChainLogReader.h"

namespace {

bool SameSummary(const quillon::ChainLogSummary& a, const quillon::ChainLogSummary& b) {
  const quillon::DayBests aDays = a.days.Latest();
  const quillon::DayBests bDays = b.days.Latest();
  return a.chains == b.chains && a.skipped == b.skipped && a.bestChain == b.bestChain &&
         a.recent.count == b.recent.count &&
         std::equal(a.recent.lengths.begin(), a.recent.lengths.begin() + a.recent.count,
                    b.recent.lengths.begin()) &&
         a.days.Count() == b.days.Count() && aDays.count == bDays.count &&
         std::equal(aDays.bests.begin(), aDays.bests.begin() + aDays.count, bDays.bests.begin());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  quillon::ChainLogReader whole;
  whole.Add(text);
  const quillon::ChainLogSummary summary = whole.Finish();

  // Blocks of 1 to 8 bytes, the sizes taken from the text itself.
  quillon::ChainLogReader pieces;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length =
        std::min<std::size_t>(1 + static_cast<unsigned char>(text[at]) % 8, text.size() - at);
    pieces.Add(text.substr(at, length));
    at += length;
  }
  if (!SameSummary(summary, pieces.Finish())) std::abort();

  // What a summary promises: no more lines read than there are, the recent chains the latest of
  // those read, none longer than the best.
  const auto lines = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  if (summary.chains + summary.skipped > lines) std::abort();
  if (static_cast<std::uint64_t>(summary.recent.count) !=
      std::min<std::uint64_t>(summary.chains, quillon::RecentChains::kCapacity))
    std::abort();
  for (int i = 0; i < summary.recent.count; ++i) {
    const float length = summary.recent.lengths[static_cast<std::size_t>(i)];
    if (length < 1.0f || length > static_cast<float>(summary.bestChain)) std::abort();
  }
  // Every chain read falls on a day; no day is plotted that has no chain.
  const quillon::DayBests days = summary.days.Latest();
  if ((summary.chains == 0) != (summary.days.Count() == 0)) std::abort();
  if (summary.days.Count() > summary.chains) std::abort();
  if (static_cast<std::uint32_t>(days.count) !=
      std::min<std::uint32_t>(summary.days.Count(), quillon::DayBests::kCapacity))
    std::abort();
  for (int i = 0; i < days.count; ++i) {
    const float best = days.bests[static_cast<std::size_t>(i)];
    if (best < 1.0f || best > static_cast<float>(summary.bestChain)) std::abort();
  }
  // A line read as a chain never reads as one with its end cut off, as a full disk cuts it.
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (quillon::ChainLineResets(line) == 0) continue;
    for (std::size_t cut = 1; cut <= line.size(); ++cut) {
      if (quillon::ChainLineResets(line.substr(0, line.size() - cut)) != 0) std::abort();
    }
  }
  return 0;
}
