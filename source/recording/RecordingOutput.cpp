#include "RecordingOutput.h"

namespace quillon::recording {
namespace {

std::string SizeWords(std::uint64_t bytes) {
  constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;
  if (bytes % kMebibyte == 0) return std::to_string(bytes / kMebibyte) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

bool RecordingOutput::Create(const std::filesystem::path& folder, const std::string& stamp,
                             std::uint32_t copy) {
  if (const auto fault = file_.Create(folder, stamp, copy)) {
    report_("Quillon: cannot record this practice: " + *fault + "; play goes on");
    fault_ = *fault;
    stopped_ = true;
    return false;
  }
  shortName_ = file_.ShortName();
  pathText_ = file_.PathText();
  return true;
}

void RecordingOutput::Flush() {
  if (text_.empty() || stopped_) return;
  std::string_view text = text_;
  bool full = false;
  if (bytes_ + text.size() > sizeLimit_) {
    // Whole lines only, so the file stays a script up to its last line.
    const std::size_t room = static_cast<std::size_t>(sizeLimit_ - bytes_);
    const std::size_t cut = text.substr(0, room).rfind('\n');
    text = cut == std::string_view::npos ? std::string_view{} : text.substr(0, cut + 1);
    full = true;
  }
  std::string why;
  if (!text.empty() && !file_.Append(text, why)) {
    report_("Quillon: cannot write the recording '" + pathText_ + "' (" + why +
            "); it stops here and play goes on");
    fault_ = "cannot write '" + pathText_ + "' (" + why + ")";
    Stop();
  } else {
    bytes_ += text.size();
    if (full) {
      report_("Quillon: the recording '" + pathText_ + "' reached its size limit of " +
              SizeWords(sizeLimit_) + " and stops here; play goes on");
      fault_ = "'" + pathText_ + "' reached its size limit of " + SizeWords(sizeLimit_);
      Stop();
    }
  }
  text_.clear();
}

void RecordingOutput::Close() {
  if (stopped_) return;
  Flush();
  Stop();
}

void RecordingOutput::Stop() {
  stopped_ = true;
  file_.Close();
}

}  // namespace quillon::recording
