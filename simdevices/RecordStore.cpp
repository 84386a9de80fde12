#include "simdevices/RecordStore.h"

#include <cstdio>

#include "simdevices/Crc32.h"

namespace simdevices {

bool RecordStore::Take(const std::uint8_t* report) {
    if (refused_.contains(++dataReports_))
        return false;
    received_.insert(received_.end(), report + 1, report + 1 + kRecordBytes);
    return true;
}

void RecordStore::Clear() {
    received_.clear();
    dataReports_ = 0;
}

std::string RecordStore::Summary(const char* who) const {
    char line[160];
    std::snprintf(line, sizeof line, "%s: received %zu records (%zu bytes), crc32 %08x", who,
                  Records(), received_.size(),
                  static_cast<unsigned>(Crc32(received_.data(), received_.size())));
    return line;
}

}  // namespace simdevices
