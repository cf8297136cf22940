#pragma once
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace q9framework {

/** The toolkit's growable array: a vector whose capacity, when an append finds it full, becomes
    count + max(5, count / 2), so appends stay amortised without the doubling that wastes memory on the
    many small lists of a component tree. Removal keeps the order of the remaining entries (paint order
    and hit order depend on it). Indices outside 0..size-1 are refused: getters return a default value,
    removals do nothing. Not thread-safe; the component tree uses it on the main thread only. */
template <typename T>
class Array {
public:
    Array() = default;

    int size() const noexcept { return static_cast<int>(items.size()); }
    bool isEmpty() const noexcept { return items.empty(); }
    int capacity() const noexcept { return static_cast<int>(items.capacity()); }

    /** Unchecked access for loops that know their bounds. */
    T& operator[](int index) noexcept { return items[static_cast<size_t>(index)]; }
    const T& operator[](int index) const noexcept { return items[static_cast<size_t>(index)]; }
    /** A copy of the entry, or a default-constructed value for a bad index. */
    T get(int index) const { return index >= 0 && index < size() ? items[static_cast<size_t>(index)] : T(); }

    T* begin() noexcept { return items.data(); }
    T* end() noexcept { return items.data() + items.size(); }
    const T* begin() const noexcept { return items.data(); }
    const T* end() const noexcept { return items.data() + items.size(); }
    T* data() noexcept { return items.data(); }
    const T* data() const noexcept { return items.data(); }

    void add(const T& value)
    {
        makeRoom();
        items.push_back(value);
    }
    void add(T&& value)
    {
        makeRoom();
        items.push_back(std::move(value));
    }
    /** An index below 0 or beyond the end appends. */
    void insert(int index, const T& value)
    {
        makeRoom();
        if (index < 0 || index > size())
            index = size();
        items.insert(items.begin() + index, value);
    }
    void remove(int index)
    {
        if (index >= 0 && index < size())
            items.erase(items.begin() + index);
    }
    /** Removes count entries from index on (clamped to the array). */
    void removeRange(int index, int count)
    {
        const int start = std::max(0, index), stop = std::min(size(), index + std::max(0, count));
        if (start < stop)
            items.erase(items.begin() + start, items.begin() + stop);
    }
    /** Removes the first entry equal to value; false when there is none. */
    bool removeFirstMatching(const T& value)
    {
        const int i = indexOf(value);
        remove(i);
        return i >= 0;
    }
    void clear() noexcept { items.clear(); }

    int indexOf(const T& value) const
    {
        for (int i = 0; i < size(); ++i)
            if (items[static_cast<size_t>(i)] == value)
                return i;
        return -1;
    }
    bool contains(const T& value) const { return indexOf(value) >= 0; }

private:
    void makeRoom()
    {
        const size_t count = items.size();
        if (count == items.capacity())
            items.reserve(count + std::max<size_t>(5, count / 2));
    }

    std::vector<T> items;
};

/** A list of observers (not owned): adding one that is present does nothing, removing reports whether it
    was there. `call` visits every listener registered when it reaches it, in order, and stays correct
    when a listener removes itself or others (or adds new ones, which are visited too) from inside the
    notification, also in nested notifications. */
template <typename ListenerType>
class ListenerList {
public:
    ListenerList() = default;
    ListenerList(const ListenerList&) = delete;
    ListenerList& operator=(const ListenerList&) = delete;

    /** False (and nothing changes) for null or an already registered listener. */
    bool add(ListenerType* listener)
    {
        if (listener == nullptr || listeners.contains(listener))
            return false;
        listeners.add(listener);
        return true;
    }
    bool remove(ListenerType* listener)
    {
        const int i = listeners.indexOf(listener);
        if (i < 0)
            return false;
        listeners.remove(i);
        for (Iteration* it = iterations; it != nullptr; it = it->outer)
            if (i <= it->index)
                --it->index;
        return true;
    }
    bool contains(ListenerType* listener) const { return listeners.contains(listener); }
    int size() const noexcept { return listeners.size(); }
    void clear() noexcept
    {
        listeners.clear();
        for (Iteration* it = iterations; it != nullptr; it = it->outer)
            it->index = -1;
    }

    /** function(listener&) for each listener, surviving removals made by the listeners themselves. */
    template <typename Function>
    void call(Function&& function)
    {
        Iteration it{-1, iterations};
        iterations = &it;
        while (++it.index < listeners.size())
            function(*listeners[it.index]);
        iterations = it.outer;
    }

private:
    struct Iteration {
        int index;
        Iteration* outer;
    };
    Array<ListenerType*> listeners;
    Iteration* iterations = nullptr;
};

/** An array that owns heap objects: clearing or destroying it deletes them, removing one deletes it
    unless it is taken out with removeAndReturn. */
template <typename T>
class OwnedArray {
public:
    OwnedArray() = default;
    OwnedArray(const OwnedArray&) = delete;
    OwnedArray& operator=(const OwnedArray&) = delete;
    ~OwnedArray() { clear(); }

    int size() const noexcept { return objects.size(); }
    bool isEmpty() const noexcept { return objects.isEmpty(); }
    /** Null for a bad index. */
    T* operator[](int index) const noexcept { return index >= 0 && index < size() ? objects[index] : nullptr; }
    T* const* begin() const noexcept { return objects.begin(); }
    T* const* end() const noexcept { return objects.end(); }
    int indexOf(const T* object) const { return objects.indexOf(const_cast<T*>(object)); }

    /** Takes ownership. An index below 0 or beyond the end appends. */
    void insert(int index, T* object) { objects.insert(index, object); }
    void add(T* object) { objects.add(object); }
    /** Takes the object out without deleting it; null for a bad index. */
    T* removeAndReturn(int index)
    {
        T* object = (*this)[index];
        objects.remove(index);
        return object;
    }
    void remove(int index) { delete removeAndReturn(index); }
    /** Deletes every object, last first; each is out of the array before its destructor runs. */
    void clear()
    {
        while (!objects.isEmpty())
            delete removeAndReturn(objects.size() - 1);
    }

private:
    Array<T*> objects;
};

} // namespace q9framework
