// A sysfs and /dev tree of many USB hidraw nodes in a temp folder, linked as the kernel links
// them, for timing the hidraw backend's discovery without the machine's own devices. The folder
// is on tmpfs (/dev/shm) where there is one: sysfs lives in memory too, and opening files on a
// disk's file system costs far more than opening its nodes.
#pragma once

#include <filesystem>
#include <string>

namespace bench {

class SysfsTree {
  public:
    explicit SysfsTree(int nodes);
    ~SysfsTree();
    SysfsTree(const SysfsTree&) = delete;
    SysfsTree& operator=(const SysfsTree&) = delete;

    std::string SysRoot() const { return (root_ / "sys").string(); }
    std::string DevRoot() const { return (root_ / "dev").string(); }

  private:
    void AddNode(int node);

    std::filesystem::path root_;
};

}  // namespace bench
