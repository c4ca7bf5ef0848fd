#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <utility>

namespace nivra::ui {

// Runs a function once on the next pass of the event loop, however often it is asked for until
// then, so that a burst of requests (a run's report and a slot switch in one pass) costs one
// refresh. A direct call of the function meanwhile calls done(), which drops the pending one.
class CoalescedCall {
public:
    CoalescedCall(QObject* context, std::function<void()> call)
        : context_(context), call_(std::move(call)) {}

    void schedule() {
        if (pending_)
            return;
        pending_ = true;
        QTimer::singleShot(0, context_, [this] {
            if (pending_)
                call_();
        });
    }
    void done() { pending_ = false; }

private:
    QObject* context_;
    std::function<void()> call_;
    bool pending_ = false;
};

} // namespace nivra::ui
