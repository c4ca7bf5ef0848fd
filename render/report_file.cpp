#include "render/report_file.h"

#include "base/atomic_file.h"
#include "base/sha256.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "render/report_pdf.h"

#include <memory>

namespace nivra::render {

Outcome writeReportPdf(const std::string& pdfPath, const ReportContent& report,
                       std::span<const std::int32_t> counts, int firstNumber) {
    const std::string pdf = reportPdf(report, counts, firstNumber);
    if (pdf.empty())
        return Outcome::failure("the PDF could not be made; nothing was written");
    return writeFileAtomically(pdfPath, pdf);
}

Outcome writeDataFileReport(const DataFileReport& request, std::string& sha256) {
    std::string problem;
    const std::unique_ptr<AssayData> record = openDataFile(request.dataFile, problem);
    if (!record)
        return Outcome::failure(problem);
    std::unique_ptr<AssayData> extract;
    if (request.range)
        extract = record->extractRange(request.range->first, request.range->second);
    const AssayData& view = extract ? *extract : *record;
    if (view.pointCount() == 0)
        return Outcome::failure("there are no points to report");
    const std::string digest = sha256OfFile(request.dataFile);
    if (digest.empty())
        return Outcome::failure("the data file cannot be read");

    ReportInputs inputs;
    inputs.fileName = request.dataFile;
    inputs.sha256 = digest;
    inputs.range = request.range;
    inputs.settings = request.settings;
    inputs.classLimit = record->assayConfig().classLimit.value_or(0.0);
    inputs.program = request.program;
    inputs.reportDate = request.reportDate;
    const Outcome written = writeReportPdf(request.pdfFile, reportContent(*record, view, inputs),
                                           view.counts(), request.range ? request.range->first : 1);
    if (written)
        sha256 = digest;
    return written;
}

} // namespace nivra::render
