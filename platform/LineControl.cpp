#include "platform/LineControl.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

#include "platform/Twips.h"

namespace vyk {

LineControl::LineControl(QColor color, QWidget* parent) : QWidget(parent), color_(color) {
    // The line is decoration: clicks belong to whatever lies beneath it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    apply();
}

void LineControl::SetX1(double twips) {
    x1_ = twips;
    apply();
}

void LineControl::SetY1(double twips) {
    y1_ = twips;
    apply();
}

void LineControl::SetX2(double twips) {
    x2_ = twips;
    apply();
}

void LineControl::SetY2(double twips) {
    y2_ = twips;
    apply();
}

// The widget covers exactly the pixels of the line, so it hides nothing
// beside it.
void LineControl::apply() {
    const int px1 = TwipsToPixels(x1_), py1 = TwipsToPixels(y1_);
    const int px2 = TwipsToPixels(x2_), py2 = TwipsToPixels(y2_);
    setGeometry(std::min(px1, px2), std::min(py1, py2), std::abs(px2 - px1) + 1,
                std::abs(py2 - py1) + 1);
    update();
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(color_, 1));
    const int px1 = TwipsToPixels(x1_), py1 = TwipsToPixels(y1_);
    const int px2 = TwipsToPixels(x2_), py2 = TwipsToPixels(y2_);
    const QPoint origin(std::min(px1, px2), std::min(py1, py2));
    painter.drawLine(QPoint(px1, py1) - origin, QPoint(px2, py2) - origin);
}

}  // namespace vyk
