#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace foldwise {

// Stands where content would be when there is none: a large symbol, a title and a description, centred; the
// symbol and the description in the secondary colour.
class PlaceholderView : public QWidget {
    Q_OBJECT

public:
    explicit PlaceholderView(QWidget* parent = nullptr);

    // Shows the symbol of that name (see symbolIcon) above the two texts.
    void setContent(const QString& title, const QString& symbolName, const QString& description);

    QString title() const;
    QString symbolName() const { return symbolName_; }
    QString description() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void showSymbol();

    QLabel* icon_;
    QLabel* title_;
    QLabel* description_;
    QString symbolName_;
};

} // namespace foldwise
