#include "submit/choice_lists.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace velumar {

qint32 ChosenId(const QComboBox& list) {
    return list.currentIndex() < 0 ? -1 : list.currentData().toInt();
}

void RefillKeepingChoice(QComboBox& list, const std::function<void()>& fill) {
    const qint32 chosen = ChosenId(list);
    {
        // A refill is no choice of the operator's.
        const QSignalBlocker quiet(&list);
        fill();
        list.setCurrentIndex(chosen < 0 ? -1 : list.findData(chosen));
    }
    emit list.currentIndexChanged(list.currentIndex());
}

} // namespace velumar
