#pragma once

// A list of callbacks told of one kind of change. Each observer gets an id
// that removes it again. An observer may add or remove observers (itself
// included) while they are told: they are told from a copy, one added meanwhile
// waits for the next change, and one removed meanwhile is not told any more
// (its owner may be gone).
//
// Notifying<T> is a value with its observers: the one place that changes it
// tells them, so no caller can forget to.

#include <functional>
#include <map>
#include <utility>

namespace kvx {

class Observers {
public:
    int add(std::function<void()> observer) {
        m_observers.emplace(m_nextId, std::move(observer));
        return m_nextId++;
    }
    void remove(int id) { m_observers.erase(id); }
    void notify() const {
        const auto observers = m_observers;
        for (const auto& [id, observer] : observers) {
            if (m_observers.contains(id))
                observer();
        }
    }

private:
    std::map<int, std::function<void()>> m_observers;
    int m_nextId = 0;
};

template <typename T>
class Notifying {
public:
    const T& value() const { return m_value; }
    // Replaces the value and tells the observers when it differs; true then.
    bool set(const T& value) {
        if (value == m_value)
            return false;
        m_value = value;
        m_observers.notify();
        return true;
    }
    int observe(std::function<void()> observer) { return m_observers.add(std::move(observer)); }
    void unobserve(int id) { m_observers.remove(id); }

private:
    T m_value{};
    Observers m_observers;
};

} // namespace kvx
