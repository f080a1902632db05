#include "template_lists.h"

#include "rule_template_tools.h"

#include <QComboBox>

namespace velumar {

using rules::RuleTemplateTools;

void ShowTemplateList(QComboBox& combo, const rules::TemplateList& list) {
    const QSignalBlocker quiet(combo);
    combo.clear();
    for (const auto& item : list.items)
        AddListItem(combo, QString::fromStdString(item.text), item.itemData);
    combo.setCurrentIndex(list.selected);
}

rules::TemplateList TemplateListOf(const QComboBox& combo) {
    rules::TemplateList list;
    for (int i = 0; i < combo.count(); ++i)
        RuleTemplateTools::AddListItem(list, combo.itemText(i).toStdString(),
                                       combo.itemData(i).toInt());
    list.selected = combo.currentIndex();
    return list;
}

qint32 SelectedItemData(const QComboBox& combo) {
    return RuleTemplateTools::SelectedItemData(TemplateListOf(combo));
}

void SelectByItemData(QComboBox& combo, qint32 value) {
    rules::TemplateList list = TemplateListOf(combo);
    RuleTemplateTools::SelectByItemData(list, value);
    combo.setCurrentIndex(list.selected);
}

void AddListItem(QComboBox& combo, const QString& text, qint32 itemData) {
    combo.addItem(text, itemData);
}

} // namespace velumar
