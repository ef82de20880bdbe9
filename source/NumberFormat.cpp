#include "NumberFormat.h"

#include <charconv>

namespace quillon {

NumberText NumberText::Unsigned(std::uint32_t value) {
  NumberText text;
  const auto result =
      std::to_chars(text.chars_.data(), text.chars_.data() + text.chars_.size(), value);
  text.size_ = static_cast<std::size_t>(result.ptr - text.chars_.data());
  return text;
}

NumberText NumberText::Fixed(float value, int decimals) {
  NumberText text;
  const auto result = std::to_chars(text.chars_.data(), text.chars_.data() + text.chars_.size(),
                                    static_cast<double>(value), std::chars_format::fixed, decimals);
  text.size_ = static_cast<std::size_t>(result.ptr - text.chars_.data());
  return text;
}

}  // namespace quillon
