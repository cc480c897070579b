// Files that a file manager does not show, and that the program leaves alone
// when it empties a folder: on every system a name that starts with "."; on
// Windows also a file with the hidden attribute, such as the Thumbs.db and
// desktop.ini that Explorer puts into folders by itself.
#pragma once

#include <filesystem>

namespace quellmar {

bool IsHiddenFile(const std::filesystem::path& path);

}  // namespace quellmar
