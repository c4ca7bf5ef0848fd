#pragma once

#include "base/outcome.h"

namespace nivra {

// The outcome of a write to the run history. The history never throws; its callers decide how
// to tell the operator.
using StorageResult = Outcome;

} // namespace nivra
