#include "bench/BareDiscovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace bench {

int BareHidrawSearch(const std::string& sysRoot, const std::string& devRoot) {
    std::vector<std::string> nodes;
    DIR* listing = ::opendir((sysRoot + "/class/hidraw").c_str());
    if (listing == nullptr)
        return 0;
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strncmp(entry->d_name, "hidraw", 6) == 0)
            nodes.emplace_back(entry->d_name);
    }
    ::closedir(listing);

    // As the search opens them: read and write, inheritable, then the attributes.
    int opened = 0;
    for (const std::string& node : nodes) {
        const int fd = ::open((devRoot + "/" + node).c_str(), O_RDWR);
        if (fd < 0)
            continue;
        ++opened;
        hidraw_devinfo info{};
        ::ioctl(fd, HIDIOCGRAWINFO, &info);
        ::close(fd);
    }
    return opened;
}

}  // namespace bench
