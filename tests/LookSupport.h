#pragma once
// What a user sees of captions and text colours, measured independently of
// the code that places the controls: Qt's font metrics against the
// controls' geometry, and pixels of a grab.

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <string>
#include <vector>

namespace vyk::test {

// The text a caption shows: "&" marks the access key and is not drawn, "&&"
// draws one ampersand.
inline QString ShownText(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
        shown += caption[i];
    }
    return shown;
}

// The room a control leaves its caption: a label's contents, a push
// button's face inside its bevel as the style draws it.
inline QRect CaptionRoom(const QWidget& control) {
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (button->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
        if (button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    }
    return control.contentsRect();
}

// Each label and push button under top (top included) whose caption is cut
// short: "name: "text" needs W x H pixels, has w x h". Empty when every
// caption shows whole. A word-wrapped label may break its text into lines.
inline std::vector<std::string> CutCaptions(QWidget& top) {
    std::vector<QWidget*> controls = {&top};
    for (QWidget* child : top.findChildren<QWidget*>()) controls.push_back(child);

    std::vector<std::string> cut;
    for (QWidget* control : controls) {
        QString caption;
        bool wraps = false;
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            caption = label->text();
            wraps = label->wordWrap();
        } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
            caption = button->text();
        } else {
            continue;
        }
        if (caption.isEmpty()) continue;

        const QString shown = ShownText(caption);
        const QFontMetrics metrics(control->font());
        const QRect room = CaptionRoom(*control);
        QSize needs;
        if (wraps) {
            needs = metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, shown).size();
        } else {
            const QStringList lines = shown.split(u'\n');
            int widest = 0;
            for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
            needs = QSize(widest, int(lines.size() - 1) * metrics.lineSpacing() + metrics.height());
        }
        if (needs.width() > room.width() || needs.height() > room.height()) {
            cut.push_back(QString("%1: \"%2\" needs %3 x %4 pixels, has %5 x %6")
                              .arg(control->objectName(), shown)
                              .arg(needs.width()).arg(needs.height()).arg(room.width()).arg(room.height())
                              .toStdString());
        }
    }
    return cut;
}

// A disabled caption must read against what lies behind it: its darkest
// pixel at least a quarter of the grey scale (64 of 255 levels) darker than
// the background. The style's own disabled grey gives 2 on the frame's grey
// (190 on 192) and 49 on its own light window (190 on 239).
inline constexpr int ReadableContrast = 64;

// How much darker than its background the darkest pixel of the text in an
// area of a grab is, in grey levels (0 black to 255 white). The background
// is read just inside the area's top left corner; the area's last rows are
// left out, where a menu bar draws its bottom edge.
inline int TextContrast(const QImage& shot, const QRect& area) {
    const int background = qGray(shot.pixel(area.topLeft() + QPoint(1, 1)));
    int darkest = 255;
    const QRect text = area.adjusted(0, 1, 0, -2).intersected(shot.rect());
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x) darkest = std::min(darkest, qGray(shot.pixel(x, y)));
    return background - darkest;
}

}  // namespace vyk::test
