#pragma once
// The navigation bar (albMain): groups stacked one above the other, the
// current one open with its items as pictures and captions. A click on an
// item asks for its function.

#include <QIcon>
#include <QStringList>
#include <QToolBox>

class QListWidget;
class QListWidgetItem;

namespace velumar {

class NavigationBar : public QToolBox {
    Q_OBJECT
public:
    explicit NavigationBar(QWidget* parent = nullptr);

    void AddGroup(const QString& key, const QString& caption, const QIcon& icon);
    void AddItem(const QString& groupKey, const QString& key, const QString& caption,
                 const QIcon& icon);
    void RemoveGroup(const QString& key);
    void RemoveItem(const QString& key);

    QStringList GroupCaptions() const;
    QStringList ItemCaptions(const QString& groupKey) const;
    bool HasItem(const QString& key) const;

    // Empty when no group is current.
    QString CurrentGroupCaption() const;
    // Makes the first group of this caption current; false, and no change, when none has it.
    bool SelectGroup(const QString& caption);

    // Highlights the item of the screen in front, in its own group, and no
    // other; an empty or unknown key highlights none.
    void HighlightItem(const QString& key);
    // The key of the highlighted item; empty when none is.
    QString HighlightedItem() const;

    // What a click on the item does.
    void ActivateItem(const QString& key);

signals:
    void ItemActivated(const QString& key, const QString& groupCaption, const QString& itemCaption);

private:
    QListWidget* groupList(const QString& groupKey) const;
    QListWidgetItem* findItem(const QString& key) const;
    void activate(const QListWidgetItem* item);
};

} // namespace velumar
