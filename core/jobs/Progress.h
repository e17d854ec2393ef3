#pragma once

#include "core/jobs/UiThread.h"

#include <functional>
#include <memory>
#include <mutex>
#include <utility>

namespace rm {

// How far a job has come, as a value: the job's threads change it, the face
// reads it on its own thread. At most one notice waits on the face's thread
// at a time, so a fast job costs the face one refresh per turn of its loop,
// however many changes it made meanwhile. Made and destroyed on the face's
// thread; once it is gone, notices still waiting do nothing.
template <class Value>
class Progress {
public:
    using Observer = std::function<void(const Value&)>;

    // Nobody watches: changes are only kept.
    Progress() : shared_(std::make_shared<Shared>()) {}
    Progress(UiThread& face, Observer observer) : shared_(std::make_shared<Shared>()), face_(&face)
    {
        shared_->observer = std::move(observer);
    }
    ~Progress()
    {
        std::lock_guard lock(shared_->mutex);
        shared_->observer = nullptr;
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // From any thread: `change(value)` under the lock, then a notice unless
    // one is waiting.
    template <class Change>
    void update(Change&& change)
    {
        std::lock_guard lock(shared_->mutex);
        change(shared_->value);
        if (!face_ || shared_->noticeWaiting || !shared_->observer)
            return;
        shared_->noticeWaiting = true;
        face_->post([shared = shared_] {
            Value now;
            Observer observer;
            {
                std::lock_guard lock(shared->mutex);
                shared->noticeWaiting = false;
                now = shared->value;
                observer = shared->observer;
            }
            if (observer)
                observer(now);
        });
    }

    Value value() const
    {
        std::lock_guard lock(shared_->mutex);
        return shared_->value;
    }

private:
    struct Shared {
        std::mutex mutex;
        Value value{};
        bool noticeWaiting = false;
        Observer observer;
    };
    std::shared_ptr<Shared> shared_;
    UiThread* face_ = nullptr;
};

} // namespace rm
