#pragma once

#include <optional>
#include <vector>

#include <QString>

namespace lomi::ui {

// The names of the folders directly in folder (the core's ListSubfolders).
std::optional<std::vector<QString>> ListSubfolders(const QString& folder);

}  // namespace lomi::ui
