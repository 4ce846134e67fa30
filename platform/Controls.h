#pragma once

#include <QFrame>
#include <QLabel>
#include <QPixmap>

#include <string>

#include "platform/Twips.h"

namespace vyk {

// A frame without caption: an etched box that holds other controls, placed
// in twips.
class Frame : public QFrame {
    Q_OBJECT
public:
    explicit Frame(QWidget* parent = nullptr);

    TwipsPlacement& Placement() { return placement_; }
    const TwipsPlacement& Placement() const { return placement_; }

private:
    TwipsPlacement placement_;
};

// A label whose caption is bytes (Latin-1). An "&" marks the access key:
// it is underlined and its key gives the focus to the buddy, as Qt labels do;
// "&&" shows one ampersand. The label keeps the width it is given (it does
// not size itself to its caption), so it can be centred by its width.
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(const std::string& caption, QWidget* parent = nullptr);

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    TwipsPlacement& Placement() { return placement_; }
    const TwipsPlacement& Placement() const { return placement_; }

private:
    std::string caption_;
    TwipsPlacement placement_;
};

// An image box: shows its picture stretched to the box.
class Image : public QLabel {
    Q_OBJECT
public:
    explicit Image(QWidget* parent = nullptr);

    QPixmap Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);

    TwipsPlacement& Placement() { return placement_; }
    const TwipsPlacement& Placement() const { return placement_; }

private:
    QPixmap picture_;
    TwipsPlacement placement_;
};

}  // namespace vyk
