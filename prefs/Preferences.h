#pragma once

#include "engine/RunOptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

namespace foldwise {

// The preference entries, kept in QSettings (organisation and application "Foldwise", so
// ~/.config/Foldwise/Foldwise.conf). Every write is persisted at once. One instance is shared by
// every window; `changed` tells every view that reads an entry to read it again.
class Preferences : public QObject {
    Q_OBJECT

public:
    static Preferences& shared();

    std::optional<QByteArray> inputFolderBookmark() const;  // absent when never stored
    std::optional<QByteArray> outputFolderBookmark() const; // absent when never stored
    bool useSmartCategories() const;                        // true when never stored
    // Stored as "leave" or "keepBoth"; Leave when never stored or stored as anything else.
    OnNameTaken onNameTaken() const;

    // Each returns whether the value reached the disk. When it did not, the entry keeps its
    // previous value (or stays absent) and `changed` is not emitted.
    bool setInputFolderBookmark(const QByteArray& bookmark);
    bool setOutputFolderBookmark(const QByteArray& bookmark);
    bool setUseSmartCategories(bool useSmartCategories);
    bool setOnNameTaken(OnNameTaken onNameTaken);

    QString fileName() const; // where the entries are kept, for messages

signals:
    void changed();

private:
    Preferences() = default;

    bool write(const QString& key, const QVariant& value);
};

} // namespace foldwise
