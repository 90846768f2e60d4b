// The rows of a sheet: an ordered map from row number to the row's cells, with a direct index
// beside it so that finding a row by its number costs one array read instead of a walk down a
// tree of tens of thousands of nodes. A sum that adds the same cell of a thousand pasted
// blocks looks a thousand rows up; with the tree alone that walk was most of its time.
//
// It has the part of std::map's interface the component uses, and the index is kept by every
// operation that adds or removes a row, so it can never disagree with the map. Rows far beyond
// the others (a stray cell at the bottom of a sheet) stay out of the index and are found in
// the map, so the index never costs more than a few times the rows it holds.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace sheet {

template <typename Row> class RowMap {
    using Tree = std::map<long, Row>;

public:
    using key_type = long;
    using mapped_type = Row;
    using value_type = typename Tree::value_type;
    using iterator = typename Tree::iterator;
    using const_iterator = typename Tree::const_iterator;
    using reverse_iterator = typename Tree::reverse_iterator;
    using const_reverse_iterator = typename Tree::const_reverse_iterator;
    using size_type = typename Tree::size_type;

    RowMap() = default;
    RowMap(const RowMap& other) : tree_(other.tree_) { rebuildIndex(); }
    RowMap& operator=(const RowMap& other) {
        if (this != &other)
            *this = RowMap(other); // a copy that fails part way leaves this one as it was
        return *this;
    }
    // Moving keeps the nodes, so the index moves with them.
    RowMap(RowMap&&) noexcept = default;
    RowMap& operator=(RowMap&&) noexcept = default;

    iterator begin() noexcept { return tree_.begin(); }
    iterator end() noexcept { return tree_.end(); }
    const_iterator begin() const noexcept { return tree_.begin(); }
    const_iterator end() const noexcept { return tree_.end(); }
    reverse_iterator rbegin() noexcept { return tree_.rbegin(); }
    reverse_iterator rend() noexcept { return tree_.rend(); }
    const_reverse_iterator rbegin() const noexcept { return tree_.rbegin(); }
    const_reverse_iterator rend() const noexcept { return tree_.rend(); }

    bool empty() const noexcept { return tree_.empty(); }
    size_type size() const noexcept { return tree_.size(); }

    iterator find(long row) {
        if (!indexed(row))
            return tree_.find(row);
        const std::optional<iterator>& found = index_[static_cast<std::size_t>(row)];
        return found ? *found : tree_.end();
    }
    const_iterator find(long row) const { return const_cast<RowMap*>(this)->find(row); }
    bool contains(long row) const { return find(row) != end(); }
    size_type count(long row) const { return contains(row) ? 1 : 0; }
    iterator lower_bound(long row) { return tree_.lower_bound(row); }
    const_iterator lower_bound(long row) const { return tree_.lower_bound(row); }
    iterator upper_bound(long row) { return tree_.upper_bound(row); }
    const_iterator upper_bound(long row) const { return tree_.upper_bound(row); }

    // The row, added empty when absent.
    Row& operator[](long row) { return try_emplace(row).first->second; }
    const Row& at(long row) const {
        const const_iterator found = find(row);
        if (found == end())
            throw std::out_of_range("no such row");
        return found->second;
    }
    Row& at(long row) { return const_cast<Row&>(std::as_const(*this).at(row)); }

    template <typename... Args> std::pair<iterator, bool> try_emplace(long row, Args&&... args) {
        const iterator found = find(row);
        if (found != end())
            return {found, false};
        const iterator added = tree_.try_emplace(row, std::forward<Args>(args)...).first;
        remember(added);
        return {added, true};
    }
    template <typename... Args> std::pair<iterator, bool> emplace(long row, Args&&... args) {
        return try_emplace(row, std::forward<Args>(args)...);
    }
    template <typename Value> std::pair<iterator, bool> insert_or_assign(long row, Value&& value) {
        auto [place, added] = try_emplace(row, std::forward<Value>(value));
        if (!added)
            place->second = std::forward<Value>(value);
        return {place, added};
    }

    iterator erase(const_iterator position) {
        forget(position->first);
        return tree_.erase(position);
    }
    iterator erase(iterator position) { return erase(const_iterator(position)); }
    iterator erase(const_iterator first, const_iterator last) {
        for (const_iterator at = first; at != last; ++at)
            forget(at->first);
        return tree_.erase(first, last);
    }
    size_type erase(long row) {
        const iterator found = find(row);
        if (found == end())
            return 0;
        erase(found);
        return 1;
    }
    void clear() noexcept {
        tree_.clear();
        index_.clear();
    }

    friend bool operator==(const RowMap& a, const RowMap& b) { return a.tree_ == b.tree_; }

private:
    // An index may reach this far beyond the rows it holds before a row stays out of it.
    static constexpr std::size_t kSparseSlack = 4096;

    bool indexed(long row) const {
        return row >= 0 && static_cast<std::size_t>(row) < index_.size();
    }

    void remember(iterator added) {
        const long row = added->first;
        if (row < 0)
            return;
        const auto at = static_cast<std::size_t>(row);
        if (at >= index_.size()) {
            if (at > 4 * tree_.size() + kSparseSlack)
                return;
            extendIndexTo(at + 1);
        }
        index_[at] = added;
    }

    void forget(long row) {
        if (indexed(row))
            index_[static_cast<std::size_t>(row)].reset();
    }

    // Rows left out while the index was shorter come into it as it grows past them.
    void extendIndexTo(std::size_t length) {
        const long from = static_cast<long>(index_.size());
        index_.resize(length);
        for (iterator at = tree_.lower_bound(from);
             at != tree_.end() && static_cast<std::size_t>(at->first) < length; ++at)
            index_[static_cast<std::size_t>(at->first)] = at;
    }

    void rebuildIndex() {
        index_.clear();
        if (tree_.empty() || tree_.rbegin()->first < 0)
            return;
        const auto last = static_cast<std::size_t>(tree_.rbegin()->first);
        extendIndexTo(std::min(last + 1, 4 * tree_.size() + kSparseSlack + 1));
    }

    Tree tree_;
    std::vector<std::optional<iterator>> index_; // at [row] the row's node, when it has one
};

} // namespace sheet
