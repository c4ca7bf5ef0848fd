#include "model/stats_show.h"

#include "base/profile_file.h"
#include "base/value_encoding.h"

void StatsShow::load(const std::string& path) {
    if (path.empty())
        return;
    CProfileFile file(path);
    for (std::size_t i = 0; i < nivra::kStatisticCount; ++i)
        flags_[i] = nivra::ParseBool(file.ReadString(nivra::kStatisticNames[i].key, kSection));
}

bool StatsShow::save(const std::string& path) const {
    if (path.empty())
        return false;
    CProfileFile file(path);
    bool ok = true;
    for (std::size_t i = 0; i < nivra::kStatisticCount; ++i)
        ok = file.WriteBool(flags_[i], nivra::kStatisticNames[i].key, kSection) != 0 && ok;
    return file.Flush() && ok;
}
