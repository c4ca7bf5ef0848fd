#pragma once

#include "model/report_content.h"

#include <cstdint>
#include <span>
#include <string>

namespace nivra::render {

// The report as the bytes of an A4 PDF with real (searchable) text: the title, the sections of
// labelled figures, the points against time and the histogram of the counts assessed (the
// pictures of the Assessment window, from the same painters), then the appendix; each page
// carries the footer and its page number. A section that does not fit on a page's rest begins
// on the next; pictures never break. Needs a QGuiApplication (see GuiSession). Empty when the
// PDF could not be made.
std::string reportPdf(const ReportContent& report, std::span<const std::int32_t> counts,
                      int firstNumber);

} // namespace nivra::render
