// Where the running program lives, which decides its program directory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quellmar {

// The folder of the running executable as the system reports it (long
// paths included); when the system cannot tell, the folder of argv0 made
// absolute.
std::filesystem::path ExecutableFolder(const char* argv0);

// The program's name and its arguments as UTF-8. On Windows they are read
// from the system's wide command line, so that a name outside the ANSI code
// page arrives whole; elsewhere they are argv's bytes.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace quellmar
