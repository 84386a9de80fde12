// A fresh temp folder the bench's programs keep their settings in, removed afterwards: the user's
// own (a chart they folded away, say) would change what the bench measures.
#pragma once

#include <filesystem>

namespace bench {

class OwnSettingsFolder {
  public:
    // Points this process's settings folders, and those of the programs it starts, at it.
    OwnSettingsFolder();
    ~OwnSettingsFolder();
    OwnSettingsFolder(const OwnSettingsFolder&) = delete;
    OwnSettingsFolder& operator=(const OwnSettingsFolder&) = delete;

  private:
    std::filesystem::path directory_;
};

}  // namespace bench
