// The popup menus of the lists and the pane.

#include <QMenu>
#include <QPoint>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/ListControl.h"
#include "platform/RichTextPane.h"
#include "platform/Twips.h"
#include "window/FrmPop.h"
#include "window/FrmSutra.h"
#include "window/Popup.h"

namespace vyk {

namespace {

constexpr int RightButton = 2;
constexpr int MiddleButton = 4;

bool OpensPopup(int button) { return button == RightButton || button == MiddleButton; }

// A whole number by rounding halves to the even neighbour (the default
// floating-point rounding mode), held far beyond any screen so that the
// conversion stays defined.
long long RoundToWhole(double value) {
    if (std::isnan(value)) return 0;
    constexpr double Limit = 1e15;
    return static_cast<long long>(std::clamp(std::nearbyint(value), -Limit, Limit));
}

}  // namespace

// Only the quotient is a 16-bit integer: a click beyond 32,767 twips
// (about 2,184 pixels) still opens the menu at its own place.
int PopupPixels(double twips) {
    const long long pixels = RoundToWhole(twips) / RoundToWhole(TwipsPerPixel);
    return static_cast<int>(std::clamp<long long>(pixels, std::numeric_limits<std::int16_t>::min(),
                                                  std::numeric_limits<std::int16_t>::max()));
}

void FrmSutra::lstVykE_MouseDown(int index, int button, int /*shift*/, double x, double y) {
    if (busy() || !OpensPopup(button)) return;
    if (index < 0 || index >= int(lstVykE.size())) return;
    ShowPopupMenu(lstVykE[index]->Placement(), x, y, SortFilePopup);
}

void FrmSutra::lstVykEx_MouseDown(int index, int button, int /*shift*/, double x, double y) {
    if (busy() || !OpensPopup(button)) return;
    if (index != 0) return;
    ShowPopupMenu(lstVykEx[0]->Placement(), x, y, SortFilePopup);
}

void FrmSutra::rtbE_MouseDown(int index, int button, int /*shift*/, double x, double y) {
    if (busy() || !OpensPopup(button)) return;
    if (index < 0 || index >= int(rtbE.size())) return;
    ShowPopupMenu(rtbE[index]->Placement(), x, y, ViewPopup);
}

void FrmSutra::ShowPopupMenu(const TwipsPlacement& control, double x, double y, int submenu) {
    // In pixels of the control's container, 150 twips below the click.
    const QPoint inContainer(PopupPixels(control.Left() + x), PopupPixels(control.Top() + y + PopupDropTwips));
    const QPoint onScreen = picSutra->mapToGlobal(inContainer);

    QMenu* menu = frmPop_->SubMenu(submenu);
    if (menu == nullptr) return;
    openPopup_(menu, onScreen.x(), onScreen.y());
}

}  // namespace vyk
