#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace lomi {

// What a failure shows when not even its message could be made: memory ran
// out before anything else was allocated.
inline constexpr const char* kOutOfMemoryText = "メモリが足りません。";

// What a background task that threw tells its user, in one Japanese
// sentence naming the work it was doing ("全パターンの集計中に…"): out of
// memory as such, any other failure with its own text. Every worker catches
// what it throws and hands this back instead of ending the program.
std::string DescribeTaskFailure(std::string_view work, std::exception_ptr error);

// Makes message, ahead of the work, the text of work running out of memory,
// with room to spare, so that a failure can later be told without
// allocating. False (message left empty) when even that is not to be had.
bool PrepareFailureMessage(std::string& message, std::string_view work) noexcept;

// DescribeTaskFailure written into message, which PrepareFailureMessage
// made: when the description cannot be built, message says that memory ran
// out, in the room it was given.
void WriteTaskFailure(std::string& message, std::string_view work,
                      std::exception_ptr error) noexcept;

// The text to show for a failure's message: kOutOfMemoryText when it is empty.
inline std::string_view FailureText(const std::string& message) noexcept {
    return message.empty() ? std::string_view(kOutOfMemoryText) : std::string_view(message);
}

}  // namespace lomi
