#ifndef CORDSHIFT_CLI_WINDOWS_CONSOLE_H_
#define CORDSHIFT_CLI_WINDOWS_CONSOLE_H_

// The Windows side of the command line's boundary: arguments arrive as
// UTF-16 and the output is UTF-8, whatever the ANSI code page of the system.

#ifdef _WIN32

#include <string>
#include <string_view>
#include <vector>

namespace cordshift {

// The program's arguments as UTF-8 texts, in order.
std::vector<std::string> Utf8Arguments(int argc, const wchar_t* const* argv);

// Makes standard output and standard error carry UTF-8 bytes unchanged:
// no LF to CR LF translation on a pipe or file, and a console that shows
// them as UTF-8 until the object is destroyed, when the console's code page
// is restored for the programs that use it afterwards.
class Utf8Output {
 public:
  Utf8Output();
  ~Utf8Output();
  Utf8Output(const Utf8Output&) = delete;
  Utf8Output& operator=(const Utf8Output&) = delete;

 private:
  unsigned int console_code_page_ = 0;  // 0: not changed
};

}  // namespace cordshift

#endif  // _WIN32

#endif  // CORDSHIFT_CLI_WINDOWS_CONSOLE_H_
