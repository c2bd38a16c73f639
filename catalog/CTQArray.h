// CTQArray<TYPE>: growable array of records with value semantics, the carrier
// of every list of catalog records across the library's interface.
//
// Elements are stored contiguously in index order and owned by the array.
// The state is an element buffer, the size, the allocated capacity and a
// grow-by step (0 = automatic).  The operation names are those of the class
// framework the host programs were written against.
//
// Growth rule (SetSize beyond the capacity): the step is the grow-by value if
// one is set, otherwise size / 8 clamped to 4..1024; the new capacity is the
// old capacity plus the step, or the requested size if that is larger.  An
// array without a buffer allocates exactly max(requested size, grow-by).
// Reallocation moves the elements with their move constructors (a bitwise
// move would corrupt members such as std::string).
//
// Index errors (an index outside 0..GetSize()-1 for access, a negative size
// or count) throw std::out_of_range or std::invalid_argument.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "catalog/TQTypes.h"

template <class TYPE>
class CTQArray {
public:
    using INT_PTR = ::INT_PTR;
    using value_type = TYPE;
    using iterator = TYPE*;
    using const_iterator = const TYPE*;

    /// Empty array with automatic growth.
    CTQArray() noexcept = default;

    /// Copy: sets the size to the source's and assigns every element in index order.
    CTQArray(const CTQArray& src) { *this = src; }

    /// Move: takes over the source's buffer; the source is left empty.
    CTQArray(CTQArray&& src) noexcept { Swap(src); }

    virtual ~CTQArray() { Release(); }

    /// Assignment to itself does nothing; otherwise SetSize(src.GetSize()) and
    /// element-wise assignment in index order.
    CTQArray& operator=(const CTQArray& src) {
        if (this != &src) {
            SetSize(src.m_nSize);
            for (INT_PTR i = 0; i < src.m_nSize; ++i) m_pData[i] = src.m_pData[i];
        }
        return *this;
    }

    CTQArray& operator=(CTQArray&& src) noexcept {
        if (this != &src) {
            CTQArray tmp(std::move(src));
            Swap(tmp);
        }
        return *this;
    }

    // ---- size --------------------------------------------------------------
    INT_PTR GetSize() const noexcept { return m_nSize; }
    INT_PTR GetCount() const noexcept { return m_nSize; }
    INT_PTR GetUpperBound() const noexcept { return m_nSize - 1; }
    bool IsEmpty() const noexcept { return m_nSize == 0; }
    /// Number of elements the buffer holds before the next reallocation.
    INT_PTR GetCapacity() const noexcept { return m_nMaxSize; }
    /// The grow-by step, 0 for automatic growth.
    INT_PTR GetGrowBy() const noexcept { return m_nGrowBy; }

    /// Sets the size to newSize (>= 0) and, when growBy >= 0, the grow-by step.
    /// 0 destroys every element and frees the buffer; growing default-constructs
    /// the new elements (reallocating by the growth rule above the capacity);
    /// shrinking destroys the elements past newSize and keeps the capacity.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
        if (newSize < 0) throw std::invalid_argument("CTQArray::SetSize: negative size");
        if (growBy >= 0) m_nGrowBy = growBy;

        if (newSize == 0) {
            Release();
        } else if (m_pData == nullptr) {
            const INT_PTR alloc = std::max(newSize, m_nGrowBy);
            TYPE* data = Allocate(alloc);
            try {
                std::uninitialized_value_construct_n(data, newSize);
            } catch (...) {
                Deallocate(data, alloc);
                throw;
            }
            m_pData = data;
            m_nSize = newSize;
            m_nMaxSize = alloc;
        } else if (newSize <= m_nMaxSize) {
            if (newSize > m_nSize)
                std::uninitialized_value_construct(m_pData + m_nSize, m_pData + newSize);
            else
                std::destroy(m_pData + newSize, m_pData + m_nSize);
            m_nSize = newSize;
        } else {
            INT_PTR step = m_nGrowBy;
            if (step == 0) step = std::clamp<INT_PTR>(m_nSize / 8, 4, 1024);
            const INT_PTR newMax = std::max(m_nMaxSize + step, newSize);
            TYPE* data = Allocate(newMax);
            try {
                std::uninitialized_value_construct(data + m_nSize, data + newSize);
            } catch (...) {
                Deallocate(data, newMax);
                throw;
            }
            // Moves do not throw for the library's element types; a type whose
            // move may throw is copied instead, so a failure leaves *this intact.
            INT_PTR moved = 0;
            try {
                for (; moved < m_nSize; ++moved)
                    ::new (static_cast<void*>(data + moved))
                        TYPE(std::move_if_noexcept(m_pData[moved]));
            } catch (...) {
                std::destroy(data, data + moved);
                std::destroy(data + m_nSize, data + newSize);
                Deallocate(data, newMax);
                throw;
            }
            std::destroy(m_pData, m_pData + m_nSize);
            Deallocate(m_pData, m_nMaxSize);
            m_pData = data;
            m_nSize = newSize;
            m_nMaxSize = newMax;
        }
    }

    /// SetSize(0): destroys every element and frees the buffer.
    void RemoveAll() { SetSize(0); }

    // ---- element access ----------------------------------------------------
    const TYPE& GetAt(INT_PTR index) const { return m_pData[Checked(index)]; }
    TYPE& GetAt(INT_PTR index) { return m_pData[Checked(index)]; }
    TYPE& ElementAt(INT_PTR index) { return m_pData[Checked(index)]; }
    const TYPE& ElementAt(INT_PTR index) const { return m_pData[Checked(index)]; }
    const TYPE& operator[](INT_PTR index) const { return m_pData[Checked(index)]; }
    TYPE& operator[](INT_PTR index) { return m_pData[Checked(index)]; }
    /// The element buffer (null for an array that has none).
    const TYPE* GetData() const noexcept { return m_pData; }
    TYPE* GetData() noexcept { return m_pData; }

    /// Assigns x to the existing element at index.
    void SetAt(INT_PTR index, const TYPE& x) { m_pData[Checked(index)] = x; }

    /// Grows the array to index + 1 elements when index is at or beyond the end
    /// (default-constructing the gap), then assigns x to element index.  x may
    /// be an element of this array.
    void SetAtGrow(INT_PTR index, const TYPE& x) {
        if (index < 0) throw std::invalid_argument("CTQArray::SetAtGrow: negative index");
        if (index >= m_nSize) {
            if (Aliases(x)) {
                TYPE copy(x);
                SetSize(index + 1);
                m_pData[index] = std::move(copy);
                return;
            }
            SetSize(index + 1);
        }
        m_pData[index] = x;
    }

    /// Appends x (SetAtGrow at the current size); returns its index.
    INT_PTR Add(const TYPE& x) {
        const INT_PTR index = m_nSize;
        SetAtGrow(index, x);
        return index;
    }

    /// Appends copies of every element of src, in order (src may be *this);
    /// returns the index of the first appended element.
    INT_PTR Append(const CTQArray& src) {
        const INT_PTR oldSize = m_nSize;
        const INT_PTR count = src.m_nSize;
        SetSize(oldSize + count);
        for (INT_PTR i = 0; i < count; ++i) m_pData[oldSize + i] = src.m_pData[i];
        return oldSize;
    }

    /// Inserts count copies of x before index.  An index at or beyond the end
    /// grows the array to index + count elements first.
    void InsertAt(INT_PTR index, const TYPE& x, INT_PTR count = 1) {
        if (index < 0 || count < 0) throw std::invalid_argument("CTQArray::InsertAt: negative index or count");
        if (count == 0) return;
        TYPE copy(x);  // x may be an element of this array
        if (index >= m_nSize) {
            SetSize(index + count);
        } else {
            const INT_PTR oldSize = m_nSize;
            SetSize(oldSize + count);
            for (INT_PTR i = oldSize - 1; i >= index; --i) m_pData[i + count] = std::move(m_pData[i]);
        }
        for (INT_PTR i = index; i < index + count; ++i) m_pData[i] = copy;
    }

    /// Removes count elements starting at index; later elements move down.
    /// The capacity is kept.
    void RemoveAt(INT_PTR index, INT_PTR count = 1) {
        if (index < 0 || count < 0 || index > m_nSize - count)
            throw std::out_of_range("CTQArray::RemoveAt: range outside the array");
        if (count == 0) return;
        std::move(m_pData + index + count, m_pData + m_nSize, m_pData + index);
        std::destroy(m_pData + m_nSize - count, m_pData + m_nSize);
        m_nSize -= count;
    }

    // ---- iteration in index order ------------------------------------------
    iterator begin() noexcept { return m_pData; }
    iterator end() noexcept { return m_pData + m_nSize; }
    const_iterator begin() const noexcept { return m_pData; }
    const_iterator end() const noexcept { return m_pData + m_nSize; }

    void Swap(CTQArray& other) noexcept {
        std::swap(m_pData, other.m_pData);
        std::swap(m_nSize, other.m_nSize);
        std::swap(m_nMaxSize, other.m_nMaxSize);
        std::swap(m_nGrowBy, other.m_nGrowBy);
    }

private:
    static TYPE* Allocate(INT_PTR n) { return std::allocator<TYPE>().allocate(static_cast<std::size_t>(n)); }
    static void Deallocate(TYPE* p, INT_PTR n) noexcept {
        std::allocator<TYPE>().deallocate(p, static_cast<std::size_t>(n));
    }

    INT_PTR Checked(INT_PTR index) const {
        if (index < 0 || index >= m_nSize) throw std::out_of_range("CTQArray: index outside the array");
        return index;
    }

    bool Aliases(const TYPE& x) const noexcept {
        const TYPE* p = std::addressof(x);
        return m_pData != nullptr && !std::less<const TYPE*>()(p, m_pData) &&
               std::less<const TYPE*>()(p, m_pData + m_nSize);
    }

    void Release() noexcept {
        if (m_pData != nullptr) {
            std::destroy(m_pData, m_pData + m_nSize);
            Deallocate(m_pData, m_nMaxSize);
        }
        m_pData = nullptr;
        m_nSize = 0;
        m_nMaxSize = 0;
    }

    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};
