#pragma once
// What the logged-in operator may do in this program: the rights the server
// sends, the operator's locations and the owning libraries. Loaded once when
// created and never changed after; the server still checks every request.
//
// Record types: 1 bibliographic, 2 holdings, 3 authority; any other gives
// false for every per-type query. Job types: 0 scan, 1 data change,
// 2 index records, 3 match, 4 to 7 the authority-load jobs (match, merge,
// reconcile, database load). The job queries take the job's type and its
// record type (1, 2, 3, or 0 for none) as integers: the job model (jobs/)
// builds on this library, not the other way round.

#include "common/id_name_bean.h"
#include "security/right.h"

#include <QList>
#include <QVariant>
#include <array>

class QComboBox;
class QListWidget;

namespace orvane {
class Channel;
}

namespace velumar {

class SecurityProfile {
public:
    // The package whose presence the profile asks the server about.
    static constexpr char HoldingsKeywordPackage[] = "MFHD Keyword Search";

    // Loads at once, in three steps that each run whatever the others gave:
    // the rights and locations, the package check, the owning libraries.
    SecurityProfile(orvane::Channel& channel, const QString& operatorId);

    // A step failed; its rights and lists stayed false and empty.
    bool LoadFailed() const { return loadFailed_; }
    // The server refused the rights request with status 6.
    bool NotAuthorized() const { return notAuthorized_; }

    const QList<IdNameBean>& OwningLibraries() const { return owningLibraries_; }
    const QList<IdNameBean>& Locations() const { return locations_; }

    bool Has(Right right) const { return rights_[static_cast<std::size_t>(right)]; }

    bool RecordSetAdd(int recordType) const;
    bool RecordSetUpdate(int recordType) const;
    bool RecordSetDelete(int recordType) const;
    bool RecordSetView(int recordType) const;
    bool DataChangeJob(int recordType) const;
    bool ScanJob(int recordType) const;

    bool RecordSetAddAny() const;
    bool RecordSetUpdateAny() const;
    bool RecordSetViewAny() const;
    bool RecordSetPreviewAny() const;
    bool DataChangeJobAny() const;
    bool ScanJobAny() const;

    bool RuleViewAny() const { return DCRV() || SRV(); }
    bool IndexJob() const { return IJB(); }
    bool AuthorityLoad() const { return ALA(); }

    bool ViewJobOutput(int jobType, int jobRecordType) const;
    bool DeleteJobLog(int jobType, int jobRecordType) const;
    bool DeleteJobResults(int jobType, int jobRecordType) const;
    bool KillJob(int jobType) const;

    // "AV" as the record search component takes it.
    QVariant SearchRight() const { return QVariant(AV()); }
    bool HoldingsKeywordSearch() const { return PKGINST(); }

    // Clear the box, add an empty entry (item data 0), then every owning
    // library (location) with its id as item data; the empty entry is selected.
    void FillOwningLibraryCombo(QComboBox& combo) const;
    void FillLocationCombo(QComboBox& combo) const;
    // Clear the list, add every owning library with its id as item data
    // (Qt::UserRole), and select the first when there is one.
    void FillOwningLibraryList(QListWidget& list) const;

    // One query per right code.
    bool AV() const { return Has(Right::AV); }
    bool RSBA() const { return Has(Right::RSBA); }
    bool RSBU() const { return Has(Right::RSBU); }
    bool RSBD() const { return Has(Right::RSBD); }
    bool RSBV() const { return Has(Right::RSBV); }
    bool RSBP() const { return Has(Right::RSBP); }
    bool RSBDR() const { return Has(Right::RSBDR); }
    bool RSMA() const { return Has(Right::RSMA); }
    bool RSMU() const { return Has(Right::RSMU); }
    bool RSMD() const { return Has(Right::RSMD); }
    bool RSMV() const { return Has(Right::RSMV); }
    bool RSMP() const { return Has(Right::RSMP); }
    bool RSMDR() const { return Has(Right::RSMDR); }
    bool RSAA() const { return Has(Right::RSAA); }
    bool RSAU() const { return Has(Right::RSAU); }
    bool RSAD() const { return Has(Right::RSAD); }
    bool RSAV() const { return Has(Right::RSAV); }
    bool RSAP() const { return Has(Right::RSAP); }
    bool RSADR() const { return Has(Right::RSADR); }
    bool DCRA() const { return Has(Right::DCRA); }
    bool DCRU() const { return Has(Right::DCRU); }
    bool DCRD() const { return Has(Right::DCRD); }
    bool DCRV() const { return Has(Right::DCRV); }
    bool SRA() const { return Has(Right::SRA); }
    bool SRU() const { return Has(Right::SRU); }
    bool SRD() const { return Has(Right::SRD); }
    bool SRV() const { return Has(Right::SRV); }
    bool DCB() const { return Has(Right::DCB); }
    bool SJB() const { return Has(Right::SJB); }
    bool IJB() const { return Has(Right::IJB); }
    bool JHB() const { return Has(Right::JHB); }
    bool RLB() const { return Has(Right::RLB); }
    bool RRB() const { return Has(Right::RRB); }
    bool DCM() const { return Has(Right::DCM); }
    bool SJM() const { return Has(Right::SJM); }
    bool JHM() const { return Has(Right::JHM); }
    bool RLM() const { return Has(Right::RLM); }
    bool RRM() const { return Has(Right::RRM); }
    bool DCA() const { return Has(Right::DCA); }
    bool SJA() const { return Has(Right::SJA); }
    bool JHA() const { return Has(Right::JHA); }
    bool RLA() const { return Has(Right::RLA); }
    bool RRA() const { return Has(Right::RRA); }
    bool ALA() const { return Has(Right::ALA); }
    bool JHAL() const { return Has(Right::JHAL); }
    bool RLAL() const { return Has(Right::RLAL); }
    bool RRAL() const { return Has(Right::RRAL); }
    bool KALJ() const { return Has(Right::KALJ); }
    bool KDJ() const { return Has(Right::KDJ); }
    bool KSJ() const { return Has(Right::KSJ); }
    bool KIJ() const { return Has(Right::KIJ); }
    bool PKGINST() const { return Has(Right::PKGINST); }

private:
    void loadRights(orvane::Channel& channel, const QString& operatorId);
    void loadPackageCheck(orvane::Channel& channel);
    void loadOwningLibraries(orvane::Channel& channel);
    // The right of the record type's kind: bibliographic, holdings, authority.
    bool byRecordType(int recordType, Right bib, Right mfhd, Right auth) const;
    bool anyKind(Right bib, Right mfhd, Right auth) const;

    std::array<bool, RightCount> rights_{};
    QList<IdNameBean> owningLibraries_;
    QList<IdNameBean> locations_;
    bool loadFailed_ = false;
    bool notAuthorized_ = false;
};

} // namespace velumar
