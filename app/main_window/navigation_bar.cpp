#include "main_window/navigation_bar.h"

#include <QListWidget>

namespace velumar {

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr char GroupKeyProperty[] = "groupKey";

} // namespace

NavigationBar::NavigationBar(QWidget* parent) : QToolBox(parent) {
    setObjectName(QStringLiteral("albMain"));
    // Looks of the bar: group headings as flat bands, the open group as a
    // light pane; the palette keeps it in step with the desktop's theme.
    setStyleSheet(QStringLiteral(
        "QToolBox#albMain { background: palette(window); }"
        "QToolBox#albMain::tab { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 palette(light), stop:1 palette(button)); border: 1px solid palette(mid);"
        " border-radius: 3px; padding: 3px 4px; font-weight: 600; }"
        "QToolBox#albMain::tab:selected { background: palette(highlight);"
        " color: palette(highlighted-text); border-color: palette(highlight); }"
        "QListWidget { border: 1px solid palette(mid); border-radius: 3px;"
        " background: palette(base); }"
        "QListWidget::item { padding: 2px 4px; border-radius: 4px; color: palette(text); }"
        "QListWidget::item:hover { background: palette(alternate-base); color: palette(text); }"
        // Selected wins over hovered, so the open function's caption stays readable.
        "QListWidget::item:selected, QListWidget::item:selected:hover,"
        " QListWidget::item:selected:!active { background: palette(highlight);"
        " color: palette(highlighted-text); }"));
}

void NavigationBar::AddGroup(const QString& key, const QString& caption, const QIcon& icon) {
    auto* list = new QListWidget;
    list->setProperty(GroupKeyProperty, key);
    list->setViewMode(QListView::ListMode);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setIconSize(QSize(28, 28));
    list->setSpacing(1);
    list->setWordWrap(true);
    list->setTextElideMode(Qt::ElideNone);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setFocusPolicy(Qt::StrongFocus);
    connect(list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { activate(item); });
    connect(list, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { activate(item); });
    addItem(list, icon, caption);
}

void NavigationBar::AddItem(const QString& groupKey, const QString& key, const QString& caption,
                            const QIcon& icon) {
    QListWidget* list = groupList(groupKey);
    if (!list)
        return;
    auto* entry = new QListWidgetItem(icon, caption, list);
    entry->setData(KeyRole, key);
    entry->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    entry->setSizeHint(QSize(0, 40));
    entry->setToolTip(caption);
}

void NavigationBar::RemoveGroup(const QString& key) {
    QListWidget* list = groupList(key);
    if (!list)
        return;
    removeItem(indexOf(list));
    list->deleteLater();
}

void NavigationBar::RemoveItem(const QString& key) {
    delete findItem(key);
}

QStringList NavigationBar::GroupCaptions() const {
    QStringList captions;
    for (int i = 0; i < count(); ++i)
        captions.push_back(itemText(i));
    return captions;
}

QStringList NavigationBar::ItemCaptions(const QString& groupKey) const {
    QStringList captions;
    if (const QListWidget* list = groupList(groupKey))
        for (int i = 0; i < list->count(); ++i)
            captions.push_back(list->item(i)->text());
    return captions;
}

bool NavigationBar::HasItem(const QString& key) const {
    return findItem(key) != nullptr;
}

QString NavigationBar::CurrentGroupCaption() const {
    return currentIndex() < 0 ? QString() : itemText(currentIndex());
}

bool NavigationBar::SelectGroup(const QString& caption) {
    for (int i = 0; i < count(); ++i)
        if (itemText(i) == caption) {
            setCurrentIndex(i);
            return true;
        }
    return false;
}

void NavigationBar::HighlightItem(const QString& key) {
    QListWidgetItem* chosen = key.isEmpty() ? nullptr : findItem(key);
    for (int i = 0; i < count(); ++i) {
        auto* list = qobject_cast<QListWidget*>(widget(i));
        if (!list)
            continue;
        if (chosen && chosen->listWidget() == list) {
            list->setCurrentItem(chosen, QItemSelectionModel::ClearAndSelect);
        } else {
            list->clearSelection();
            list->setCurrentItem(nullptr, QItemSelectionModel::Clear);
        }
    }
}

QString NavigationBar::HighlightedItem() const {
    for (int i = 0; i < count(); ++i)
        if (auto* list = qobject_cast<QListWidget*>(widget(i)))
            for (const QListWidgetItem* item : list->selectedItems())
                return item->data(KeyRole).toString();
    return {};
}

void NavigationBar::ActivateItem(const QString& key) {
    QListWidgetItem* item = findItem(key);
    if (!item)
        return;
    // An item is clicked in its open group.
    setCurrentWidget(item->listWidget());
    activate(item);
}

QListWidget* NavigationBar::groupList(const QString& groupKey) const {
    for (int i = 0; i < count(); ++i) {
        auto* list = qobject_cast<QListWidget*>(widget(i));
        if (list && list->property(GroupKeyProperty).toString() == groupKey)
            return list;
    }
    return nullptr;
}

QListWidgetItem* NavigationBar::findItem(const QString& key) const {
    for (int i = 0; i < count(); ++i)
        if (auto* list = qobject_cast<QListWidget*>(widget(i)))
            for (int row = 0; row < list->count(); ++row)
                if (list->item(row)->data(KeyRole).toString() == key)
                    return list->item(row);
    return nullptr;
}

void NavigationBar::activate(const QListWidgetItem* item) {
    // The group of a click is the bar's current one: only its items are in view.
    emit ItemActivated(item->data(KeyRole).toString(), CurrentGroupCaption(), item->text());
}

} // namespace velumar
