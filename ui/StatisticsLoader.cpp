#include "ui/StatisticsLoader.h"

#include "engine/Descriptor.h"
#include "stats/FileAnalyzer.h"

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QThreadPool>

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace foldwise {

namespace {

// Why `folder` cannot be opened for reading, or nothing when it can.
QString whyUnavailable(const std::filesystem::path& folder) {
    if (Descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)).isOpen()) {
        return {};
    }
    return QString::fromStdString(std::generic_category().message(errno));
}

// The analysis of `folder`, or why there is none. Nothing thrown leaves a pool thread, where it would end
// the process: a failed analysis leaves the folder unavailable, with what went wrong.
StatisticsLoader::Result
analysed(const std::filesystem::path& folder,
         const std::function<FileStatistics(const std::filesystem::path&, std::stop_token)>& analysis,
         const std::stop_token& stop) {
    StatisticsLoader::Result result;
    try {
        result.unavailableReason = whyUnavailable(folder);
        if (result.unavailableReason.isEmpty()) {
            result.statistics = analysis(folder, stop);
        }
    } catch (const std::exception& error) {
        result.statistics.reset();
        result.unavailableReason = QString::fromUtf8(error.what());
        if (result.unavailableReason.endsWith(QLatin1Char('.'))) {
            result.unavailableReason.chop(1); // the screen ends the sentence
        }
    } catch (...) {
        result.statistics.reset();
        result.unavailableReason = QStringLiteral("Unknown error");
    }
    return result;
}

} // namespace

// Shared by the loader and every analysis it started. Posting a result and closing the mailbox
// exclude each other, so no result is posted to a receiver that is being destroyed; a result
// posted earlier but not yet delivered is discarded by Qt together with the receiver.
class StatisticsLoader::Mailbox {
public:
    Mailbox(QObject* receiver, ResultHandler onResult) : receiver_(receiver), onResult_(std::move(onResult)) {}

    std::uint64_t nextLoad() {
        QMutexLocker lock(&mutex_);
        return ++newest_;
    }

    static void post(const std::shared_ptr<Mailbox>& mailbox, std::uint64_t load, Result result) {
        QMutexLocker lock(&mailbox->mutex_);
        if (mailbox->receiver_ == nullptr || load != mailbox->newest_) {
            return; // a newer load has started: this result is stale
        }
        QMetaObject::invokeMethod(
            mailbox->receiver_,
            [mailbox, load, result = std::move(result)]() mutable {
                if (mailbox->isCurrent(load)) { // no newer load started while this waited in the queue
                    mailbox->onResult_(std::move(result));
                }
            },
            Qt::QueuedConnection);
    }

    bool isCurrent(std::uint64_t load) {
        QMutexLocker lock(&mutex_);
        return receiver_ != nullptr && load == newest_;
    }

    void close() {
        QMutexLocker lock(&mutex_);
        receiver_ = nullptr;
    }

private:
    QMutex mutex_;
    QObject* receiver_;
    ResultHandler onResult_;
    std::uint64_t newest_ = 0;
};

StatisticsLoader::StatisticsLoader(QObject* receiver, ResultHandler onResult)
    : mailbox_(std::make_shared<Mailbox>(receiver, std::move(onResult))),
      analysis_([](const std::filesystem::path& folder, std::stop_token stop) {
          return FileAnalyzer::analyzeFolder(folder, std::move(stop), FileAnalyzer::Sizes::Added);
      }) {}

StatisticsLoader::~StatisticsLoader() {
    stop_.request_stop();
    mailbox_->close();
}

void StatisticsLoader::setAnalysis(Analysis analysis) {
    analysis_ = [analysis = std::move(analysis)](const std::filesystem::path& folder, std::stop_token) {
        return analysis(folder);
    };
}

void StatisticsLoader::start(const std::filesystem::path& folder) {
    stop_.request_stop();
    stop_ = std::stop_source();
    const std::uint64_t load = mailbox_->nextLoad();
    QThreadPool::globalInstance()->start(
        [mailbox = mailbox_, analysis = analysis_, folder, load, stop = stop_.get_token()] {
            Result result = analysed(folder, analysis, stop);
            if (!stop.stop_requested()) {
                Mailbox::post(mailbox, load, std::move(result));
            }
        });
}

} // namespace foldwise
