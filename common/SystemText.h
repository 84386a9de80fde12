// What the system hands the programs as text, in UTF-8 on every platform: environment values and
// the command line. On Windows both are read as UTF-16, never through the ANSI code page, which
// cannot hold most of the world's names.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace common {

// The variable's value; nothing when it is not set.
std::optional<std::string> EnvironmentText(const char* name);

// The program's arguments in UTF-8, argv[0] first, and a char* array over them for parsers that
// take argc and argv. On Windows from the UTF-16 command line; elsewhere argv as given.
class Utf8Arguments {
  public:
    Utf8Arguments(int argc, char** argv);
    int Count() const { return static_cast<int>(pointers_.size()) - 1; }
    char** Values() { return pointers_.data(); }

  private:
    std::vector<std::string> values_;
    std::vector<char*> pointers_;  // over values_, ending in null as argv does
};

#ifdef _WIN32
// UTF-8 to UTF-16 and back; bytes that are not UTF-8 become U+FFFD, lone surrogates too.
std::wstring Utf16(const std::string& utf8);
std::string Utf8(const std::wstring& utf16);
#endif

}  // namespace common
