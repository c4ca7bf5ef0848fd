#pragma once

#include <QString>

// The string table.
namespace nivra::res {

// The string with the given number, or an empty string when there is none.
QString loadStringResource(int id);

} // namespace nivra::res
