#pragma once

#include "reports/ReportOutputs.h"

// The destinations built on the engine's page sinks: the printer (default or named, copies, no
// dialog), HTML and RTF files, and the screen through the installed preview (ReportPreviews.h).
class SinkReportOutputs final : public ReportOutputs
{
public:
    std::unique_ptr<ReportOutput> create(const ReportOutputTarget& target, QString* error) override;
};
