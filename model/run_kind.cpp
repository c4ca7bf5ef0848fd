#include "model/run_kind.h"

namespace nivra {

const char* runKindName(RunKind kind) {
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

std::optional<RunKind> parseRunKind(std::string_view text) {
    for (RunKind kind : {RunKind::Sample, RunKind::Background, RunKind::Source})
        if (text == runKindName(kind))
            return kind;
    return std::nullopt;
}

} // namespace nivra
