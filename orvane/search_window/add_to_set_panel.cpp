#include "add_to_set_panel.h"

#include "channel.h"
#include "record_search.h"
#include "record_set_filler.h"
#include "search_indexes.h"
#include "search_messages.h"
#include "message_text.h"
#include "session.h"
#include "text_limit.h"

#include <QComboBox>
#include <algorithm>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orvane {

namespace {

constexpr qint32 NewSet = 0;
constexpr qsizetype LongestIdList = 1000;

bool mayAddTo(const RecordSearch& search, int recordType) {
    switch (recordType) {
    case 1:
        return search.AddBibliographic();
    case 2:
        return search.AddHoldings();
    case 3:
        return search.AddAuthority();
    default:
        return false;
    }
}

bool mayUpdate(const RecordSearch& search, int recordType) {
    switch (recordType) {
    case 1:
        return search.UpdateBibliographic();
    case 2:
        return search.UpdateHoldings();
    case 3:
        return search.UpdateAuthority();
    default:
        return false;
    }
}

// What the operator learns after a send: how many the set gained, how many
// it held already, and which ids matched no record of the type. `added` is
// none when the set's count could not be read; then every id the server
// found is counted as added.
QString outcome(int sent, const QList<qint32>& notAdded, std::optional<int> added,
                int recordType, const QString& setName) {
    const QString type = RecordTypeShortName(recordType);
    if (notAdded.size() == sent)
        return QStringLiteral("None of these records were added, as no ") + type +
               QStringLiteral(" records matching these ids were found in the database.");
    const int found = sent - static_cast<int>(notAdded.size());
    const int gained = added ? std::clamp(*added, 0, found) : found;
    QString text = QStringLiteral("%1 record(s) added to record set \"%2\".")
                       .arg(gained)
                       .arg(NameForMessage(setName));
    if (gained < found)
        text += QStringLiteral(" %1 record(s) were in the set already.").arg(found - gained);
    if (notAdded.isEmpty())
        return text;
    text += QStringLiteral("\r\n\r\nThe following record ids were not added, as no ") + type +
            QStringLiteral(" records matching these ids were found in the database:\r\n");
    const qsizetype start = text.size();
    for (qsizetype i = 0; i < notAdded.size(); ++i) {
        if (text.size() - start > LongestIdList) {
            text += QStringLiteral("...");
            break;
        }
        if (i > 0)
            text += QStringLiteral(", ");
        text += QString::number(notAdded[i]);
    }
    return text;
}

} // namespace

AddToSetPanel::AddToSetPanel(RecordSearch& search, Channel& channel, QWidget* parent)
    : QGroupBox(QStringLiteral("Add to Record Set"), parent), search_(search), channel_(channel) {
    cboRecordSet_ = new QComboBox(this);
    cboRecordSet_->setObjectName(QStringLiteral("cboRecordSet"));
    cboRecordSet_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboRecordSet_->setMinimumContentsLength(20);
    auto* setLabel = new QLabel(QStringLiteral("Record s&et:"), this);
    setLabel->setBuddy(cboRecordSet_);
    txtNewSetName_ = new QLineEdit(this);
    txtNewSetName_->setObjectName(QStringLiteral("txtNewSetName"));
    LimitToOctets(*txtNewSetName_, NameOctets);
    lblNewSetName_ = new QLabel(QStringLiteral("&Name of new set:"), this);
    lblNewSetName_->setBuddy(txtNewSetName_);
    lblRights_ = new QLabel(this);
    lblRights_->setObjectName(QStringLiteral("lblAddRights"));
    cmdAddSelected_ = new QPushButton(QStringLiteral("Add Se&lected"), this);
    cmdAddSelected_->setObjectName(QStringLiteral("cmdAddSelected"));
    cmdAddAll_ = new QPushButton(QStringLiteral("Add &All Hits"), this);
    cmdAddAll_->setObjectName(QStringLiteral("cmdAddAll"));
    for (QPushButton* button : {cmdAddSelected_, cmdAddAll_})
        button->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(setLabel, 0, 0);
    layout->addWidget(cboRecordSet_, 0, 1);
    layout->addWidget(lblNewSetName_, 0, 2);
    layout->addWidget(txtNewSetName_, 0, 3);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblRights_, 1);
    buttons->addWidget(cmdAddSelected_);
    buttons->addWidget(cmdAddAll_);
    layout->addLayout(buttons, 1, 0, 1, 4);

    connect(cboRecordSet_, &QComboBox::currentIndexChanged, this, [this] { showTarget(); });
    connect(cmdAddSelected_, &QPushButton::clicked, this, [this] { Add(false); });
    connect(cmdAddAll_, &QPushButton::clicked, this, [this] { Add(true); });
}

QString AddToSetPanel::operatorId() const {
    return search_.BoundSession() ? search_.BoundSession()->OperatorId() : QString();
}

void AddToSetPanel::SetRecordType(int recordType) {
    recordType_ = recordType;
    mayCreate_ = mayAddTo(search_, recordType);
    mayFillAny_ = mayUpdate(search_, recordType);
    // The add right lets an operator fill the sets they created themselves.
    mayFillOwn_ = mayCreate_;
    fillSets(NewSet);
}

void AddToSetPanel::fillSets(qint32 select) {
    QList<TargetSet> sets;
    qint16 status = 0;
    if (MayAdd()) {
        RecordSetFiller filler(channel_, operatorId());
        status = filler.LoadSets(recordType_, sets);
        // The operator has been told the session ended; the sets listed are still there.
        if (SessionLost(status))
            return;
    }
    listed_ = sets;
    cboRecordSet_->blockSignals(true);
    cboRecordSet_->clear();
    if (MayAdd()) {
        if (mayCreate_)
            cboRecordSet_->addItem(QStringLiteral("(new record set)"), NewSet);
        if (status != 0)
            search_.Messages().Warning(
                window(), RecordSetFiller::StatusText(RecordSetFiller::Operation::LoadSets, status));
        for (const TargetSet& set : sets)
            if (mayFillAny_ || (mayFillOwn_ && set.creator == operatorId()))
                cboRecordSet_->addItem(set.name, set.id);
        cboRecordSet_->setCurrentIndex(std::max(0, cboRecordSet_->findData(select)));
    }
    cboRecordSet_->blockSignals(false);
    lblRights_->setText(MayAdd() ? QString()
                                 : QStringLiteral("You may not add %1 records to record sets.")
                                       .arg(RecordTypeDisplayName(recordType_)));
    showTarget();
}

std::optional<qint32> AddToSetPanel::heldBy(qint32 setId) const {
    for (const TargetSet& set : listed_)
        if (set.id == setId)
            return set.count;
    return std::nullopt;
}

void AddToSetPanel::showTarget() {
    const bool offered = MayAdd() && cboRecordSet_->count() > 0;
    const bool creating = offered && cboRecordSet_->currentData().toInt() == NewSet;
    cboRecordSet_->setEnabled(offered);
    lblNewSetName_->setEnabled(creating);
    txtNewSetName_->setEnabled(creating);
    cmdAddSelected_->setEnabled(offered && selectedCount_ > 0);
    cmdAddAll_->setEnabled(offered && hitCount_ > 0);
}

void AddToSetPanel::SetHitCounts(int all, int selected) {
    hitCount_ = all;
    selectedCount_ = selected;
    showTarget();
}

bool AddToSetPanel::Add(bool all) {
    if (!MayAdd() || !hits_)
        return false;
    const QList<qint32> ids = hits_(all);
    if (ids.isEmpty()) {
        search_.Messages().Warning(window(), all ? QStringLiteral("There are no hits to add.")
                                                 : QStringLiteral("Select the hits to add."));
        return false;
    }
    RecordSetFiller filler(channel_, operatorId());
    qint32 setId = cboRecordSet_->currentData().toInt();
    QString setName = cboRecordSet_->currentText();
    // What the set holds before, read fresh: the difference afterwards is
    // what the server added, ids already in the set not counted.
    std::optional<qint32> before;
    if (setId != NewSet) {
        fillSets(setId);
        before = heldBy(setId);
    }
    if (setId == NewSet) {
        setName = txtNewSetName_->text().trimmed();
        if (setName.isEmpty()) {
            search_.Messages().Warning(window(),
                                       QStringLiteral("Enter a name for the new record set."));
            txtNewSetName_->setFocus();
            return false;
        }
        const qint16 status = filler.CreateSet(setName, recordType_, setId);
        if (status != 0) {
            search_.Messages().Warning(
                window(), RecordSetFiller::StatusText(RecordSetFiller::Operation::CreateSet, status));
            return false;
        }
        setsChanged_ = true;
        txtNewSetName_->clear();
        before = 0;
    }
    QList<qint32> notAdded;
    const qint16 status = filler.AddIds(setId, ids, notAdded);
    // A new set stays, filled or not: list it so the next add can pick it.
    fillSets(setId);
    if (status != 0) {
        search_.Messages().Warning(
            window(), RecordSetFiller::StatusText(RecordSetFiller::Operation::AddIds, status));
        return false;
    }
    setsChanged_ = true;
    const std::optional<qint32> after = heldBy(setId);
    std::optional<int> added;
    if (before && after)
        added = *after - *before;
    search_.Messages().Information(window(), outcome(static_cast<int>(ids.size()), notAdded,
                                                     added, recordType_, setName));
    return true;
}

} // namespace orvane
