#include "cli/option_value.h"

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

} // namespace nivra::cli
