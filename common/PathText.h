// Paths as the programs show and name them.
#pragma once

#include <string>

namespace common {

// The last part of a path, after its last '/' or '\'.
std::string BaseName(const std::string& path);

// The path with every separator the platform's own: on Windows '/' becomes '\' (a folder from
// the environment joined with a name by '/' read "Z:\tmp\x/y.bin"); elsewhere it is unchanged.
std::string ShownPath(const std::string& path);
// The same, for the separator given.
std::string WithSeparator(const std::string& path, char separator);

}  // namespace common
