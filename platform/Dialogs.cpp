#include "platform/Dialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>

#include "platform/Latin1.h"
#include "platform/Paths.h"

namespace vyk {

namespace {

constexpr char ProgramName[] = "Vyakorsutravali";

struct ButtonRow {
    MsgButtons buttons;
    QMessageBox::StandardButtons standard;
    QMessageBox::StandardButton first;  // the default, as on Windows
};

constexpr ButtonRow ButtonTable[] = {
    {MsgButtons::OK, QMessageBox::Ok, QMessageBox::Ok},
    {MsgButtons::OKCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok},
    {MsgButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
    {MsgButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes},
};

struct IconRow {
    MsgIcon icon;
    QMessageBox::Icon qtIcon;
};

constexpr IconRow IconTable[] = {
    {MsgIcon::None, QMessageBox::NoIcon},
    {MsgIcon::Information, QMessageBox::Information},
    {MsgIcon::Question, QMessageBox::Question},
    {MsgIcon::Exclamation, QMessageBox::Warning},
};

struct AnswerRow {
    QMessageBox::StandardButton button;
    MsgAnswer answer;
};

constexpr AnswerRow AnswerTable[] = {
    {QMessageBox::Ok, MsgAnswer::OK},
    {QMessageBox::Cancel, MsgAnswer::Cancel},
    {QMessageBox::Yes, MsgAnswer::Yes},
    {QMessageBox::No, MsgAnswer::No},
};


// Longer lines show their two ends around "...". A box lays a line out
// whole, so a path of a million characters would make a box far taller than
// the screen and keep the program busy for seconds before it appears; the
// request keeps the text whole. A message's own line, a sentence naming a
// file or two, wraps to a few lines of the box and is shown whole.
constexpr qsizetype MaxShownLine = 480;

QString ShownLine(QStringView line) {
    if (line.size() <= MaxShownLine) return line.toString();
    constexpr QStringView Gap = u"...";
    const qsizetype head = (MaxShownLine - Gap.size()) / 2;
    const qsizetype tail = MaxShownLine - Gap.size() - head;
    QString shown;
    shown.reserve(MaxShownLine);
    shown.append(line.left(head)).append(Gap).append(line.right(tail));
    return shown;
}

bool IsBreak(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('/') || c == QLatin1Char('\n'); }

// A run without a blank or "/" is a place where the box cannot wrap: one
// wider than `widest` pixels would run past the box's edge, so it shows its
// two ends instead.
QString FitRuns(const QString& text, const QFontMetrics& metrics, int widest) {
    QString fitted;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !IsBreak(text[end])) ++end;
        const QString run = text.mid(start, end - start);
        fitted += metrics.horizontalAdvance(run) > widest ? metrics.elidedText(run, Qt::ElideMiddle, widest) : run;
        if (end < text.size()) fitted += text[end];
        start = end + 1;
    }
    return fitted;
}

// CR LF and a lone CR both break the line; a box shows plain text only.
QString ShownText(const MessageText& message) {
    QString whole = BoxText(message);
    whole.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    whole.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList shown;
    for (const QStringView line : QStringView(whole).split(QLatin1Char('\n'))) shown.push_back(ShownLine(line));
    return shown.join(QLatin1Char('\n'));
}

}  // namespace

MsgAnswer CautiousAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OKCancel:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::OK:
        break;
    }
    return MsgAnswer::OK;
}

QString BoxText(const MessageText& message) {
    const std::string_view text = message.text;
    QString whole;
    std::size_t done = 0;
    for (const TextSpan& path : message.paths) {
        if (path.start < done || path.start > text.size()) continue;  // overlapping or out of range: plain text
        const std::size_t length = std::min(path.length, text.size() - path.start);
        whole += Latin1(text.substr(done, path.start - done));
        whole += NameText(text.substr(path.start, length));
        done = path.start + length;
    }
    whole += Latin1(text.substr(done));
    return whole;
}

MsgAnswer QtDialogService::MsgBox(const MsgRequest& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(request.title.empty() ? QString::fromLatin1(ProgramName) : Latin1(request.title));
    box.setTextFormat(Qt::PlainText);
    // A box starts from half the screen's width (at most 500 pixels) and
    // grows only for a run it cannot wrap: runs that fit beside the icon
    // and margins at that width keep it narrower than the screen.
    const int widestRun = qMin(box.screen()->availableGeometry().width() / 2, 500) - 100;
    box.setText(FitRuns(ShownText(request), box.fontMetrics(), widestRun));
    for (const IconRow& row : IconTable) {
        if (row.icon == request.icon) box.setIcon(row.qtIcon);
    }
    for (const ButtonRow& row : ButtonTable) {
        if (row.buttons == request.buttons) {
            box.setStandardButtons(row.standard);
            box.setDefaultButton(row.first);
        }
    }
    // A system-modal box of Windows becomes application modal here.
    box.setWindowModality(Qt::ApplicationModal);
    // The question waits for the user, not the program: show the arrow over
    // an hourglass that start-up or a save may have set, and put it back after.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
    QApplication::restoreOverrideCursor();
    for (const AnswerRow& row : AnswerTable) {
        if (row.button == chosen) return row.answer;
    }
    return CautiousAnswer(request.buttons);
}

}  // namespace vyk
