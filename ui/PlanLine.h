#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace foldwise {

// One line saying what Sort would do now, shortened at its end to fit the window (the whole of it in
// the tooltip), with a "Details" button beside it.
class PlanLine : public QWidget {
    Q_OBJECT

public:
    explicit PlanLine(QWidget* parent = nullptr);

    void setFullText(const QString& text, bool hasDetails);
    QString fullText() const { return fullText_; }

signals:
    void detailsRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QLabel* text_;
    QPushButton* details_;
    QString fullText_;
};

} // namespace foldwise
