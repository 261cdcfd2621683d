#pragma once

#include <cstdint>
#include <string>

namespace tavufe {

// "#,##0": decimal, grouped by thousands with the given separator, no decimals.
std::string formatThousands(std::int64_t value, const std::string& separator);

}  // namespace tavufe
