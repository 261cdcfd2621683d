#pragma once

#include <cstdint>
#include <string>

namespace tavufe {

// How the report and the grids write numbers for the user: the front end's choice, "," on the
// command line and the locale's in the window.
struct NumberFormat {
  std::string thousandsSeparator;
};

// "#,##0": decimal, grouped by thousands with the given separator, no decimals.
std::string formatThousands(std::int64_t value, const std::string& separator);

}  // namespace tavufe
