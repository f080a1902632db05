#pragma once
// The open screens that list record sets. Each registers how it refills its
// list, and stays registered while it holds the registration; a refresh
// runs every one of them.

#include <QtGlobal>
#include <functional>
#include <map>
#include <utility>

namespace velumar {

class RecordSetScreens {
public:
    // Refills a screen's list, selecting the given set id when it is listed.
    using Refill = std::function<void(qint32 selectId)>;

    class Registration {
    public:
        Registration() = default;
        Registration(RecordSetScreens* screens, int id) : screens_(screens), id_(id) {}
        ~Registration() { release(); }
        Registration(Registration&& other) noexcept
            : screens_(std::exchange(other.screens_, nullptr)), id_(other.id_) {}
        Registration& operator=(Registration&& other) noexcept {
            if (this != &other) {
                release();
                screens_ = std::exchange(other.screens_, nullptr);
                id_ = other.id_;
            }
            return *this;
        }
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;

    private:
        void release() {
            if (screens_)
                screens_->remove(id_);
            screens_ = nullptr;
        }
        RecordSetScreens* screens_ = nullptr;
        int id_ = 0;
    };

    [[nodiscard]] Registration Register(Refill refill);
    // Every registered screen, in the order they registered.
    void RefillAll(qint32 selectId);
    int Count() const { return static_cast<int>(refills_.size()); }

private:
    void remove(int id) { refills_.erase(id); }

    std::map<int, Refill> refills_;
    int nextId_ = 1;
};

} // namespace velumar
