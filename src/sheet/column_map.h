// The cells of one row: a map from column to value kept as one sorted array, so a cell costs
// its value and its column and nothing more (a tree node would double that), and a row read
// left to right is filled by appending.
//
// It has the part of std::map's interface the component uses. Unlike std::map, adding a
// column moves the later ones: a reference or iterator into the row is valid only until the
// next insertion or erasure in that row.
#pragma once

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

namespace sheet {

template <typename Value> class ColumnMap {
public:
    using key_type = long;
    using mapped_type = Value;
    using value_type = std::pair<long, Value>;
    using Entries = std::vector<value_type>;
    using iterator = typename Entries::iterator;
    using const_iterator = typename Entries::const_iterator;
    using reverse_iterator = typename Entries::reverse_iterator;
    using const_reverse_iterator = typename Entries::const_reverse_iterator;
    using size_type = typename Entries::size_type;

    iterator begin() noexcept { return entries_.begin(); }
    iterator end() noexcept { return entries_.end(); }
    const_iterator begin() const noexcept { return entries_.begin(); }
    const_iterator end() const noexcept { return entries_.end(); }
    reverse_iterator rbegin() noexcept { return entries_.rbegin(); }
    reverse_iterator rend() noexcept { return entries_.rend(); }
    const_reverse_iterator rbegin() const noexcept { return entries_.rbegin(); }
    const_reverse_iterator rend() const noexcept { return entries_.rend(); }

    bool empty() const noexcept { return entries_.empty(); }
    size_type size() const noexcept { return entries_.size(); }
    size_type capacity() const noexcept { return entries_.capacity(); }
    void clear() noexcept { entries_.clear(); }
    void reserve(size_type count) { entries_.reserve(count); }
    void shrink_to_fit() { entries_.shrink_to_fit(); }

    iterator lower_bound(long column) { return std::lower_bound(begin(), end(), column, less); }
    const_iterator lower_bound(long column) const {
        return std::lower_bound(begin(), end(), column, less);
    }
    iterator upper_bound(long column) { return std::upper_bound(begin(), end(), column, greater); }
    const_iterator upper_bound(long column) const {
        return std::upper_bound(begin(), end(), column, greater);
    }

    iterator find(long column) {
        auto found = lower_bound(column);
        return found != end() && found->first == column ? found : end();
    }
    const_iterator find(long column) const {
        auto found = lower_bound(column);
        return found != end() && found->first == column ? found : end();
    }
    bool contains(long column) const { return find(column) != end(); }
    size_type count(long column) const { return contains(column) ? 1 : 0; }

    // The value at the column, added empty when absent.
    Value& operator[](long column) { return try_emplace(column).first->second; }

    template <typename... Args> std::pair<iterator, bool> try_emplace(long column, Args&&... args) {
        auto place = placeFor(column);
        if (place != end() && place->first == column)
            return {place, false};
        place = entries_.emplace(place, std::piecewise_construct, std::forward_as_tuple(column),
                                 std::forward_as_tuple(std::forward<Args>(args)...));
        return {place, true};
    }
    template <typename... Args> std::pair<iterator, bool> emplace(long column, Args&&... args) {
        return try_emplace(column, std::forward<Args>(args)...);
    }
    // The hint is ignored beyond the common case of adding at the end.
    template <typename... Args> iterator emplace_hint(const_iterator, long column, Args&&... args) {
        return try_emplace(column, std::forward<Args>(args)...).first;
    }
    template <typename V> std::pair<iterator, bool> insert_or_assign(long column, V&& value) {
        auto [place, added] = try_emplace(column, std::forward<V>(value));
        if (!added)
            place->second = std::forward<V>(value);
        return {place, added};
    }
    template <typename V> iterator insert_or_assign(const_iterator, long column, V&& value) {
        return insert_or_assign(column, std::forward<V>(value)).first;
    }

    iterator erase(const_iterator position) { return entries_.erase(position); }
    iterator erase(const_iterator first, const_iterator last) {
        return entries_.erase(first, last);
    }
    size_type erase(long column) {
        auto found = find(column);
        if (found == end())
            return 0;
        entries_.erase(found);
        return 1;
    }

    bool operator==(const ColumnMap&) const = default;

private:
    static bool less(const value_type& entry, long column) { return entry.first < column; }
    static bool greater(long column, const value_type& entry) { return column < entry.first; }

    // Where the column is or would go; rows are mostly filled left to right.
    iterator placeFor(long column) {
        if (entries_.empty() || entries_.back().first < column)
            return end();
        return lower_bound(column);
    }

    Entries entries_;
};

} // namespace sheet
