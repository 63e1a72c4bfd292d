#include "ui/PlanLoader.h"

#include "engine/FileError.h"
#include "engine/Organizer.h"
#include "ui/NewestResult.h"

#include <QFileSystemWatcher>
#include <QThreadPool>

namespace foldwise {

PlanLoader::PlanLoader(QObject* parent)
    : QObject(parent),
      newest_(std::make_shared<NewestResult<Result>>(this, [this](const Result& result) { emit loaded(result); })),
      watcher_(new QFileSystemWatcher(this)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, &settle_, qOverload<>(&QTimer::start));
    connect(&settle_, &QTimer::timeout, this, &PlanLoader::inputChanged);
}

PlanLoader::~PlanLoader() {
    newest_->close();
}

void PlanLoader::load(const Request& request) {
    watch(request.input);
    const std::uint64_t load = newest_->next();
    QThreadPool::globalInstance()->start([newest = newest_, load, request] {
        Result result;
        try {
            RunOptions options;
            options.onNameTaken = request.onNameTaken;
            result.plan = std::make_shared<const Plan>(
                previewSort(request.input, request.output, request.useSmartCategories, options));
        } catch (const FileError& error) {
            result.failure = QString::fromStdString(error.localizedDescription());
        }
        NewestResult<Result>::post(newest, load, std::move(result));
    });
}

void PlanLoader::forget() {
    newest_->next(); // whatever is under way is stale
    settle_.stop();
    if (watched_) {
        watcher_->removePath(QString::fromStdString(watched_->native()));
        watched_.reset();
    }
}

void PlanLoader::watch(const std::filesystem::path& folder) {
    if (watched_ == folder) {
        return;
    }
    forget();
    // A folder whose name is not UTF-8 cannot be watched through QString: its plan is then kept fresh by
    // the other changes alone.
    if (watcher_->addPath(QString::fromStdString(folder.native()))) {
        watched_ = folder;
    }
}

} // namespace foldwise
