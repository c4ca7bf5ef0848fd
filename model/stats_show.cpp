#include "model/stats_show.h"

#include "base/profile_file.h"
#include "base/value_encoding.h"

namespace nivra {

void StatsShow::load(const std::string& path) {
    if (path.empty())
        return;
    ProfileFile file(path);
    for (std::size_t i = 0; i < nivra::kStatisticCount; ++i)
        flags_[i] = nivra::parseBool(file.readString(nivra::kStatisticNames[i].key, kSection));
}

bool StatsShow::save(const std::string& path) const {
    if (path.empty())
        return false;
    ProfileFile file(path);
    bool ok = true;
    for (std::size_t i = 0; i < nivra::kStatisticCount; ++i)
        ok = file.writeBool(flags_[i], nivra::kStatisticNames[i].key, kSection) != 0 && ok;
    return file.flush() && ok;
}

} // namespace nivra
