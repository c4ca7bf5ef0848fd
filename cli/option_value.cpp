#include "cli/option_value.h"

#include <charconv>
#include <cmath>

namespace nivra::cli {

std::optional<std::string> takeOption(const std::vector<std::string>& args, std::size_t& i,
                                      const std::string& name, std::string& problem) {
    const std::string& arg = args[i];
    if (arg.rfind(name + "=", 0) == 0)
        return arg.substr(name.size() + 1);
    if (arg != name)
        return std::nullopt;
    if (i + 1 == args.size()) {
        problem = name + " needs a value";
        return std::string();
    }
    return args[++i];
}

std::optional<std::int64_t> parseId(const std::string& text) {
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(text);
}

std::optional<int> parseCounter(const std::string& text) {
    auto number = parseId(text);
    if (!number || *number < 1 || *number > 255)
        return std::nullopt;
    return static_cast<int>(*number);
}

std::optional<double> parseDecimal(const std::string& text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string readClassLimit(const std::string& text, double& limit) {
    const std::optional<double> value = parseDecimal(text);
    if (!value)
        return "bad number '" + text + "' for --class-limit";
    if (*value < 0.0)
        return "--class-limit must be a rate of 0 or more, 1/(cm2 h)";
    limit = *value;
    return {};
}

std::optional<std::string> takeNumber(const std::vector<std::string>& args, std::size_t& i,
                                      const std::string& name, double& value) {
    std::string problem;
    const std::optional<std::string> text = takeOption(args, i, name, problem);
    if (!text)
        return std::nullopt;
    if (!problem.empty())
        return name + " needs a number";
    const std::optional<double> number = parseDecimal(*text);
    if (!number)
        return "bad number '" + *text + "' for " + name;
    value = *number;
    return std::string{};
}

std::optional<std::string> takeClassLimit(const std::vector<std::string>& args, std::size_t& i,
                                          std::optional<double>& limit) {
    std::string problem;
    const std::optional<std::string> text = takeOption(args, i, "--class-limit", problem);
    if (!text)
        return std::nullopt;
    if (!problem.empty())
        return std::string("--class-limit needs a number");
    double number = 0.0;
    if (problem = readClassLimit(*text, number); problem.empty())
        limit = number;
    return problem;
}

} // namespace nivra::cli
