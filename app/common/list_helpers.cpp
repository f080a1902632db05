#include "common/list_helpers.h"

#include <QComboBox>

namespace velumar {

bool AddIdNameToCollection(KeyedCollection<IdNameBean>& collection, qint32 id,
                           const QString& name) {
    return collection.Add(QString::number(id), IdNameBean{id, name});
}

void SelectListEntry(QComboBox& combo, int index, qint32 itemData) {
    if (itemData != -1) {
        const int found = combo.findData(itemData);
        if (found >= 0)
            combo.setCurrentIndex(found);
    }
    if (index != -1 && index >= 0 && combo.count() > index)
        combo.setCurrentIndex(index);
}

ListSelection GetListSelection(const QComboBox& combo) {
    const int index = combo.currentIndex();
    if (index < 0)
        return {};
    const QVariant data = combo.itemData(index);
    return {index, data.isValid() ? data.toInt() : -1};
}

} // namespace velumar
