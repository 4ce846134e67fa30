#include "platform/Controls.h"

#include "platform/Latin1.h"

namespace vyk {

Frame::Frame(QWidget* parent) : QFrame(parent), placement_(this) {
    setFrameStyle(QFrame::Box | QFrame::Sunken);
}

Label::Label(const std::string& caption, QWidget* parent) : QLabel(parent), placement_(this) {
    // Captions show corpus text, which is never markup.
    setTextFormat(Qt::PlainText);
    SetCaption(caption);
}

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    setText(Latin1(caption));
}

Image::Image(QWidget* parent) : QLabel(parent), placement_(this) {
    setScaledContents(true);
}

void Image::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    setPixmap(picture);
}

}  // namespace vyk
