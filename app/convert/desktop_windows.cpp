#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <iostream>
#include <streambuf>
#include <string>

#include "basic/path_text.h"
#include "desktop.h"

namespace quellmar::convert {
namespace {

// The length of text up to its last whole UTF-8 character.
std::size_t WholeCharacters(const std::string& text) {
  std::size_t start = text.size();  // of the last character
  while (start > 0 && text.size() - start < 3 &&
         (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
    --start;
  if (start == 0) return text.size();
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return text.size() - (start - 1) < length ? start - 1 : text.size();
}

// The program's UTF-8 texts written to a console as wide text, so that every
// letter shows whatever the console's code page. A line, or what a flush
// finds, goes out at once; a character cut by the buffer waits for its rest.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    pending_ += static_cast<char>(c);
    if (c == '\n') writeOut();
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    if (pending_.find('\n') != std::string::npos) writeOut();
    return count;
  }
  int sync() override {
    writeOut();
    return 0;
  }

 private:
  void writeOut() {
    const std::size_t whole = WholeCharacters(pending_);
    const std::wstring wide = PathFromUtf8(std::string_view(pending_).substr(0, whole)).native();
    DWORD written = 0;
    WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    pending_.erase(0, whole);
  }

  HANDLE console_;
  std::string pending_;
};

// A stream on a console writes wide text to it; on a file or a pipe it keeps
// the UTF-8 bytes.
void WriteWideToConsole(std::ostream& stream, DWORD which) {
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (!GetConsoleMode(handle, &mode)) return;
  // Never destroyed: the streams flush into it as the program ends.
  stream.rdbuf(new ConsoleBuffer(handle));
}

}  // namespace

void PrepareConsole() {
  WriteWideToConsole(std::cout, STD_OUTPUT_HANDLE);
  WriteWideToConsole(std::cerr, STD_ERROR_HANDLE);
}

// The shell opens the file with its default application and returns at once.
bool OpenWithDesktop(const std::filesystem::path& document, std::string& reason) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;  // the shell's sign of success
  reason = "the shell refused it (error " + std::to_string(result) + ")";
  return false;
}

}  // namespace quellmar::convert
