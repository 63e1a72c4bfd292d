#include "ui/HistoryLoader.h"

#include "engine/FileError.h"
#include "ui/NewestResult.h"

#include <QThreadPool>

#include <system_error>

namespace foldwise {

HistoryLoader::HistoryLoader(QObject* parent)
    : QObject(parent),
      newest_(std::make_shared<NewestResult<Result>>(this, [this](const Result& result) { emit loaded(result); })) {}

HistoryLoader::~HistoryLoader() {
    newest_->close();
}

void HistoryLoader::load() {
    const std::uint64_t load = newest_->next();
    QThreadPool::globalInstance()->start([newest = newest_, load] {
        Result result;
        std::error_code ignored;
        try {
            if (std::filesystem::exists(History::defaultFile(), ignored)) { // none is made just to be read
                result.runs = History().runs(kMostRuns);
            }
        } catch (const FileError& error) {
            result.failure = QString::fromStdString(error.localizedDescription());
        }
        NewestResult<Result>::post(newest, load, std::move(result));
    });
}

} // namespace foldwise
