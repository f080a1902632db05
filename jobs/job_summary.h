#pragma once
// The lines of a job's summary on the two queue screens: caption, value as
// the server sent it, and whether the job's type shows the line.

#include <QList>
#include <QString>

namespace velumar {

class JobData;

struct SummaryLine {
    QString caption;
    QString value;
    bool shown = true;

    bool operator==(const SummaryLine&) const = default;
};

// "Job name:" to "Update database flag:", always thirteen lines in that order.
QList<SummaryLine> RunningJobSummary(const JobData& job);
// "Job type:" to "Keyword index flag:", always twelve lines in that order.
QList<SummaryLine> ScheduledJobSummary(const JobData& job);

} // namespace velumar
