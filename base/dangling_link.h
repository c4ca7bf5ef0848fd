#pragma once

#include <string>

namespace nivra {

// Whether path is a symbolic link that leads to nothing: its target is missing, or the links
// go round in a circle. Creating a file through such a link would create it wherever the link
// points, somewhere the operator does not look; such a name is refused instead.
bool isDanglingLink(const std::string& path);

} // namespace nivra
