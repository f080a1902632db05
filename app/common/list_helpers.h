#pragma once
// Helpers for the drop-down lists of the screens, whose entries keep an id
// as item data (Qt::UserRole), and for the small id-and-name collections.

#include "common/id_name_bean.h"
#include "common/keyed_collection.h"

class QComboBox;

namespace velumar {

// Adds an IdNameBean under its key, the id in decimal; false when that id is held.
bool AddIdNameToCollection(KeyedCollection<IdNameBean>& collection, qint32 id, const QString& name);

// itemData not -1: select the entry carrying it (none carries it: no change).
// Then index not -1 and inside the list: select the entry at index, which wins.
void SelectListEntry(QComboBox& combo, int index, qint32 itemData);

struct ListSelection {
    int index = -1;
    qint32 itemData = -1;
};

// The selected position and its item data; -1 and -1 when nothing is selected.
ListSelection GetListSelection(const QComboBox& combo);

} // namespace velumar
