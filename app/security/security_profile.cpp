#include "security/security_profile.h"

#include "channel.h"

#include <QComboBox>
#include <QListWidget>

namespace velumar {

namespace {

constexpr int Bibliographic = 1;
constexpr int Holdings = 2;
constexpr int Authority = 3;

constexpr int ScanJobType = 0;
constexpr int DataChangeJobType = 1;
constexpr int IndexJobType = 2;

constexpr qint16 Ok = 0;
constexpr qint16 NotAuthorizedStatus = 6;

bool isAuthorityLoadJob(int jobType) {
    return jobType >= 4 && jobType <= 7;
}

void fillCombo(QComboBox& combo, const QList<IdNameBean>& beans) {
    combo.clear();
    combo.addItem(QString(), 0);
    for (const auto& bean : beans)
        combo.addItem(bean.Name, bean.Id);
    combo.setCurrentIndex(0);
}

} // namespace

SecurityProfile::SecurityProfile(orvane::Channel& channel, const QString& operatorId) {
    loadRights(channel, operatorId);
    loadPackageCheck(channel);
    loadOwningLibraries(channel);
}

void SecurityProfile::loadRights(orvane::Channel& channel, const QString& operatorId) {
    channel.AddField(QStringLiteral("OI"), operatorId);
    const qint16 status = channel.SendRequest(QStringLiteral("GET_VLM_SECURITY"));
    if (status == NotAuthorizedStatus) {
        notAuthorized_ = true;
        return;
    }
    if (status != Ok) {
        loadFailed_ = true;
        return;
    }
    // Every right but the package, which has its own request.
    for (std::size_t i = 0; i < RightCount; ++i) {
        const auto right = static_cast<Right>(i);
        if (right != Right::PKGINST)
            rights_[i] = channel.GetBoolField(QString::fromLatin1(rightCode(right)));
    }
    while (channel.NextRecord(QStringLiteral("LI")))
        locations_.push_back({channel.GetNumericField(QStringLiteral("LI")),
                              channel.GetField(QStringLiteral("LN"))});
}

void SecurityProfile::loadPackageCheck(orvane::Channel& channel) {
    channel.AddField(QStringLiteral("PKGNM"), QString::fromLatin1(HoldingsKeywordPackage));
    if (channel.SendRequest(QStringLiteral("PKGCHK")) != Ok) {
        loadFailed_ = true;
        return;
    }
    rights_[static_cast<std::size_t>(Right::PKGINST)] =
        channel.GetBoolField(QStringLiteral("PKGINST"));
}

void SecurityProfile::loadOwningLibraries(orvane::Channel& channel) {
    if (channel.SendRequest(QStringLiteral("OWNINGLIBRARIES")) != Ok) {
        loadFailed_ = true;
        return;
    }
    while (channel.NextRecord(QStringLiteral("LBI")))
        owningLibraries_.push_back({channel.GetNumericField(QStringLiteral("LBI")),
                                    channel.GetField(QStringLiteral("LBN"))});
}

bool SecurityProfile::byRecordType(int recordType, Right bib, Right mfhd, Right auth) const {
    switch (recordType) {
    case Bibliographic:
        return Has(bib);
    case Holdings:
        return Has(mfhd);
    case Authority:
        return Has(auth);
    default:
        return false;
    }
}

bool SecurityProfile::anyKind(Right bib, Right mfhd, Right auth) const {
    return Has(bib) || Has(mfhd) || Has(auth);
}

bool SecurityProfile::RecordSetAdd(int recordType) const {
    return byRecordType(recordType, Right::RSBA, Right::RSMA, Right::RSAA);
}

bool SecurityProfile::RecordSetUpdate(int recordType) const {
    return byRecordType(recordType, Right::RSBU, Right::RSMU, Right::RSAU);
}

bool SecurityProfile::RecordSetDelete(int recordType) const {
    return byRecordType(recordType, Right::RSBD, Right::RSMD, Right::RSAD);
}

bool SecurityProfile::RecordSetView(int recordType) const {
    return byRecordType(recordType, Right::RSBV, Right::RSMV, Right::RSAV);
}

bool SecurityProfile::DataChangeJob(int recordType) const {
    return byRecordType(recordType, Right::DCB, Right::DCM, Right::DCA);
}

bool SecurityProfile::ScanJob(int recordType) const {
    return byRecordType(recordType, Right::SJB, Right::SJM, Right::SJA);
}

bool SecurityProfile::RecordSetAddAny() const {
    return anyKind(Right::RSBA, Right::RSMA, Right::RSAA);
}

bool SecurityProfile::RecordSetUpdateAny() const {
    return anyKind(Right::RSBU, Right::RSMU, Right::RSAU);
}

bool SecurityProfile::RecordSetViewAny() const {
    return anyKind(Right::RSBV, Right::RSMV, Right::RSAV);
}

bool SecurityProfile::RecordSetPreviewAny() const {
    return anyKind(Right::RSBP, Right::RSMP, Right::RSAP);
}

bool SecurityProfile::DataChangeJobAny() const {
    return anyKind(Right::DCB, Right::DCM, Right::DCA);
}

bool SecurityProfile::ScanJobAny() const {
    return anyKind(Right::SJB, Right::SJM, Right::SJA);
}

bool SecurityProfile::ViewJobOutput(int jobType, int jobRecordType) const {
    if (isAuthorityLoadJob(jobType))
        return JHAL();
    return byRecordType(jobRecordType, Right::JHB, Right::JHM, Right::JHA);
}

bool SecurityProfile::DeleteJobLog(int jobType, int jobRecordType) const {
    if (isAuthorityLoadJob(jobType))
        return RLAL();
    return byRecordType(jobRecordType, Right::RLB, Right::RLM, Right::RLA);
}

bool SecurityProfile::DeleteJobResults(int jobType, int jobRecordType) const {
    // Only the match and merge jobs of authority loading have results of their own kind.
    if (jobType == 4 || jobType == 5)
        return RRAL();
    return byRecordType(jobRecordType, Right::RRB, Right::RRM, Right::RRA);
}

bool SecurityProfile::KillJob(int jobType) const {
    switch (jobType) {
    case ScanJobType:
        return KSJ();
    case DataChangeJobType:
        return KDJ();
    case IndexJobType:
        return KIJ();
    default:
        // A match job (3) runs in the client and has no kill right.
        return isAuthorityLoadJob(jobType) && KALJ();
    }
}

void SecurityProfile::FillOwningLibraryCombo(QComboBox& combo) const {
    fillCombo(combo, owningLibraries_);
}

void SecurityProfile::FillLocationCombo(QComboBox& combo) const {
    fillCombo(combo, locations_);
}

void SecurityProfile::FillOwningLibraryList(QListWidget& list) const {
    list.clear();
    for (const auto& bean : owningLibraries_) {
        auto* item = new QListWidgetItem(bean.Name, &list);
        item->setData(Qt::UserRole, bean.Id);
    }
    if (list.count() > 0)
        list.setCurrentRow(0);
}

} // namespace velumar
