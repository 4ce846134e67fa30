#pragma once
// Test access to the sutra window's seams for popups and the converter.

#include <QMenu>

#include <functional>
#include <optional>
#include <string>

#include "window/FrmSutra.h"

namespace vyk {

struct EditingTestAccess {
    // Records where a popup menu would open instead of opening it.
    static void SetPopupOpener(FrmSutra& window, std::function<void(QMenu*, int, int)> opener) {
        window.openPopup_ = std::move(opener);
    }
    static void SetProgramStarter(FrmSutra& window,
                                  std::function<std::optional<std::string>(const std::string&)> starter) {
        window.startProgram_ = std::move(starter);
    }
};

}  // namespace vyk
