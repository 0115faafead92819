// The one-page design summary that File > Print Summary and Print Summary
// Preview produce: a framed header with the design's path and the date and
// time of printing, then one line per section naming the circuit type, the
// line source and every section's chosen variant (the per-output sections
// only for the enabled outputs).
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "platform/ui/Canvas.h"

class CPwrQuorraDoc;

// The header block: "File Name:  ", "Date:  " and "Time:  " lines joined
// by "\r\n".
std::string SummaryHeaderText(const std::string& pathName, const std::tm& t);

// The body lines of the design, in page order.
std::vector<std::string> SummaryBodyLines(CPwrQuorraDoc& doc);

// Draws the page into the rectangle (the printable area less the margins),
// printed at the given local time. Text that falls below the rectangle is
// cut off; there is no second page.
void PrintDesignSummary(fw::Canvas& dc, const fw::Rect& area, const std::string& pathName, CPwrQuorraDoc& doc,
                        const std::tm& now);
