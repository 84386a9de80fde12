// Whether the user folded a window's chart away, kept between runs in a small file of the user's
// configuration folder: the window opens as the user left it, on a small screen too.
#pragma once

#include <optional>
#include <string>

namespace ui {

// The file for `key` (program and chart): under %APPDATA% on Windows, $XDG_CONFIG_HOME or
// ~/.config elsewhere; empty when the user has no such folder.
std::string FoldMemoryPath(const std::string& key);
// Nothing when the user never folded or unfolded it (or the file cannot be read).
std::optional<bool> RecallFolded(const std::string& path);
// Best effort: a chart that cannot remember still folds.
void RememberFolded(const std::string& path, bool folded);

}  // namespace ui
