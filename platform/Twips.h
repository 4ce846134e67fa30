#pragma once

class QWidget;

namespace vyk {

// The layout works in twips; the screen in pixels (96 dots per inch).
inline constexpr double TwipsPerPixel = 15.0;

int TwipsToPixels(double twips);   // rounded to the nearest pixel
double PixelsToTwips(int pixels);

// Position and size of a control in twips, kept exactly as written (the
// layout reads back fractional values such as 739.2) and applied to the
// widget in whole pixels. A negative width or height shows as zero.
class TwipsPlacement {
public:
    explicit TwipsPlacement(QWidget* widget);

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }

    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetHeight(double twips);
    void Set(double left, double top, double width, double height);

private:
    void apply();

    QWidget* widget_;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
};

}  // namespace vyk
