// CTQMap<KEY, VALUE>: hash map with value semantics for integer keys (the DN
// table of a valve, the valve-ID-to-count argument of the valve totals).
//
// Keys and values are passed by value.  The iteration order is part of the
// interface, because texts written from a map follow it:
// - the hash of a key is its low 32 bits as an unsigned value shifted right
//   by 4; the bucket is the hash modulo the 17 buckets of the table, which is
//   created on the first insertion;
// - a new pair is linked at the head of its bucket;
// - iteration walks the buckets in ascending order and, within a bucket,
//   yields the most recently inserted pair first.
// Keys 16 and 17 share bucket 1, so after inserting 16 then 17 iteration
// yields 17 before 16.  Copying inserts the source's pairs in the source's
// iteration order, which reverses the order within each bucket of the copy.
//
// The operation names are those of the class framework the host programs
// were written against.  A POSITION is an opaque handle, null at the end;
// it stays valid until the map is changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "catalog/TQTypes.h"

template <class KEY, class VALUE>
class CTQMap {
    static_assert(std::is_integral_v<KEY> || std::is_enum_v<KEY>,
                  "CTQMap hashes integer keys by their low 32 bits");

public:
    using INT_PTR = ::INT_PTR;

    /// Number of buckets of the hash table.
    static constexpr unsigned kHashTableSize = 17;

    CTQMap() noexcept = default;

    /// Copy: the pairs of src inserted in src's iteration order (see above).
    CTQMap(const CTQMap& src) { *this = src; }

    CTQMap(CTQMap&& src) noexcept { Swap(src); }

    virtual ~CTQMap() { RemoveAll(); }

    /// Assignment to itself does nothing; otherwise removes every pair and
    /// inserts each pair of src through operator[], in src's iteration order.
    CTQMap& operator=(const CTQMap& src) {
        if (this != &src) {
            RemoveAll();
            for (POSITION pos = src.GetStartPosition(); pos != nullptr;) {
                KEY key;
                VALUE value;
                src.GetNextAssoc(pos, key, value);
                (*this)[key] = value;
            }
        }
        return *this;
    }

    CTQMap& operator=(CTQMap&& src) noexcept {
        if (this != &src) {
            CTQMap tmp(std::move(src));
            Swap(tmp);
        }
        return *this;
    }

    INT_PTR GetCount() const noexcept { return m_nCount; }
    INT_PTR GetSize() const noexcept { return m_nCount; }
    bool IsEmpty() const noexcept { return m_nCount == 0; }
    unsigned GetHashTableSize() const noexcept { return kHashTableSize; }

    /// True when key is present; its value is then copied into value.
    bool Lookup(KEY key, VALUE& value) const {
        const Node* node = Find(key);
        if (node == nullptr) return false;
        value = node->value;
        return true;
    }

    /// The value of key, inserted with a zero (value-initialised) value if absent.
    VALUE& operator[](KEY key) {
        if (Node* node = Find(key)) return node->value;
        if (m_pHashTable == nullptr) m_pHashTable = new Node*[kHashTableSize]();
        const std::uint32_t hash = HashKey(key);
        Node*& head = m_pHashTable[hash % kHashTableSize];
        head = new Node{head, hash, key, VALUE()};
        ++m_nCount;
        return head->value;
    }

    /// Sets the value of key, inserting it if absent.
    void SetAt(KEY key, VALUE value) { (*this)[key] = std::move(value); }

    /// Removes key; false when it was absent.
    bool RemoveKey(KEY key) {
        if (m_pHashTable == nullptr) return false;
        const std::uint32_t hash = HashKey(key);
        for (Node** link = &m_pHashTable[hash % kHashTableSize]; *link != nullptr;
             link = &(*link)->next) {
            Node* node = *link;
            if (node->hash == hash && node->key == key) {
                *link = node->next;
                delete node;
                --m_nCount;
                return true;
            }
        }
        return false;
    }

    /// Removes every pair and frees the hash table.
    void RemoveAll() noexcept {
        if (m_pHashTable != nullptr) {
            for (unsigned b = 0; b < kHashTableSize; ++b) {
                for (Node* node = m_pHashTable[b]; node != nullptr;) {
                    Node* next = node->next;
                    delete node;
                    node = next;
                }
            }
            delete[] m_pHashTable;
        }
        m_pHashTable = nullptr;
        m_nCount = 0;
    }

    /// Position of the first pair in iteration order, null for an empty map.
    POSITION GetStartPosition() const noexcept { return ToPosition(FirstFrom(0)); }

    /// Copies the pair at pos into key and value and advances pos (null after
    /// the last pair).  pos must be a non-null position of this map.
    void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const {
        const Node* node = reinterpret_cast<const Node*>(pos);
        key = node->key;
        value = node->value;
        const Node* next = node->next != nullptr ? node->next
                                                 : FirstFrom(node->hash % kHashTableSize + 1);
        pos = ToPosition(next);
    }

    void Swap(CTQMap& other) noexcept {
        std::swap(m_pHashTable, other.m_pHashTable);
        std::swap(m_nCount, other.m_nCount);
    }

    /// The hash of a key: its low 32 bits, unsigned, shifted right by 4.
    static std::uint32_t HashKey(KEY key) noexcept {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(key)) >> 4;
    }

private:
    struct Node {
        Node* next;
        std::uint32_t hash;
        KEY key;
        VALUE value;
    };

    const Node* Find(KEY key) const noexcept {
        if (m_pHashTable == nullptr) return nullptr;
        const std::uint32_t hash = HashKey(key);
        for (const Node* node = m_pHashTable[hash % kHashTableSize]; node != nullptr; node = node->next)
            if (node->hash == hash && node->key == key) return node;
        return nullptr;
    }
    Node* Find(KEY key) noexcept { return const_cast<Node*>(std::as_const(*this).Find(key)); }

    // First pair of the first non-empty bucket at or after bucket.
    const Node* FirstFrom(unsigned bucket) const noexcept {
        if (m_pHashTable == nullptr) return nullptr;
        for (; bucket < kHashTableSize; ++bucket)
            if (m_pHashTable[bucket] != nullptr) return m_pHashTable[bucket];
        return nullptr;
    }

    static POSITION ToPosition(const Node* node) noexcept {
        return reinterpret_cast<POSITION>(const_cast<Node*>(node));
    }

    Node** m_pHashTable = nullptr;
    INT_PTR m_nCount = 0;
};
