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

// A decimal number, all of the text, in any locale ("0.05", "1e-3"); nothing for anything else,
// infinities and NaN included.
std::optional<double> parseDecimal(const std::string& text);

// The customer's class limit of --class-limit: a rate of 0 or more in 1/(cm2 h), 0 meaning none.
// Returns why text is none ("bad number 'x' for --class-limit", ...), or "" with limit set.
std::string readClassLimit(const std::string& text, double& limit);

// A number option, "--name VALUE" or "--name=VALUE", at args[i] into value (checked no further).
// Nothing when args[i] is not that option, else the problem or "".
std::optional<std::string> takeNumber(const std::vector<std::string>& args, std::size_t& i,
                                      const std::string& name, double& value);

// "--class-limit L" at args[i] into limit (see readClassLimit). Nothing when args[i] is not that
// option, else the problem or "".
std::optional<std::string> takeClassLimit(const std::vector<std::string>& args, std::size_t& i,
                                          std::optional<double>& limit);

} // namespace nivra::cli
