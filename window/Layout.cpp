// The layout of the sutra window: every place and size a formula of the
// window's size, in twips, with no layout manager.

#include <QResizeEvent>

#include <algorithm>

#include "platform/Controls.h"
#include "platform/Latin1.h"
#include "platform/LineControl.h"
#include "platform/ListControl.h"
#include "platform/RichTextPane.h"
#include "platform/Services.h"
#include "window/FrmSutra.h"

namespace vyk {

namespace {

// The window's outer and inner size, in twips. The sutra window has no
// border or caption of its own, so both are the same.
struct WindowSize {
    double W, H, IW, IH;
};

WindowSize SizeOf(const QWidget& window) {
    const double width = PixelsToTwips(window.width());
    const double height = PixelsToTwips(window.height());
    return {width, height, width, height};
}

enum class Property { Left, Top, Width, Height };

using Control = TwipsPlacement& (*)(FrmSutra&);
using Formula = double (*)(FrmSutra&, const WindowSize&);

struct LayoutRow {
    Control control;
    Property property;
    Formula value;
};

// Controls named in the rows.
constexpr Control frPanel = [](FrmSutra& f) -> TwipsPlacement& { return f.frPanel->Placement(); };
constexpr Control imgPnl0 = [](FrmSutra& f) -> TwipsPlacement& { return f.imgPnl[0]->Placement(); };
constexpr Control imgPnl1 = [](FrmSutra& f) -> TwipsPlacement& { return f.imgPnl[1]->Placement(); };
constexpr Control frIndex = [](FrmSutra& f) -> TwipsPlacement& { return f.frIndex->Placement(); };
constexpr Control lblIndex = [](FrmSutra& f) -> TwipsPlacement& { return f.lblIndex->Placement(); };
constexpr Control frDetail = [](FrmSutra& f) -> TwipsPlacement& { return f.frDetail->Placement(); };
constexpr Control lblRef = [](FrmSutra& f) -> TwipsPlacement& { return f.lblRef->Placement(); };
constexpr Control lblkaumudi0 = [](FrmSutra& f) -> TwipsPlacement& { return f.lblkaumudi[0]->Placement(); };
constexpr Control lblkaumudi1 = [](FrmSutra& f) -> TwipsPlacement& { return f.lblkaumudi[1]->Placement(); };
constexpr Control lstVykE0 = [](FrmSutra& f) -> TwipsPlacement& { return f.lstVykE[0]->Placement(); };
constexpr Control rtbE0 = [](FrmSutra& f) -> TwipsPlacement& { return f.rtbE[0]->Placement(); };

using P = Property;

// Set one after the other: a formula reads the values the rows above it set.
constexpr LayoutRow PlacementRows[] = {
    {frPanel, P::Left, [](FrmSutra&, const WindowSize&) { return 80.0; }},
    {frPanel, P::Width, [](FrmSutra&, const WindowSize&) { return 1000.0; }},
    {frPanel, P::Top, [](FrmSutra&, const WindowSize&) { return 50.0; }},
    {frPanel, P::Height, [](FrmSutra& f, const WindowSize& s) { return s.H - 220 - frPanel(f).Top(); }},
    {imgPnl0, P::Left, [](FrmSutra&, const WindowSize&) { return 80.0; }},
    {imgPnl0, P::Top, [](FrmSutra&, const WindowSize&) { return 160.0; }},
    {imgPnl0, P::Width, [](FrmSutra& f, const WindowSize&) { return frPanel(f).Width() - 160; }},
    {imgPnl0, P::Height, [](FrmSutra& f, const WindowSize&) { return imgPnl0(f).Width() / 100 * 88; }},
    {imgPnl1, P::Left, [](FrmSutra& f, const WindowSize&) { return imgPnl0(f).Left(); }},
    // The height alone, not added to imgPnl(0)'s top.
    {imgPnl1, P::Top, [](FrmSutra& f, const WindowSize&) { return imgPnl0(f).Height() + 220; }},
    {imgPnl1, P::Width, [](FrmSutra& f, const WindowSize&) { return imgPnl0(f).Width(); }},
    {imgPnl1, P::Height, [](FrmSutra& f, const WindowSize&) { return frPanel(f).Height() - (imgPnl0(f).Height() + 300); }},
    {frIndex, P::Left, [](FrmSutra& f, const WindowSize&) { return frPanel(f).Width() + frPanel(f).Left() + 60; }},
    {frIndex, P::Top, [](FrmSutra& f, const WindowSize&) { return frPanel(f).Top(); }},
    {frIndex, P::Width, [](FrmSutra&, const WindowSize& s) { return s.W / 3 - 500; }},
    {lblIndex, P::Left, [](FrmSutra& f, const WindowSize&) { return frIndex(f).Width() / 2 - lblIndex(f).Width() / 2; }},
    {frDetail, P::Left, [](FrmSutra& f, const WindowSize&) { return frIndex(f).Width() + frIndex(f).Left() + 40; }},
    {frDetail, P::Top, [](FrmSutra& f, const WindowSize&) { return frIndex(f).Top(); }},
    {frDetail, P::Width, [](FrmSutra& f, const WindowSize& s) { return s.W - 155 - frDetail(f).Left(); }},
    {lblRef, P::Left, [](FrmSutra&, const WindowSize&) { return 200.0; }},
    {lblkaumudi0, P::Left,
     [](FrmSutra& f, const WindowSize&) { return frDetail(f).Width() / 2 - lblkaumudi0(f).Width() / 2 - 250; }},
    {lblkaumudi1, P::Left,
     [](FrmSutra& f, const WindowSize&) { return frDetail(f).Width() - (lblkaumudi1(f).Width() + 100); }},
    {lstVykE0, P::Left, [](FrmSutra& f, const WindowSize&) { return frIndex(f).Left(); }},
    {lstVykE0, P::Top, [](FrmSutra& f, const WindowSize&) { return frDetail(f).Height() + frDetail(f).Top() + 30; }},
    {lstVykE0, P::Height, [](FrmSutra& f, const WindowSize& s) { return s.H - 140 - lstVykE0(f).Top(); }},
    {lstVykE0, P::Width, [](FrmSutra& f, const WindowSize&) { return frIndex(f).Width(); }},
};

// After the box lines, whose left edge the pane follows.
constexpr LayoutRow PaneRows[] = {
    {rtbE0, P::Left, [](FrmSutra& f, const WindowSize&) { return f.lnG[0]->X1() + 80; }},
    {rtbE0, P::Width, [](FrmSutra& f, const WindowSize&) { return frDetail(f).Width() - 160; }},
    // Fixed: it does not follow the lists' top.
    {rtbE0, P::Top, [](FrmSutra&, const WindowSize&) { return 650.0; }},
    {rtbE0, P::Height,
     [](FrmSutra& f, const WindowSize& s) { return s.IH - (frDetail(f).Top() + frDetail(f).Height()) - 280; }},
};

void Apply(FrmSutra& window, const WindowSize& size, const LayoutRow& row) {
    TwipsPlacement& placement = row.control(window);
    const double value = row.value(window, size);
    switch (row.property) {
    case P::Left: placement.SetLeft(value); break;
    case P::Top: placement.SetTop(value); break;
    // A window too small for a control gives it no room rather than a
    // negative size, which later formulas would carry on.
    case P::Width: placement.SetWidth(std::max(0.0, value)); break;
    case P::Height: placement.SetHeight(std::max(0.0, value)); break;
    }
}

}  // namespace

void FrmSutra::ArrangeControls() {
    if (!corpus_.gLoading) {
        rtbE[0]->show();
        lnG[0]->show();
        lnW[0]->show();
        lnG[1]->show();
        lnW[1]->show();
        lstVykE[0]->SetVisible(true);
    }

    WindowSize size = SizeOf(*this);
    picSutra->setGeometry(0, 0, width(), TwipsToPixels(size.IH));
    imgMainPg->Placement().Set(0, 0, size.IW, size.IH);
    imgMainPg->show();

    vyk::DoEvents();
    // Window messages may have resized the window meanwhile.
    size = SizeOf(*this);

    for (const LayoutRow& row : PlacementRows) Apply(*this, size, row);
    // The other lists lie in the Astadhyayi list's rectangle.
    const TwipsPlacement& lists = lstVykE[0]->Placement();
    const auto takeListRectangle = [&lists](ListControl* list) {
        list->Placement().Set(lists.Left(), lists.Top(), lists.Width(), lists.Height());
    };
    for (ListControl* list : {lstVykE[1], lstVykE[2], lstVykEx[0]}) takeListRectangle(list);
    imgPnl[1]->SetPicture(imgDum[0]->Picture());

    const double xL = frDetail->Placement().Left() + 10;
    const double xR = frDetail->Placement().Width() + frDetail->Placement().Left() - 20;
    const double yT = lstVykE[0]->Placement().Top() + 10;
    const double yB = lstVykE[0]->Placement().Height() + lstVykE[0]->Placement().Top() - 20;
    lnG[0]->SetY1(yT);
    lnG[0]->SetX1(xL);
    lnG[0]->SetX2(lnG[0]->X1());
    lnG[0]->SetY2(yB);
    lnG[1]->SetX1(xL);
    lnG[1]->SetY1(yT);
    lnG[1]->SetX2(xR);
    lnG[1]->SetY2(lnG[1]->Y1());
    lnW[0]->SetX1(lnG[1]->X2());
    lnW[0]->SetX2(lnG[1]->X2());
    lnW[0]->SetY1(lnG[1]->Y2());
    lnW[0]->SetY2(lnG[0]->Y2());
    lnW[1]->SetX1(lnG[0]->X1());
    lnW[1]->SetX2(lnG[1]->X2());
    lnW[1]->SetY1(lnG[0]->Y2());
    lnW[1]->SetY2(lnG[0]->Y2());

    for (const LayoutRow& row : PaneRows) Apply(*this, size, row);

    if (state_.gRomanFontOk) lstVykE[0]->SetFont(std::string(RomanFace), state_.gRomanFontSize);
    if (state_.gVelkaFontOk) {
        lstVykD[0]->SetFont(std::string(VelkaFace), state_.gVelkaFontSize - 1);
        QFont velka(Latin1(VelkaFace));
        velka.setPointSize(state_.gVelkaFontSize);
        rtbD[0]->setFont(velka);
        for (ListControl* hidden : {lstVykD[0], lstVykD[1], lstVykD[2], lstVykDx[0]}) takeListRectangle(hidden);
    }
}

void FrmSutra::Form_Resize() {
    if (!state_.gClosing) ArrangeControls();
}

void FrmSutra::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

}  // namespace vyk
