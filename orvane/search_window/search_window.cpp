#include "search_window.h"

#include "add_to_set_panel.h"
#include "brief_lines.h"
#include "channel.h"
#include "record_search.h"
#include "search_indexes.h"
#include "search_messages.h"
#include "session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace orvane {

namespace {

constexpr int Bibliographic = 1;
constexpr int Holdings = 2;
constexpr int Authority = 3;

QStringList headingsFor(int recordType) {
    switch (recordType) {
    case Authority:
        return {QStringLiteral("Id"), QStringLiteral("Heading"), QStringLiteral("Changed")};
    case Holdings:
        return {QStringLiteral("Id"), QStringLiteral("Location and call number"),
                QStringLiteral("Changed")};
    default:
        return {QStringLiteral("Id"), QStringLiteral("Title"), QStringLiteral("Published")};
    }
}

QString searchFailure(qint16 status, int recordType, const QString& indexCaption) {
    switch (status) {
    case 6:
        return QStringLiteral("Operator not authorized to search %1 records.")
            .arg(RecordTypeDisplayName(recordType).toLower());
    case 8:
        return QStringLiteral("There is nothing to search for in these terms in the %1 index.")
            .arg(indexCaption);
    default:
        return QStringLiteral("Failed to search the catalogue. Error code = %1").arg(status);
    }
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

SearchWindow::SearchWindow(RecordSearch& search, Channel& channel, QWidget* parent)
    : QDialog(parent), search_(search), channel_(channel) {
    setWindowTitle(QStringLiteral("Catalogue Search"));
    setObjectName(QStringLiteral("frmCatalogueSearch"));

    auto* searchBox = new QGroupBox(QStringLiteral("Search"), this);
    cboRecordType_ = new QComboBox(searchBox);
    cboRecordType_->setObjectName(QStringLiteral("cboRecordType"));
    cboIndex_ = new QComboBox(searchBox);
    cboIndex_->setObjectName(QStringLiteral("cboIndex"));
    txtTerms_ = new QLineEdit(searchBox);
    txtTerms_->setObjectName(QStringLiteral("txtTerms"));
    txtTerms_->setPlaceholderText(QStringLiteral("End a term with * to search for its beginning"));
    cmdSearch_ = new QPushButton(QStringLiteral("&Search"), searchBox);
    cmdSearch_->setObjectName(QStringLiteral("cmdSearch"));
    cmdSearch_->setDefault(true);
    chkAutoTruncation_ =
        new QCheckBox(QStringLiteral("Automatic tr&uncation for non keyword searches"), searchBox);
    chkAutoTruncation_->setObjectName(QStringLiteral("chkAutoTruncation"));
    chkAutoTruncation_->setChecked(search_.AutoTruncation());

    auto* typeLabel = new QLabel(QStringLiteral("Record &type:"), searchBox);
    typeLabel->setBuddy(cboRecordType_);
    auto* indexLabel = new QLabel(QStringLiteral("&Index:"), searchBox);
    indexLabel->setBuddy(cboIndex_);
    auto* termsLabel = new QLabel(QStringLiteral("Search &for:"), searchBox);
    termsLabel->setBuddy(txtTerms_);
    auto* searchLayout = new QGridLayout(searchBox);
    searchLayout->addWidget(typeLabel, 0, 0);
    searchLayout->addWidget(cboRecordType_, 0, 1);
    searchLayout->addWidget(indexLabel, 0, 2);
    searchLayout->addWidget(cboIndex_, 0, 3);
    searchLayout->addWidget(termsLabel, 1, 0);
    searchLayout->addWidget(txtTerms_, 1, 1, 1, 3);
    searchLayout->addWidget(cmdSearch_, 1, 4);
    searchLayout->addWidget(chkAutoTruncation_, 2, 1, 1, 3);
    searchLayout->setColumnStretch(1, 1);
    searchLayout->setColumnStretch(3, 1);

    lblResult_ = new QLabel(this);
    lblResult_->setObjectName(QStringLiteral("lblResult"));
    grdResults_ = new QTableWidget(0, 3, this);
    grdResults_->setObjectName(QStringLiteral("grdResults"));
    grdResults_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdResults_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdResults_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdResults_->verticalHeader()->hide();
    grdResults_->setWordWrap(false);
    grdResults_->setHorizontalHeaderLabels(headingsFor(Bibliographic));
    QHeaderView* header = grdResults_->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Interactive);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::Interactive);
    grdResults_->setColumnWidth(0, 80);
    grdResults_->setColumnWidth(2, 110);
    if (!search_.FontName().isEmpty()) {
        QFont font = grdResults_->font();
        font.setFamily(search_.FontName());
        grdResults_->setFont(font);
    }
    grdResults_->verticalHeader()->setDefaultSectionSize(grdResults_->fontMetrics().height() + 6);

    addPanel_ = new AddToSetPanel(search_, channel_, this);
    addPanel_->SetHitSource([this](bool all) { return all ? hits_ : SelectedHits(); });

    cmdClose_ = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setAutoDefault(false);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(cmdClose_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(searchBox);
    layout->addWidget(lblResult_);
    layout->addWidget(grdResults_, 1);
    layout->addWidget(addPanel_);
    layout->addLayout(closeRow);

    setTabOrder(cboRecordType_, cboIndex_);
    setTabOrder(cboIndex_, txtTerms_);
    setTabOrder(txtTerms_, cmdSearch_);
    setTabOrder(cmdSearch_, chkAutoTruncation_);
    setTabOrder(chkAutoTruncation_, grdResults_);
    setTabOrder(grdResults_, addPanel_->RecordSetList());
    setTabOrder(addPanel_->RecordSetList(), addPanel_->NewSetName());
    setTabOrder(addPanel_->NewSetName(), addPanel_->AddSelectedButton());
    setTabOrder(addPanel_->AddSelectedButton(), addPanel_->AddAllButton());
    setTabOrder(addPanel_->AddAllButton(), cmdClose_);

    connect(cmdSearch_, &QPushButton::clicked, this, [this] { Search(); });
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::accept);
    connect(grdResults_, &QTableWidget::itemSelectionChanged, this, [this] { showHitCounts(); });

    fillRecordTypes();
    restoreLastSearch();
    connect(cboRecordType_, &QComboBox::currentIndexChanged, this, [this] { recordTypeChosen(); });
    recordTypeChosen();
    txtTerms_->setFocus();
    resize(DefaultWidth, DefaultHeight);
}

SearchWindow::~SearchWindow() = default;

void SearchWindow::fillRecordTypes() {
    for (const int type : {Bibliographic, Holdings, Authority}) {
        // Authority records are searched only with the right to view them.
        if (type == Authority && !search_.SearchRight())
            continue;
        cboRecordType_->addItem(RecordTypeDisplayName(type), type);
    }
}

int SearchWindow::recordType() const { return cboRecordType_->currentData().toInt(); }

void SearchWindow::recordTypeChosen() {
    const QString kept = cboIndex_->currentData().toString();
    cboIndex_->clear();
    for (const SearchIndex& index : SearchIndexesFor(recordType()))
        cboIndex_->addItem(index.caption, index.code);
    cboIndex_->setCurrentIndex(std::max(0, cboIndex_->findData(kept)));

    // Hits of another type cannot go into this type's sets.
    ++generation_;
    hits_.clear();
    filled_ = 0;
    grdResults_->setRowCount(0);
    grdResults_->setHorizontalHeaderLabels(headingsFor(recordType()));
    lblResult_->setText(QStringLiteral("Enter the terms and choose Search."));
    addPanel_->SetRecordType(recordType());
    showHitCounts();
}

void SearchWindow::restoreLastSearch() {
    const RecordSearch::LastSearch& last = search_.LastSearched();
    if (!search_.RetainSearch() || last.recordType == 0)
        return;
    const int type = cboRecordType_->findData(last.recordType);
    if (type < 0)
        return;
    cboRecordType_->setCurrentIndex(type);
    for (const SearchIndex& index : SearchIndexesFor(last.recordType))
        cboIndex_->addItem(index.caption, index.code);
    cboIndex_->setCurrentIndex(std::max(0, cboIndex_->findData(last.indexCode)));
    txtTerms_->setText(last.terms);
}

bool SearchWindow::Search() {
    const QString terms = txtTerms_->text().trimmed();
    if (terms.isEmpty()) {
        search_.Messages().Warning(this, QStringLiteral("Enter the terms to search for."));
        txtTerms_->setFocus();
        return false;
    }
    const int type = recordType();
    const QString code = cboIndex_->currentData().toString();
    const bool truncate = chkAutoTruncation_->isChecked() && !IsKeywordIndex(code);
    search_.RememberSearch({type, code, terms});

    ++generation_;
    grdResults_->setRowCount(0);
    grdResults_->setHorizontalHeaderLabels(headingsFor(type));
    filled_ = 0;
    hitsType_ = type;
    const int found = search_.SearchTruncated(channel_, code, terms, truncate, hits_, type);
    showHitCounts();
    if (found == 0) {
        lblResult_->setText(QStringLiteral("The search failed."));
        search_.Messages().Warning(
            this, searchFailure(search_.LastStatus(), type, cboIndex_->currentText()));
        return false;
    }
    if (hits_.isEmpty()) {
        lblResult_->setText(QStringLiteral("No records found."));
        return true;
    }
    lblResult_->setText(hits_.size() == 1
                            ? QStringLiteral("1 record found.")
                            : QStringLiteral("%1 records found.").arg(hits_.size()));
    // The first page at once; the rest as the event loop allows, so a large
    // result can be looked at while it fills.
    fillNextPage();
    schedulePage();
    return true;
}

void SearchWindow::schedulePage() {
    if (!FillPending())
        return;
    QTimer::singleShot(0, this, [this, generation = generation_] {
        if (generation != generation_ || !FillPending())
            return;
        fillNextPage();
        schedulePage();
    });
}

void SearchWindow::FinishFill() {
    while (FillPending())
        fillNextPage();
}

void SearchWindow::fillNextPage() {
    const QList<qint32> page = hits_.mid(filled_, BriefPageSize);
    QList<BriefLine> lines;
    const QString operatorId =
        search_.BoundSession() ? search_.BoundSession()->OperatorId() : QString();
    const qint16 status = FetchBriefLines(channel_, operatorId, hitsType_, page, lines);
    const int first = grdResults_->rowCount();
    if (status != 0) {
        // Without their titles the hits can still be added: show every id.
        const QList<qint32> rest = hits_.mid(filled_);
        grdResults_->setRowCount(first + static_cast<int>(rest.size()));
        for (int i = 0; i < rest.size(); ++i) {
            QTableWidgetItem* id = cell(QString::number(rest[i]));
            id->setData(Qt::UserRole, rest[i]);
            grdResults_->setItem(first + i, 0, id);
        }
        filled_ = hits_.size();
        lblResult_->setText(lblResult_->text() +
                            QStringLiteral(" Titles could not be fetched. Error code = %1")
                                .arg(status));
        return;
    }
    grdResults_->setRowCount(first + static_cast<int>(page.size()));
    for (int i = 0; i < page.size(); ++i) {
        // The answer holds the ids in the order asked; a short answer leaves texts empty.
        const BriefLine line = i < lines.size() && lines[i].id == page[i] ? lines[i] : BriefLine{};
        QTableWidgetItem* id = cell(QString::number(page[i]));
        id->setData(Qt::UserRole, page[i]);
        id->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdResults_->setItem(first + i, 0, id);
        // MARC-8 records arrive with combining marks; one character per letter reads better.
        grdResults_->setItem(first + i, 1,
                             cell(line.title.normalized(QString::NormalizationForm_C)));
        grdResults_->setItem(first + i, 2, cell(line.date));
    }
    filled_ += page.size();
}

QList<qint32> SearchWindow::SelectedHits() const {
    QList<int> rows;
    for (const QModelIndex& index : grdResults_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    QList<qint32> ids;
    for (const int row : rows)
        if (const QTableWidgetItem* item = grdResults_->item(row, 0))
            ids.push_back(item->data(Qt::UserRole).toInt());
    return ids;
}

void SearchWindow::showHitCounts() {
    addPanel_->SetHitCounts(static_cast<int>(hits_.size()),
                            static_cast<int>(grdResults_->selectionModel()->selectedRows().size()));
}

} // namespace orvane
