#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reading the options of the nivra-cli commands that take named values.
namespace nivra::cli {

// "--name VALUE" or "--name=VALUE" at args[i]; moves i past the value. Nothing when args[i] is
// not that option; problem is set when the value is missing.
std::optional<std::string> takeOption(const std::vector<std::string>& args, std::size_t& i,
                                      const std::string& name, std::string& problem);

// A run id or other whole number: digits only, at most 18 of them.
std::optional<std::int64_t> parseId(const std::string& text);

// Counter numbers as nivra-cli run takes them: 1 to 255.
std::optional<int> parseCounter(const std::string& text);

} // namespace nivra::cli
