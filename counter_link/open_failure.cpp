#include "counter_link/open_failure.h"

namespace nivra {

const char* describeOpenFailure(OpenFailure failure) {
    switch (failure) {
    case OpenFailure::kNone:
        return "open";
    case OpenFailure::kNotFound:
        return "does not exist";
    case OpenFailure::kNoDevice:
        return "no device behind it";
    case OpenFailure::kPermissionDenied:
        return "permission denied";
    case OpenFailure::kNotATerminal:
        return "not a terminal";
    case OpenFailure::kBusy:
        return "busy (held by another program)";
    case OpenFailure::kSetupFailed:
        return "line settings could not be applied";
    case OpenFailure::kLockUnavailable:
        return "the shared port lock could not be opened";
    }
    return "unknown failure";
}

} // namespace nivra
