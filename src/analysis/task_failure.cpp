#include "analysis/task_failure.h"

#include <new>
#include <stdexcept>

namespace lomi {

std::string DescribeTaskFailure(std::string_view work, std::exception_ptr error) {
    std::string text(work);
    try {
        if (error) std::rethrow_exception(error);
        text += "中にエラーが起きました。";
    } catch (const std::bad_alloc&) {
        text += "中にメモリが足りなくなりました。";
    } catch (const std::exception& e) {
        text += "中にエラーが起きました（";
        text += e.what();
        text += "）。";
    } catch (...) {
        text += "中にエラーが起きました。";
    }
    return text;
}

}  // namespace lomi
