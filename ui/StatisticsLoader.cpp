#include "ui/StatisticsLoader.h"

#include "stats/FileAnalyzer.h"

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QThreadPool>

#include <utility>

namespace foldwise {

// Shared by the loader and every analysis it started. Posting a result and closing the mailbox
// exclude each other, so no result is posted to a receiver that is being destroyed; a result
// posted earlier but not yet delivered is discarded by Qt together with the receiver.
class StatisticsLoader::Mailbox {
public:
    Mailbox(QObject* receiver, ResultHandler onResult) : receiver_(receiver), onResult_(std::move(onResult)) {}

    void post(FileStatistics result) {
        QMutexLocker lock(&mutex_);
        if (receiver_ == nullptr) {
            return;
        }
        QMetaObject::invokeMethod(
            receiver_, [onResult = onResult_, result = std::move(result)]() mutable { onResult(std::move(result)); },
            Qt::QueuedConnection);
    }

    void close() {
        QMutexLocker lock(&mutex_);
        receiver_ = nullptr;
    }

private:
    QMutex mutex_;
    QObject* receiver_;
    ResultHandler onResult_;
};

StatisticsLoader::StatisticsLoader(QObject* receiver, ResultHandler onResult)
    : mailbox_(std::make_shared<Mailbox>(receiver, std::move(onResult))), analysis_([](const std::filesystem::path& folder) { return FileAnalyzer::analyzeFolder(folder); }) {}

StatisticsLoader::~StatisticsLoader() {
    mailbox_->close();
}

void StatisticsLoader::setAnalysis(Analysis analysis) {
    analysis_ = std::move(analysis);
}

void StatisticsLoader::start(const std::filesystem::path& folder) {
    QThreadPool::globalInstance()->start(
        [mailbox = mailbox_, analysis = analysis_, folder] { mailbox->post(analysis(folder)); });
}

} // namespace foldwise
