#include "platform/Twips.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace vyk {

namespace {

// Far beyond any screen; keeps a wild layout value from overflowing an int.
constexpr double MaxPixels = 1'000'000.0;

}  // namespace

int TwipsToPixels(double twips) {
    if (!std::isfinite(twips)) return 0;
    const double pixels = std::clamp(twips / TwipsPerPixel, -MaxPixels, MaxPixels);
    return static_cast<int>(std::lround(pixels));
}

double PixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }

TwipsPlacement::TwipsPlacement(QWidget* widget) : widget_(widget) {}

void TwipsPlacement::SetLeft(double twips) {
    left_ = twips;
    apply();
}

void TwipsPlacement::SetTop(double twips) {
    top_ = twips;
    apply();
}

void TwipsPlacement::SetWidth(double twips) {
    width_ = twips;
    apply();
}

void TwipsPlacement::SetHeight(double twips) {
    height_ = twips;
    apply();
}

void TwipsPlacement::Set(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    apply();
}

void TwipsPlacement::apply() {
    if (widget_ == nullptr) return;
    // A small window makes the layout compute negative sizes; such a control
    // simply vanishes until the window grows again.
    widget_->setGeometry(TwipsToPixels(left_), TwipsToPixels(top_),
                         std::max(0, TwipsToPixels(width_)),
                         std::max(0, TwipsToPixels(height_)));
}

}  // namespace vyk
