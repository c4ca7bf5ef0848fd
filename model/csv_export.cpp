// The CSV export of an assay record: plain Windows-1252 text with LF line ends, in this order: the
// header lines; the selected statistics, each as its CSV label followed by its value; one "%d,"
// line per point. There is no column header.

#include "model/csv_export.h"

#include "model/assay_data.h"

#include "base/atomic_file.h"
#include "base/code_page.h"
#include "base/value_encoding.h"
#include "model/statistics.h"
#include "model/stats_show.h"

namespace nivra {

namespace {

// A header line stays one line of the export: a line break inside it (a pasted counter
// description, say) is written as one blank, CR LF counting as one, as the data file does. The
// text is written in the Windows-1252 code page, as the data files are.
void appendOneLine(std::string& text, const std::string& utf8Line) {
    const std::string line = nivra::utf8ToCp1252(utf8Line);
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < line.size() && line[i + 1] == '\n')
                ++i;
            c = ' ';
        }
        text += c;
    }
    text += '\n';
}

} // namespace

} // namespace nivra
  // namespace

namespace nivra {

Outcome writeCsvExport(const AssayData& data, const std::string& path, const StatsShow& selection) {
    // Statistics and points come from the same state of the record.
    const AssayData::Snapshot record = data.snapshot();
    // Rates over the time actually counted, as All Data shows them.
    const nivra::StatisticsInputs inputs = nivra::gatherStatisticsInputs(
        record.counts, record.assayConfig.countedOver(record.counts.size()), record.counterConfig,
        selection.shows(nivra::Statistic::StdDev));

    std::string text;
    text.reserve(record.counts.size() * 8 + 1024);
    for (const std::string& line : record.headerLines)
        appendOneLine(text, line);
    for (const std::string& line :
         nivra::csvStatisticsLines(nivra::statisticsBlock(inputs, selection))) {
        text += line;
        text += '\n';
    }
    for (std::int32_t count : record.counts) {
        text += nivra::formatInt(count);
        text += ",\n";
    }

    // Like every output, replaced in one step: a failed write keeps the earlier export.
    return nivra::writeFileAtomically(path, text);
}

} // namespace nivra
