#include "common/PathText.h"

#include <algorithm>

namespace common {

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithSeparator(const std::string& path, char separator) {
    std::string shown = path;
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return c == '/' || c == '\\'; }, separator);
    return shown;
}

std::string ShownPath(const std::string& path) {
#ifdef _WIN32
    return WithSeparator(path, '\\');
#else
    return path;
#endif
}

}  // namespace common
