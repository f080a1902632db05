#pragma once
// The editor's lists on screen: a rule TemplateList copied into a combo box
// (each entry's item data kept as Qt::UserRole), and read back the same way.

#include <QtGlobal>

class QComboBox;

namespace rules {
struct TemplateList;
}

namespace velumar {

// Clears the combo, adds the list's entries and selects as the list does.
void ShowTemplateList(QComboBox& combo, const rules::TemplateList& list);
// The entries and the selection as the model's list.
rules::TemplateList TemplateListOf(const QComboBox& combo);
// The selected entry's item data; -1 when nothing is selected.
qint32 SelectedItemData(const QComboBox& combo);
// The first entry carrying the value, scanning from the top; none: no selection.
void SelectByItemData(QComboBox& combo, qint32 value);
void AddListItem(QComboBox& combo, const QString& text, qint32 itemData);

} // namespace velumar
