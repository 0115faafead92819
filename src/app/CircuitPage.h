// The printed page of one section picture: a framed header naming the
// design file, the date and time and the section, then the picture at the
// printer's resolution, shrunk evenly where it would not fit the page.
#pragma once

#include <ctime>
#include <string>

#include "app/View.h"

// The section line of the header for a title string id and output number.
std::string CircuitPageTitle(int titleId, int output);

// Where a w0 x h0 pixel picture goes in the area: its natural size at the
// device's resolution (96 pixels an inch on screen), scaled down evenly to
// fit, at the area's top-left corner. Empty when nothing fits.
fw::Rect CircuitPictureRect(const fw::Rect& area, int w0, int h0, int ppiX, int ppiY);

class CCircuitPage : public CCircuitPagePrinter {
public:
    void PrintHeader(fw::Canvas& dc, fw::Rect& area, const CPwrQuorraView& view) override;
    void PrintPicture(fw::Canvas& dc, const fw::Rect& area, const CPwrQuorraView& view) override;
};
