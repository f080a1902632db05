#pragma once
// The kinds of heading whose multiple matches are merged (vsfMultiReduce):
// seven tick boxes, each stored as its parameter "Y" or "N".

#include <QTableWidget>

namespace velumar {

class RuleSet;

class MultipleMatchesGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit MultipleMatchesGrid(QWidget* parent = nullptr);

    void Load(const RuleSet& merge);
    void Store(RuleSet& merge) const;
};

} // namespace velumar
