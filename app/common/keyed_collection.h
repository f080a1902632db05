#pragma once
// An ordered collection of value objects, each under a text key (an
// object's id written as a decimal number, unless its kind says otherwise).
// A key is held once: adding under a key already held changes nothing.

#include <QString>
#include <utility>
#include <vector>

namespace velumar {

template <typename T> class KeyedCollection {
public:
    // False, and the collection unchanged, when the key is already held.
    bool Add(const QString& key, T item) {
        if (Contains(key))
            return false;
        entries_.push_back({key, std::move(item)});
        return true;
    }

    bool Contains(const QString& key) const { return find(key) != nullptr; }
    // The item under the key; null when none.
    const T* Item(const QString& key) const { return find(key); }
    T* Item(const QString& key) { return const_cast<T*>(std::as_const(*this).find(key)); }

    bool Remove(const QString& key) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->first == key) {
                entries_.erase(it);
                return true;
            }
        return false;
    }
    void Clear() { entries_.clear(); }

    int Count() const { return static_cast<int>(entries_.size()); }
    // By position, from 0, in the order added.
    const T& At(int index) const { return entries_[static_cast<std::size_t>(index)].second; }
    const QString& KeyAt(int index) const {
        return entries_[static_cast<std::size_t>(index)].first;
    }

private:
    const T* find(const QString& key) const {
        for (const auto& entry : entries_)
            if (entry.first == key)
                return &entry.second;
        return nullptr;
    }

    std::vector<std::pair<QString, T>> entries_;
};

} // namespace velumar
