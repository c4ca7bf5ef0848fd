#pragma once

#include <string_view>

namespace nivra::cli {

// Writes bytes to standard output exactly as they are, for the content of a file printed for
// redirection (a port list with its CR LF line ends); on Windows the text mode of standard output
// would put a CR before every LF. True when all of it was written.
bool writeRawToStdout(std::string_view bytes);

} // namespace nivra::cli
