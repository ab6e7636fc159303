#pragma once
// Named lists of series and of constants, as a formula program keeps them.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "formula/bian.h"

namespace vantor {

// Series in creation order with lookup by lower-case name. A series keeps its address for
// as long as it is in the list.
class BianList {
public:
    Tbian* find(const std::string& name) const {
        auto it = index_.find(name);
        return it == index_.end() ? nullptr : it->second;
    }
    // `zero` as Tbian::Create.
    Tbian* add(const std::string& name, int len, bool zero = true) {
        auto b = std::make_unique<Tbian>();
        // Storage left by cleared series is used again: a new series still reads 0 on all
        // its positions, but its pages are not mapped and faulted in anew after every clear.
        if (!spare_.empty()) {
            b->value = std::move(spare_.back());
            spare_.pop_back();
        }
        b->Create(name, len, zero);
        items_.push_back(std::move(b));
        Tbian* added = items_.back().get();
        index_.emplace(name, added);
        return added;
    }
    void clear() {
        for (auto& item : items_)
            if (item->value.capacity() > 0 && spare_.size() < kKeptSpares)
                spare_.push_back(std::move(item->value));
        items_.clear();
        index_.clear();
    }
    bool empty() const { return items_.empty(); }
    size_t size() const { return items_.size(); }
    Tbian& operator[](size_t i) const { return *items_[i]; }
    Tbian* back() const { return items_.empty() ? nullptr : items_.back().get(); }

    // Raised whenever the raw bars change, so derived series know to rebuild.
    std::uint64_t version = 0;

    // Records a change of the raw series `name` from bar `from` on; an empty name stands for
    // every series, a `from` of 0 for every bar.
    void Changed(int from, const std::string& name = {}) {
        ++version;
        changes_.push_back({version, from < 0 ? 0 : from, name});
        if (changes_.size() > kKeptChanges) changes_.erase(changes_.begin());
    }
    // The first bar of the series `name` (of any series when null) that may differ from the
    // bars as they stood at version v: INT_MAX when nothing changed since, 0 when the changes
    // are no longer known.
    int ChangedSince(std::uint64_t v, const std::string* name = nullptr) const {
        if (v == version) return std::numeric_limits<int>::max();
        if (v > version || changes_.empty() || changes_.front().version > v + 1) return 0;
        int first = std::numeric_limits<int>::max();
        for (const Change& c : changes_)
            if (c.version > v && (!name || c.name.empty() || c.name == *name))
                first = std::min(first, c.from);
        return first;
    }

private:
    struct Change {
        std::uint64_t version;
        int from;
        std::string name; // empty: every series
    };
    static constexpr size_t kKeptChanges = 256;
    static constexpr size_t kKeptSpares = 256;
    std::vector<Change> changes_;
    std::vector<std::unique_ptr<Tbian>> items_;
    std::unordered_map<std::string, Tbian*> index_;
    std::vector<std::vector<double>> spare_; // storage of cleared series, for the next ones
};

// The constants of a program: entries name=text in order. A lookup finds the first entry
// of a name, as a name=value list does.
class ConstList {
public:
    struct Entry {
        std::string name;
        std::string text;
        double value; // the text read back as a number
        bool numeric; // false when the text reads as no number
    };
    void add(const std::string& name, std::string text, double value, bool numeric) {
        index_.emplace(name, entries_.size()); // keeps the first entry of a name
        entries_.push_back({name, std::move(text), value, numeric});
    }
    const Entry* find(const std::string& name) const {
        auto it = index_.find(name);
        return it == index_.end() ? nullptr : &entries_[it->second];
    }
    void clear() {
        entries_.clear();
        index_.clear();
    }
    size_t size() const { return entries_.size(); }
    const Entry& operator[](size_t i) const { return entries_[i]; }
    // "name=text" of entry i.
    std::string line(size_t i) const { return entries_[i].name + "=" + entries_[i].text; }

private:
    std::vector<Entry> entries_;
    std::unordered_map<std::string, size_t> index_;
};

} // namespace vantor
