// Where the running program lives, which decides its program directory.
#pragma once

#include <filesystem>

namespace quellmar {

// The folder of the running executable as the system reports it (long
// paths included); when the system cannot tell, the folder of argv0 made
// absolute.
std::filesystem::path ExecutableFolder(const char* argv0);

}  // namespace quellmar
