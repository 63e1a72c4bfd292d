#pragma once

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace foldwise {

// Hands the result of the newest of several loads, made on other threads, to a receiver on its own
// thread. Each load takes a number; a result is delivered only while its load is the newest and the
// receiver is there, so an older, slower load never replaces a newer one and a closed screen hears
// nothing. Shared by the owner and every load it started.
template <typename Result> class NewestResult {
public:
    using Handler = std::function<void(Result)>;

    NewestResult(QObject* receiver, Handler onResult) : receiver_(receiver), onResult_(std::move(onResult)) {}

    // Starts a load: every one before it is stale from now on.
    std::uint64_t next() {
        QMutexLocker lock(&mutex_);
        return ++newest_;
    }

    // Called on the load's thread.
    static void post(const std::shared_ptr<NewestResult>& self, std::uint64_t load, Result result) {
        QMutexLocker lock(&self->mutex_);
        if (self->receiver_ == nullptr || load != self->newest_) {
            return;
        }
        QMetaObject::invokeMethod(
            self->receiver_,
            [self, load, result = std::move(result)]() mutable {
                if (self->isCurrent(load)) { // no newer load started while this waited in the queue
                    self->onResult_(std::move(result));
                }
            },
            Qt::QueuedConnection);
    }

    // No result is delivered from now on; the receiver may go.
    void close() {
        QMutexLocker lock(&mutex_);
        receiver_ = nullptr;
    }

private:
    bool isCurrent(std::uint64_t load) {
        QMutexLocker lock(&mutex_);
        return receiver_ != nullptr && load == newest_;
    }

    QMutex mutex_;
    QObject* receiver_;
    Handler onResult_;
    std::uint64_t newest_ = 0;
};

} // namespace foldwise
