#pragma once

#include <optional>
#include <string_view>

namespace nivra {

// What a run measured, for the quality-control charts: a sample (the default), the counter's
// background, or its check source. Assay configurations carry it as the optional key "QA KIND".
enum class RunKind { Sample, Background, Source };

// "sample", "background", "source".
const char* runKindName(RunKind kind);

// The kind named by text (exactly one of the three names), or nothing.
std::optional<RunKind> parseRunKind(std::string_view text);

} // namespace nivra
