#pragma once

#include <string>

namespace nivra::sim {

// A symbolic link published under a path the user names, pointing at a device; removed again
// when the object goes, unless somebody has replaced it meanwhile.
class PublishedLink {
public:
    // Replaces a stale symbolic link at linkPath, but never any other kind of file. Throws
    // std::system_error on failure.
    PublishedLink(std::string linkPath, std::string target);
    ~PublishedLink();
    PublishedLink(const PublishedLink&) = delete;
    PublishedLink& operator=(const PublishedLink&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string target_;
};

} // namespace nivra::sim
