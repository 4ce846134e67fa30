#include "platform/Controls.h"

namespace vyk {

Frame::Frame(QWidget* parent) : QFrame(parent), placement_(this) {
    setFrameStyle(QFrame::Box | QFrame::Sunken);
}

Label::Label(const std::string& caption, QWidget* parent) : QLabel(parent), placement_(this) {
    SetCaption(caption);
}

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    setText(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
}

Image::Image(QWidget* parent) : QLabel(parent), placement_(this) {
    setScaledContents(true);
}

void Image::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    setPixmap(picture);
}

}  // namespace vyk
