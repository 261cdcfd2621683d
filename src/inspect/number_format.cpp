#include "inspect/number_format.h"

namespace tavufe {

std::string formatThousands(std::int64_t value, const std::string& separator) {
  const bool negative = value < 0;
  std::uint64_t magnitude = negative ? 0 - std::uint64_t(value) : std::uint64_t(value);
  const std::string digits = std::to_string(magnitude);
  std::string out;
  if (negative) out += '-';
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

}  // namespace tavufe
