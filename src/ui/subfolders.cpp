#include "ui/subfolders.h"

#include "data/subfolders.h"
#include "ui/text.h"

namespace lomi::ui {

std::optional<std::vector<QString>> ListSubfolders(const QString& folder) {
    const auto names = lomi::ListSubfolders(ToUtf8(folder));
    if (!names) return std::nullopt;
    std::vector<QString> result;
    result.reserve(names->size());
    for (const std::string& name : *names) result.push_back(FromUtf8(name));
    return result;
}

}  // namespace lomi::ui
