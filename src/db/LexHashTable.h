// String-keyed hash table whose hash, bucket growth and iteration order are fixed, because the
// order in which a database writes its children follows it. Also backs the property string pool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The hash of a key: over its bytes taken as signed 8-bit values, exclusive-or the sign-extended
// byte into the hash, then rotate the hash left by one bit.
std::uint32_t lexHash(std::string_view key);

// The bucket counts the table grows through; it starts at the first and stops at the last.
inline constexpr std::size_t kLexHashSizes[] = {7,    13,   31,   61,    127,   251,   509,   1021,
                                                2039, 4093, 8191, 16411, 32831, 65677, 131357};

// The first size of the series larger than current (the last one when there is none).
std::size_t lexHashNextSize(std::size_t current);

template <class V>
class LexHashTable {
public:
    LexHashTable() : buckets_(kLexHashSizes[0]) {}
    ~LexHashTable() { clear(); }
    LexHashTable(const LexHashTable&) = delete;
    LexHashTable& operator=(const LexHashTable&) = delete;

    std::size_t size() const { return count_; }
    std::size_t bucketCount() const { return buckets_.size(); }

    // The value stored under key, or null.
    V* find(std::string_view key) {
        auto it = index_.find(key);
        return it == index_.end() ? nullptr : &it->second->value;
    }
    const V* find(std::string_view key) const {
        auto it = index_.find(key);
        return it == index_.end() ? nullptr : &it->second->value;
    }

    // Inserts value under key at the head of its bucket's chain; false (value untouched) when
    // the key is present. May throw std::bad_alloc.
    bool insert(std::string_view key, V&& value) {
        if (index_.count(key) != 0) return false;
        auto node = std::make_unique<Node>(std::string(key), std::move(value));
        Node* raw = node.get();
        index_.emplace(std::string_view(raw->key), raw);
        ++count_;
        std::size_t b = lexHash(raw->key) % buckets_.size();
        node->next = std::move(buckets_[b]);
        buckets_[b] = std::move(node);
        if (count_ > 2 * buckets_.size()) grow();
        return true;
    }

    // Removes the entry under key and hands back its value; false when absent.
    bool remove(std::string_view key, V* removed = nullptr) {
        auto it = index_.find(key);
        if (it == index_.end()) return false;
        Node* target = it->second;
        index_.erase(it);
        std::unique_ptr<Node>* link = &buckets_[lexHash(target->key) % buckets_.size()];
        while (link->get() != target)
            link = &(*link)->next;
        std::unique_ptr<Node> node = std::move(*link);
        *link = std::move(node->next);
        if (removed != nullptr) *removed = std::move(node->value);
        --count_;
        return true;
    }

    // Calls fn(key, value) bucket by bucket from bucket 0, each chain from its head; stops when
    // fn returns false. Returns false when stopped.
    template <class F>
    bool forEach(F&& fn) const {
        for (const auto& head : buckets_) {
            for (const Node* n = head.get(); n != nullptr; n = n->next.get()) {
                if (!fn(std::string_view(n->key), n->value)) return false;
            }
        }
        return true;
    }
    template <class F>
    bool forEach(F&& fn) {
        for (auto& head : buckets_) {
            for (Node* n = head.get(); n != nullptr; n = n->next.get()) {
                if (!fn(std::string_view(n->key), n->value)) return false;
            }
        }
        return true;
    }

    void clear() {
        index_.clear();
        // Chains are unlinked one node at a time so that a long chain never destroys itself
        // recursively.
        for (auto& head : buckets_) {
            while (head)
                head = std::move(head->next);
        }
        count_ = 0;
    }

private:
    struct Node {
        Node(std::string k, V&& v) : key(std::move(k)), value(std::move(v)) {}
        std::string key;
        V value;
        std::unique_ptr<Node> next;
    };

    void grow() {
        std::size_t size = lexHashNextSize(buckets_.size());
        if (size <= buckets_.size()) return;
        std::vector<std::unique_ptr<Node>> fresh(size);
        for (auto& head : buckets_) {
            while (head) {
                std::unique_ptr<Node> node = std::move(head);
                head = std::move(node->next);
                std::size_t b = lexHash(node->key) % size;
                node->next = std::move(fresh[b]);
                fresh[b] = std::move(node);
            }
        }
        buckets_ = std::move(fresh);
    }

    std::vector<std::unique_ptr<Node>> buckets_;
    std::size_t count_ = 0;
    // Finds keys in constant time whatever the chains look like (keys of a hostile file may all
    // share one bucket); the chains alone fix the order.
    std::unordered_map<std::string_view, Node*> index_;
};
