#include "bench/BareDiscovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#include <utility>
#include <vector>

namespace bench {

int BareHidrawSearch(const std::string& sysRoot, const std::string& devRoot) {
    // The device paths, as the search lists them before opening any.
    std::vector<std::string> paths;
    DIR* listing = ::opendir((sysRoot + "/class/hidraw").c_str());
    if (listing == nullptr)
        return 0;
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strncmp(entry->d_name, "hidraw", 6) != 0)
            continue;
        std::string path = devRoot;
        path += '/';
        path += entry->d_name;
        paths.push_back(std::move(path));
    }
    ::closedir(listing);

    // As the search opens them: read and write, inheritable, then the attributes.
    int opened = 0;
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDWR);
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
