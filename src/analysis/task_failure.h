#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace lomi {

// What a background task that threw tells its user, in one Japanese
// sentence naming the work it was doing ("全パターンの集計中に…"): out of
// memory as such, any other failure with its own text. Every worker catches
// what it throws and hands this back instead of ending the program.
std::string DescribeTaskFailure(std::string_view work, std::exception_ptr error);

}  // namespace lomi
