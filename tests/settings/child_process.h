#pragma once

#include <functional>
#include <string>

namespace lomi::test {

// Runs work in a forked child and returns the text it produced. When the
// tests run as root the child first becomes the unprivileged user nobody,
// so that read-only files and folders refuse it as they refuse any user.
// Fails the calling test when the child does not end normally.
std::string RunAsUnprivilegedChild(const std::function<std::string()>& work);

// Lets the unprivileged child create files in folder.
void OpenFolderToEveryone(const std::string& folder);

}  // namespace lomi::test
