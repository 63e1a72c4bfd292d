#pragma once

#include <QByteArray>
#include <QObject>

#include <optional>

namespace foldwise {

// The three preference entries, kept in QSettings (organisation and application "Foldwise").
// Every write is persisted at once. One instance is shared by every window; `changed` tells
// every view that reads an entry to read it again.
class Preferences : public QObject {
    Q_OBJECT

public:
    static Preferences& shared();

    std::optional<QByteArray> inputFolderBookmark() const;  // absent when never stored
    std::optional<QByteArray> outputFolderBookmark() const; // absent when never stored
    bool useSmartCategories() const;                        // true when never stored

    void setInputFolderBookmark(const QByteArray& bookmark);
    void setOutputFolderBookmark(const QByteArray& bookmark);
    void setUseSmartCategories(bool useSmartCategories);

signals:
    void changed();

private:
    Preferences() = default;
};

} // namespace foldwise
