#pragma once

#include "engine/Plan.h"
#include "engine/RunOptions.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <optional>

class QFileSystemWatcher;

namespace foldwise {

template <typename Result> class NewestResult;

// Works out, on a pool thread, what Sort would do with two folders now (the engine's previewSort), and
// watches the input folder so that its owner hears when the plan may have changed: once the folder has
// been quiet for a short settle, never by polling. The newest load alone is delivered, and nothing
// after the loader is gone.
class PlanLoader : public QObject {
    Q_OBJECT

public:
    struct Request {
        std::filesystem::path input;
        std::filesystem::path output;
        bool useSmartCategories = true;
        OnNameTaken onNameTaken = OnNameTaken::Leave;
    };
    // A plan, or why none could be made.
    struct Result {
        std::shared_ptr<const Plan> plan;
        QString failure;
    };

    explicit PlanLoader(QObject* parent = nullptr);
    ~PlanLoader() override;

    // Starts working out the plan for `request`, and watches its input folder from now on.
    void load(const Request& request);
    // Drops the load under way and stops watching.
    void forget();

    static constexpr int kSettleMs = 300;

signals:
    void loaded(const foldwise::PlanLoader::Result& result);
    // The input folder changed and has been quiet for the settle time since.
    void inputChanged();

private:
    void watch(const std::filesystem::path& folder);

    std::shared_ptr<NewestResult<Result>> newest_;
    QFileSystemWatcher* watcher_;
    QTimer settle_;
    std::optional<std::filesystem::path> watched_;
};

} // namespace foldwise
