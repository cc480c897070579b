// The few services of the operating system that the command line needs,
// kept apart so that everything else stays portable.
#pragma once

#include <filesystem>
#include <string>

namespace quellmar::convert {

// Makes the console show the program's texts as they are meant. On Windows
// standard output and error write wide text to a console, whatever its code
// page, and UTF-8 to a file or a pipe.
void PrepareConsole();

// Hands the document to the desktop's default application and returns at
// once, without waiting for it; false, with the reason, when it cannot be
// handed over.
bool OpenWithDesktop(const std::filesystem::path& document, std::string& reason);

}  // namespace quellmar::convert
