#pragma once

#include <string>
#include <utility>

namespace nivra {

// The outcome of a write to the run history: empty error when it succeeded, the reason it
// failed otherwise. The history never throws; its callers decide how to tell the operator.
class StorageResult {
public:
    StorageResult() = default;
    static StorageResult Failure(std::string reason) {
        StorageResult result;
        result.error_ = reason.empty() ? std::string("unknown error") : std::move(reason);
        return result;
    }

    bool ok() const { return error_.empty(); }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return error_; }

private:
    std::string error_;
};

} // namespace nivra
