#pragma once

#include "engine/History.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace foldwise {

template <typename Result> class NewestResult;

// Reads the runs of the history of sorts, newest first, on a pool thread, and hands the newest read's
// runs to its owner, never after the loader is gone.
class HistoryLoader : public QObject {
    Q_OBJECT

public:
    struct Result {
        std::vector<History::Run> runs;
        QString failure; // why the history could not be read
    };

    explicit HistoryLoader(QObject* parent = nullptr);
    ~HistoryLoader() override;

    void load();

    static constexpr std::int64_t kMostRuns = 1000;

signals:
    void loaded(const foldwise::HistoryLoader::Result& result);

private:
    std::shared_ptr<NewestResult<Result>> newest_;
};

} // namespace foldwise
