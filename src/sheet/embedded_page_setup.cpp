#include "sheet/embedded_core.h"
#include "sheet/embedded_messages.h"

#include <sstream>

namespace sheet::embedded {

namespace {

constexpr int kLargestPaperSize = 118;

std::string numberText(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

void checkMargin(double inches) {
    if (!(inches >= 0 && inches < 49))
        throw AutomationError(messages::kBadMargin + numberText(inches));
}

} // namespace

PageSetup& PageSetupObject::setup(const char* member) {
    return owner_.enter(member).sheet->pageSetup;
}

int PageSetupObject::Orientation() {
    return setup("PageSetup.Orientation").orientation;
}

void PageSetupObject::SetOrientation(int orientation) {
    LiveSheet live = owner_.enter("PageSetup.SetOrientation");
    PageSetup& page = live.sheet->pageSetup;
    if (orientation != Portrait && orientation != Landscape)
        throw AutomationError(messages::kBadOrientation + std::to_string(orientation));
    page.orientation = orientation;
    live.core->changed(live.book.get());
}

double PageSetupObject::LeftMargin() {
    return setup("PageSetup.LeftMargin").leftMargin;
}

void PageSetupObject::SetLeftMargin(double inches) {
    LiveSheet live = owner_.enter("PageSetup.SetLeftMargin");
    PageSetup& page = live.sheet->pageSetup;
    checkMargin(inches);
    page.leftMargin = inches;
    live.core->changed(live.book.get());
}

double PageSetupObject::RightMargin() {
    return setup("PageSetup.RightMargin").rightMargin;
}

void PageSetupObject::SetRightMargin(double inches) {
    LiveSheet live = owner_.enter("PageSetup.SetRightMargin");
    PageSetup& page = live.sheet->pageSetup;
    checkMargin(inches);
    page.rightMargin = inches;
    live.core->changed(live.book.get());
}

double PageSetupObject::FooterMargin() {
    return setup("PageSetup.FooterMargin").footerMargin;
}

void PageSetupObject::SetFooterMargin(double inches) {
    LiveSheet live = owner_.enter("PageSetup.SetFooterMargin");
    PageSetup& page = live.sheet->pageSetup;
    checkMargin(inches);
    page.footerMargin = inches;
    live.core->changed(live.book.get());
}

int PageSetupObject::Zoom() {
    const LiveSheet live = owner_.enter("PageSetup.Zoom");
    PageSetup& page = live.sheet->pageSetup;
    return page.fitToPages ? 0 : page.scale;
}

void PageSetupObject::SetZoom(int percent) {
    LiveSheet live = owner_.enter("PageSetup.SetZoom");
    PageSetup& page = live.sheet->pageSetup;
    if (percent == 0) {
        // A zoom of 0 is how a sheet fitted to pages reads; writing it back keeps the fit.
        page.fitToPages = true;
    } else {
        if (percent < 10 || percent > 400)
            throw AutomationError(messages::kBadZoom + std::to_string(percent));
        page.fitToPages = false;
        page.scale = percent;
    }
    live.core->changed(live.book.get());
}

int PageSetupObject::PaperSize() {
    return setup("PageSetup.PaperSize").paperSize;
}

void PageSetupObject::SetPaperSize(int paperSize) {
    LiveSheet live = owner_.enter("PageSetup.SetPaperSize");
    PageSetup& page = live.sheet->pageSetup;
    if (paperSize < 1 || paperSize > kLargestPaperSize)
        throw AutomationError(messages::kBadPaperSize + std::to_string(paperSize));
    page.paperSize = paperSize;
    page.paperSizeSet = true;
    live.core->changed(live.book.get());
}

} // namespace sheet::embedded
