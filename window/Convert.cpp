// Tools, "DBF to VYK": starts the external converter and reloads when it has
// already rewritten the data file.

#include <optional>
#include <string_view>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Services.h"
#include "window/FrmSutra.h"

namespace vyk {

namespace {

constexpr std::string_view ConverterName = "vykConvert";
constexpr std::string_view ConvertWarning = "Vyakorsutravali may require restart after conversion.";
constexpr std::string_view ConvertTitle = "Convert";

MsgRequest ConvertMessage(MessageText text, MsgButtons buttons) {
    MsgRequest request(std::move(text));
    request.title = std::string(ConvertTitle);
    request.buttons = buttons;
    request.icon = MsgIcon::Information;
    return request;
}

}  // namespace

void FrmSutra::mnuToolsConvert_Click() {
    if (busy()) return;

    if (dialogs_.MsgBox(ConvertMessage(std::string(ConvertWarning), MsgButtons::OKCancel)) != MsgAnswer::OK) return;

    // sutra.vyk may be missing: start-up goes on without it, and making it is
    // the converter's job. The converter starts all the same, and a data file
    // that has appeared by the check below counts as changed; when there is
    // still none, nothing is reloaded (a reload would only repeat the
    // "Unknown File Format" message).
    const std::optional<std::int64_t> before = ModificationTime(corpus_.gDataFile);

    const std::string program = corpus_.gDataDir + "/" + std::string(ConverterName);
    if (const std::optional<std::string> error = startProgram_(program)) {
        dialogs_.MsgBox(ConvertMessage(*error + "\r\nError Loading " + PathText(program), MsgButtons::OK));
        return;
    }

    // A time that can no longer be read (the converter is rewriting the
    // file) counts as a change.
    const std::optional<std::int64_t> after = ModificationTime(corpus_.gDataFile);
    if (after == before) return;

    // Typing pending in the pane belongs to the corpus being replaced; the
    // reload's first display would otherwise commit it into the new corpus
    // under the old record number, over a different sutra.
    session_->DropPendingTyping();

    hide();
    vyk::DoEvents();
    if (hooks_.RunMain) hooks_.RunMain();
    show();
}

}  // namespace vyk
