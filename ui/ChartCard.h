#pragma once

#include <QWidget>

class QVBoxLayout;

namespace foldwise {

// A rounded card in the palette's base colour that stacks its contents top to bottom.
class ChartCard : public QWidget {
    Q_OBJECT

public:
    explicit ChartCard(QWidget* parent = nullptr);

    void addWidget(QWidget* widget, Qt::Alignment alignment = {});
    // Puts `replacement` where `current` stands and deletes `current`.
    void replaceWidget(QWidget* current, QWidget* replacement);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* layout_;
};

} // namespace foldwise
