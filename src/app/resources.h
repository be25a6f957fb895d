#pragma once

namespace lomi {

// Registers the program's pictures (":/open_folder.png", ":/window_icon.png").
// They live in a static library, whose resource initialiser the linker
// would otherwise drop. Safe to call more than once.
void InitResources();

}  // namespace lomi
