#include "cli/output_overlap.h"

#include "base/same_file.h"

namespace nivra::cli {

std::string outputOverlap(const std::vector<CommandFile>& inputs,
                          const std::vector<CommandFile>& outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const CommandFile& output = outputs[i];
        if (output.path.empty())
            continue;
        std::vector<const CommandFile*> others;
        for (const CommandFile& input : inputs)
            others.push_back(&input);
        for (std::size_t j = 0; j < i; ++j)
            others.push_back(&outputs[j]);
        for (const CommandFile* other : others)
            if (!other->path.empty() && isSameFile(output.path, other->path))
                return output.role + " '" + output.path + "' is the same file as " + other->role +
                       " '" + other->path + "'; nothing was written";
    }
    return {};
}

} // namespace nivra::cli
