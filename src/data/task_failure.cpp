#include "data/task_failure.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace lomi {
namespace {

constexpr std::string_view kOutOfMemory = "中にメモリが足りなくなりました。";
// Room for the work's name and the reason a failure gives.
constexpr std::size_t kPreparedRoom = 256;

// The out-of-memory text of work written into message, within the room it has.
void WriteOutOfMemory(std::string& message, std::string_view work) noexcept {
    if (message.capacity() < work.size() + kOutOfMemory.size()) return;
    message.assign(work);  // no allocation: the room is there
    message.append(kOutOfMemory);
}

}  // namespace

std::string DescribeTaskFailure(std::string_view work, std::exception_ptr error) {
    std::string text(work);
    try {
        if (error) std::rethrow_exception(error);
        text += "中にエラーが起きました。";
    } catch (const std::bad_alloc&) {
        text += kOutOfMemory;
    } catch (const std::exception& e) {
        text += "中にエラーが起きました（";
        text += e.what();
        text += "）。";
    } catch (...) {
        text += "中にエラーが起きました。";
    }
    return text;
}

bool PrepareFailureMessage(std::string& message, std::string_view work) noexcept {
    try {
        message.reserve(std::max(kPreparedRoom, work.size() + kOutOfMemory.size()));
    } catch (...) {
        message.clear();
        return false;
    }
    WriteOutOfMemory(message, work);
    return true;
}

void WriteTaskFailure(std::string& message, std::string_view work,
                      std::exception_ptr error) noexcept {
    try {
        std::string described = DescribeTaskFailure(work, std::move(error));
        if (described.size() <= message.capacity()) {
            message.assign(described);
        } else {
            message = std::move(described);
        }
    } catch (...) {
        WriteOutOfMemory(message, work);
    }
}

}  // namespace lomi
