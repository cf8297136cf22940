#pragma once
#include "framework/gui/Array.h"

namespace q9framework {

/** A small map kept as an array of (key, value) pairs sorted by key: a component's colours and
    properties hold a handful of entries, for which a binary search over one block beats a tree. */
template <typename Key, typename Value>
class SortedMap {
public:
    /** Replaces the value of an existing key or inserts a new entry in key order. */
    void set(const Key& key, const Value& value)
    {
        const int i = lowerBound(key);
        if (i < entries.size() && entries[i].key == key)
            entries[i].value = value;
        else
            entries.insert(i, Entry{key, value});
    }
    /** The stored value, or null. The pointer is valid until the map changes. */
    Value* get(const Key& key) noexcept
    {
        const int i = lowerBound(key);
        return i < entries.size() && entries[i].key == key ? &entries[i].value : nullptr;
    }
    const Value* get(const Key& key) const noexcept { return const_cast<SortedMap*>(this)->get(key); }
    bool contains(const Key& key) const noexcept { return get(key) != nullptr; }
    /** False when the key was not present. */
    bool remove(const Key& key)
    {
        const int i = lowerBound(key);
        if (i >= entries.size() || !(entries[i].key == key))
            return false;
        entries.remove(i);
        return true;
    }
    void clear() noexcept { entries.clear(); }
    int size() const noexcept { return entries.size(); }
    const Key& getKey(int index) const noexcept { return entries[index].key; }
    const Value& getValue(int index) const noexcept { return entries[index].value; }

private:
    struct Entry {
        Key key;
        Value value;
        bool operator==(const Entry& o) const { return key == o.key; }
    };
    int lowerBound(const Key& key) const noexcept
    {
        int low = 0, high = entries.size();
        while (low < high) {
            const int mid = (low + high) / 2;
            if (entries[mid].key < key)
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    }
    Array<Entry> entries;
};

} // namespace q9framework
