#pragma once

#include <QString>

#include <utility>
#include <string>

#include "platform/MessageText.h"

namespace vyk {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Question, Exclamation };
enum class MsgAnswer { OK, Cancel, Yes, No };

// One message box. Text and title are bytes (Latin-1), but for the pieces
// of the text marked as paths, which show as the file system names them;
// CR LF or a lone CR breaks the line. An empty title shows the program's name.
struct MsgRequest : MessageText {
    MsgRequest() = default;
    explicit MsgRequest(MessageText message) : MessageText(std::move(message)) {}

    std::string title;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    bool systemModal = false;
};

// Every message box of the program goes through one of these, so tests can
// answer them without a modal dialog.
class DialogService {
public:
    virtual ~DialogService() = default;
    virtual MsgAnswer MsgBox(const MsgRequest& request) = 0;
};

// The answer a box gives when it is closed without a choice: Cancel, else
// No, else OK, whichever it offers first.
MsgAnswer CautiousAnswer(MsgButtons buttons);

// The text a box shows: the program's words as Latin-1, the marked paths as
// the file system names them.
QString BoxText(const MessageText& message);

// QMessageBox, application modal. A line longer than 480 characters shows
// its first and last characters around "...", and a run of text the box
// cannot wrap (no blank, no "/") is shortened in its middle to what the box
// has room for, so the box fits the screen.
class QtDialogService : public DialogService {
public:
    MsgAnswer MsgBox(const MsgRequest& request) override;
};

}  // namespace vyk
