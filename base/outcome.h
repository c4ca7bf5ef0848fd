#pragma once

#include <string>
#include <utility>

namespace nivra {

// The outcome of an operation that can fail, such as writing a file: empty error when it
// succeeded, the reason it failed otherwise. Callers decide how to tell the operator.
class Outcome {
public:
    Outcome() = default;
    static Outcome failure(std::string reason) {
        Outcome result;
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
