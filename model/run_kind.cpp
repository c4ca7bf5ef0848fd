#include "model/run_kind.h"

namespace nivra {

const char* RunKindName(RunKind kind) {
    switch (kind) {
    case RunKind::Background:
        return "background";
    case RunKind::Source:
        return "source";
    case RunKind::Sample:
        break;
    }
    return "sample";
}

std::optional<RunKind> ParseRunKind(std::string_view text) {
    for (RunKind kind : {RunKind::Sample, RunKind::Background, RunKind::Source})
        if (text == RunKindName(kind))
            return kind;
    return std::nullopt;
}

} // namespace nivra
