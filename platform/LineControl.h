#pragma once

#include <QColor>
#include <QWidget>

namespace vyk {

// A one-pixel line between two points given in twips in its parent's
// coordinates.
class LineControl : public QWidget {
    Q_OBJECT
public:
    LineControl(QColor color, QWidget* parent = nullptr);

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    void SetX1(double twips);
    void SetY1(double twips);
    void SetX2(double twips);
    void SetY2(double twips);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void apply();

    QColor color_;
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

}  // namespace vyk
