// The few services of the operating system that the command line needs,
// kept apart so that everything else stays portable.
#pragma once

#include <filesystem>
#include <string>

namespace quellmar::convert {

// Makes the console show the program's 8-bit texts as they are meant: on
// Windows the console's output code page becomes the ANSI one, which the
// export's texts are written in.
void PrepareConsole();

// Hands the document to the desktop's default application and returns at
// once, without waiting for it; false, with the reason, when it cannot be
// handed over.
bool OpenWithDesktop(const std::filesystem::path& document, std::string& reason);

}  // namespace quellmar::convert
