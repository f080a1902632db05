#pragma once
// An ordered collection of model objects, each found by its Key(). Objects
// are held by pointer so that references to them (a consequence's rule, its
// target line) stay valid while the collection grows or is reordered.

#include <cstddef>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace rules {

template <typename T> class KeyedCollection {
    using Items = std::vector<std::unique_ptr<T>>;

    template <typename Base, typename Value> class Iter {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;

        Iter() = default;
        explicit Iter(Base it) : it_(it) {}
        reference operator*() const { return **it_; }
        pointer operator->() const { return it_->get(); }
        Iter& operator++() {
            ++it_;
            return *this;
        }
        Iter operator++(int) {
            Iter old = *this;
            ++it_;
            return old;
        }
        bool operator==(const Iter& other) const { return it_ == other.it_; }

    private:
        Base it_{};
    };

public:
    using iterator = Iter<typename Items::iterator, T>;
    using const_iterator = Iter<typename Items::const_iterator, const T>;

    T& Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return *items_.back();
    }

    // Position of the item with this key, or -1.
    std::ptrdiff_t IndexOf(std::string_view key) const {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i]->Key() == key)
                return static_cast<std::ptrdiff_t>(i);
        return -1;
    }

    T* Find(std::string_view key) const {
        const auto at = IndexOf(key);
        return at < 0 ? nullptr : items_[static_cast<std::size_t>(at)].get();
    }

    bool Remove(std::string_view key) {
        const auto at = IndexOf(key);
        if (at < 0)
            return false;
        items_.erase(items_.begin() + at);
        return true;
    }

    void Swap(std::size_t a, std::size_t b) { std::swap(items_[a], items_[b]); }
    void Clear() { items_.clear(); }

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    T& operator[](std::size_t i) { return *items_[i]; }
    const T& operator[](std::size_t i) const { return *items_[i]; }

    iterator begin() { return iterator(items_.begin()); }
    iterator end() { return iterator(items_.end()); }
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

private:
    Items items_;
};

} // namespace rules
