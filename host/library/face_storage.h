// Storage for a document's faces, shaped for meshes of millions of faces that
// commands grow one face at a time:
// - FaceArray<T>: a face's per-point data (points, UVs, line selections),
//   kept inside the face for up to four points (triangles and quads need no
//   heap at all), on the heap only beyond;
// - ChunkedArray<T>: a list that grows in fixed chunks, so that adding an
//   element never moves the ones already there (no copy of a million faces
//   or vertices when the first one is added, and references stay valid).
// Both offer the subset of std::vector the host and its tests use.
//
// Both stay because the library replacements measured slower or bigger with
// kivera-bench at 10^6 faces (Release, best of 10 runs or more each, taken
// in turn with the same build of these):
// - std::deque for ChunkedArray (it never moves an element either): every
//   host call indexes, and a deque index costs divisions where this one
//   costs a shift and a mask. The floor pass (each face and vertex read once
//   through the host) went from 0.0125 s to 0.0170 s (+36%), select-edges
//   from 0.030 s to 0.067 s, bevel from 0.066 s to 0.087 s, split-edges-all
//   from 0.32 s to 0.40 s, uv-copy-shuffled from 0.67 s to 0.89 s.
// - boost::container::small_vector<T, 4> for FaceArray: it keeps its size
//   and capacity as two size_t (Boost 1.74 offers no narrower one), so a Face
//   grows from 88 to 136 bytes: with both replaced, the grid's peak memory
//   went from 104 MB to 154 MB (the deque alone: 106 MB) and split-edges-all's
//   from 408 MB to 561 MB.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace host {

// A small array of trivially copyable values: up to kInline values inline,
// more on the heap. Like std::vector, it never gives back capacity it has
// grown to except when emptied by assignment from an empty array or a move.
template <typename T>
class FaceArray {
    static_assert(std::is_trivially_copyable<T>::value, "values are copied as bytes");

public:
    static constexpr std::size_t kInline = 4;

    using value_type = T;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T&;
    using const_reference = const T&;
    using pointer = T*;
    using const_pointer = const T*;
    using iterator = T*;
    using const_iterator = const T*;

    FaceArray() noexcept {}
    FaceArray(std::initializer_list<T> items) { CopyFrom(items.begin(), items.size()); }
    FaceArray(const std::vector<T>& items) { CopyFrom(items.data(), items.size()); }
    FaceArray(const FaceArray& other) { CopyFrom(other.data(), other.size()); }
    FaceArray(FaceArray&& other) noexcept { Take(other); }
    ~FaceArray() { Free(); }

    FaceArray& operator=(const FaceArray& other)
    {
        if (this != &other)
            CopyFrom(other.data(), other.size());
        return *this;
    }
    FaceArray& operator=(FaceArray&& other) noexcept
    {
        if (this != &other) {
            Free();
            Take(other);
        }
        return *this;
    }
    FaceArray& operator=(std::initializer_list<T> items)
    {
        CopyFrom(items.begin(), items.size());
        return *this;
    }
    FaceArray& operator=(const std::vector<T>& items)
    {
        CopyFrom(items.data(), items.size());
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t capacity() const { return capacity_; }
    // True while the values live inside the array itself.
    bool IsInline() const { return capacity_ == kInline; }

    T* data() { return IsInline() ? storage_.items : storage_.heap; }
    const T* data() const { return IsInline() ? storage_.items : storage_.heap; }
    T& operator[](std::size_t i)
    {
        assert(i < size_);
        return data()[i];
    }
    const T& operator[](std::size_t i) const
    {
        assert(i < size_);
        return data()[i];
    }
    T& front() { return (*this)[0]; }
    const T& front() const { return (*this)[0]; }
    T& back() { return (*this)[size_ - 1]; }
    const T& back() const { return (*this)[size_ - 1]; }

    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    const T* cbegin() const { return begin(); }
    const T* cend() const { return end(); }

    void clear() { size_ = 0; }

    void push_back(const T& value)
    {
        // `value` may live in this array: copy it before the storage moves.
        const T copy = value;
        Reserve(size_ + 1);
        data()[size_++] = copy;
    }

    void resize(std::size_t n, const T& value = T())
    {
        const T copy = value;
        Reserve(n);
        T* items = data();
        for (std::size_t i = size_; i < n; ++i)
            items[i] = copy;
        size_ = static_cast<std::uint32_t>(n);
    }

    void assign(std::size_t n, const T& value)
    {
        const T copy = value;
        size_ = 0;
        resize(n, copy);
    }

    template <typename Iterator,
              typename = std::enable_if_t<!std::is_integral<Iterator>::value>>
    void assign(Iterator first, Iterator last)
    {
        if constexpr (std::is_convertible<Iterator, const T*>::value) {
            CopyFrom(first, static_cast<std::size_t>(last - first));
        } else {
            const std::size_t n = static_cast<std::size_t>(std::distance(first, last));
            Reserve(n);
            T* items = data();
            for (std::size_t i = 0; first != last; ++first, ++i)
                items[i] = *first;
            size_ = static_cast<std::uint32_t>(n);
        }
    }

private:
    // Room for `n` values, the current ones kept; grows at least twofold.
    void Reserve(std::size_t n)
    {
        if (n <= capacity_)
            return;
        assert(n <= UINT32_MAX);
        std::size_t grown = std::size_t(capacity_) * 2;
        if (grown < n)
            grown = n;
        if (grown > UINT32_MAX)
            grown = UINT32_MAX;
        T* heap = new T[grown];
        if (size_ > 0)
            std::memcpy(heap, data(), size_ * sizeof(T));
        Free();
        storage_.heap = heap;
        capacity_ = static_cast<std::uint32_t>(grown);
    }

    // `items` may point into this array: when it does, n <= size_ <=
    // capacity_, so nothing is reallocated and memmove handles the overlap.
    void CopyFrom(const T* items, std::size_t n)
    {
        if (n > capacity_) {
            size_ = 0;
            Reserve(n);
        }
        if (n > 0)
            std::memmove(data(), items, n * sizeof(T));
        size_ = static_cast<std::uint32_t>(n);
    }

    // Takes `other`'s values, leaving it empty and inline; this array must
    // hold no heap block.
    void Take(FaceArray& other) noexcept
    {
        size_ = other.size_;
        capacity_ = other.capacity_;
        if (other.IsInline()) {
            if (size_ > 0)
                std::memcpy(storage_.items, other.storage_.items, size_ * sizeof(T));
        } else {
            storage_.heap = other.storage_.heap;
        }
        other.size_ = 0;
        other.capacity_ = kInline;
    }

    void Free() noexcept
    {
        if (!IsInline())
            delete[] storage_.heap;
        capacity_ = kInline;
    }

    union Storage {
        T items[kInline];
        T* heap;
        // Set, though never read while inline: GCC at 32 bits cannot see
        // that and warns of an uninitialised read in data().
        Storage() noexcept : heap(nullptr) {}
    };

    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = kInline;
    Storage storage_;
};

template <typename T>
bool operator==(const FaceArray<T>& a, const FaceArray<T>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}
template <typename T>
bool operator==(const FaceArray<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}
template <typename T>
bool operator==(const std::vector<T>& a, const FaceArray<T>& b)
{
    return b == a;
}
template <typename T>
bool operator!=(const FaceArray<T>& a, const FaceArray<T>& b)
{
    return !(a == b);
}
template <typename T>
bool operator!=(const FaceArray<T>& a, const std::vector<T>& b)
{
    return !(a == b);
}
template <typename T>
bool operator!=(const std::vector<T>& a, const FaceArray<T>& b)
{
    return !(b == a);
}

// A growing list of T in chunks of kChunkSize elements behind a table of
// chunk pointers: growing allocates a new chunk (and now and then a larger
// table) but never moves an element. Indexing is a shift and a mask.
template <typename T>
class ChunkedArray {
public:
    static constexpr std::size_t kChunkShift = 12;
    static constexpr std::size_t kChunkSize = std::size_t(1) << kChunkShift;
    static constexpr std::size_t kChunkMask = kChunkSize - 1;

    // A random-access iterator by index; `Const` gives the const_iterator.
    template <bool Const>
    class Iterator {
    public:
        using List = std::conditional_t<Const, const ChunkedArray, ChunkedArray>;
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = std::conditional_t<Const, const T*, T*>;
        using reference = std::conditional_t<Const, const T&, T&>;

        Iterator() = default;
        Iterator(List* list, std::size_t index) : list_(list), index_(index) {}
        // A const_iterator from an iterator.
        template <bool WasConst, typename = std::enable_if_t<Const && !WasConst>>
        Iterator(const Iterator<WasConst>& other) : list_(other.list_), index_(other.index_)
        {
        }

        std::size_t Index() const { return index_; }

        reference operator*() const { return (*list_)[index_]; }
        pointer operator->() const { return &(*list_)[index_]; }
        reference operator[](difference_type n) const { return *(*this + n); }
        Iterator& operator++()
        {
            ++index_;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator was = *this;
            ++index_;
            return was;
        }
        Iterator& operator--()
        {
            --index_;
            return *this;
        }
        Iterator operator--(int)
        {
            Iterator was = *this;
            --index_;
            return was;
        }
        Iterator& operator+=(difference_type n)
        {
            index_ = static_cast<std::size_t>(static_cast<difference_type>(index_) + n);
            return *this;
        }
        Iterator& operator-=(difference_type n) { return *this += -n; }
        friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const Iterator& a, const Iterator& b)
        {
            return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }
        bool operator<(const Iterator& other) const { return index_ < other.index_; }
        bool operator>(const Iterator& other) const { return index_ > other.index_; }
        bool operator<=(const Iterator& other) const { return index_ <= other.index_; }
        bool operator>=(const Iterator& other) const { return index_ >= other.index_; }

    private:
        template <bool>
        friend class Iterator;
        List* list_ = nullptr;
        std::size_t index_ = 0;
    };

    using value_type = T;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T&;
    using const_reference = const T&;
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;

    ChunkedArray() = default;
    ChunkedArray(const ChunkedArray& other)
    {
        reserve(other.size_);
        for (std::size_t i = 0; i < other.size_; ++i)
            push_back(other[i]);
    }
    ChunkedArray(ChunkedArray&& other) noexcept
        : chunks_(std::move(other.chunks_)), size_(other.size_)
    {
        other.chunks_.clear();
        other.size_ = 0;
    }
    ~ChunkedArray() { clear(); }

    ChunkedArray& operator=(const ChunkedArray& other)
    {
        if (this != &other) {
            ChunkedArray copy(other);
            Swap(copy);
        }
        return *this;
    }
    ChunkedArray& operator=(ChunkedArray&& other) noexcept
    {
        if (this != &other) {
            clear();
            Swap(other);
        }
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& operator[](std::size_t i)
    {
        assert(i < size_);
        return chunks_[i >> kChunkShift][i & kChunkMask];
    }
    const T& operator[](std::size_t i) const
    {
        assert(i < size_);
        return chunks_[i >> kChunkShift][i & kChunkMask];
    }
    // Checked access: out of range is a fault of the caller, reported as
    // std::out_of_range like std::vector does (tests rely on it).
    T& at(std::size_t i)
    {
        if (i >= size_)
            throw std::out_of_range("ChunkedArray::at");
        return (*this)[i];
    }
    const T& at(std::size_t i) const
    {
        if (i >= size_)
            throw std::out_of_range("ChunkedArray::at");
        return (*this)[i];
    }
    T& front() { return (*this)[0]; }
    const T& front() const { return (*this)[0]; }
    T& back() { return (*this)[size_ - 1]; }
    const T& back() const { return (*this)[size_ - 1]; }

    // Calls visit(first, count) for each run of elements that lie next to
    // each other (one per chunk), in order: for readers that want every
    // element as plain memory (copies, digests).
    template <typename Visit>
    void ForEachRun(Visit&& visit) const
    {
        for (std::size_t start = 0; start < size_; start += kChunkSize) {
            const std::size_t count = std::min(kChunkSize, size_ - start);
            visit(static_cast<const T*>(chunks_[start >> kChunkShift]), count);
        }
    }

    // Copies every element to `out`, which has room for size() of them.
    void CopyTo(T* out) const
    {
        static_assert(std::is_trivially_copyable<T>::value, "elements are copied as bytes");
        ForEachRun([&out](const T* first, std::size_t count) {
            std::memcpy(out, first, count * sizeof(T));
            out += count;
        });
    }

    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, size_); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size_); }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

    // Sizes the chunk table for `n` elements; the chunks come as they fill.
    void reserve(std::size_t n) { chunks_.reserve((n + kChunkMask) >> kChunkShift); }

    void push_back(const T& value) { emplace_back(value); }
    void push_back(T&& value) { emplace_back(std::move(value)); }

    template <typename... Args>
    T& emplace_back(Args&&... args)
    {
        // A value taken from this list stays where it is: chunks never move.
        T* slot = NextSlot();
        T* made = new (slot) T(std::forward<Args>(args)...);
        ++size_;
        return *made;
    }

    // Grows with copies of `value` or drops the last elements; the chunks
    // already there stay (as std::vector keeps its capacity).
    void resize(std::size_t n) { resize(n, T()); }
    void resize(std::size_t n, const T& value)
    {
        // `value` may live in this list: chunks never move, but shrinking
        // would destroy it, so copy it first.
        const T copy = value;
        while (size_ > n) {
            (*this)[size_ - 1].~T();
            --size_;
        }
        while (size_ < n)
            emplace_back(copy);
    }

    // n copies of `value`, reusing the chunks already there.
    void assign(std::size_t n, const T& value)
    {
        const T copy = value;
        const std::size_t kept = std::min(n, size_);
        for (std::size_t i = 0; i < kept; ++i)
            (*this)[i] = copy;
        resize(n, copy);
    }

    // Removes one element, moving every later one down a place (O(n)).
    // Returns the iterator to the element that took its place.
    iterator erase(const_iterator position)
    {
        const std::size_t at = position.Index();
        assert(at < size_);
        for (std::size_t i = at; i + 1 < size_; ++i)
            (*this)[i] = std::move((*this)[i + 1]);
        (*this)[size_ - 1].~T();
        --size_;
        return iterator(this, at);
    }

    void clear() noexcept
    {
        for (std::size_t i = size_; i > 0; --i)
            (*this)[i - 1].~T();
        for (T* chunk : chunks_)
            ::operator delete(chunk);
        chunks_.clear();
        size_ = 0;
    }

private:
    // The uninitialised slot for element size_, its chunk allocated.
    T* NextSlot()
    {
        const std::size_t chunk = size_ >> kChunkShift;
        if (chunk == chunks_.size())
            chunks_.push_back(nullptr);
        // Allocated after its table entry, so that a failure leaks nothing.
        if (!chunks_[chunk])
            chunks_[chunk] = static_cast<T*>(::operator new(kChunkSize * sizeof(T)));
        return chunks_[chunk] + (size_ & kChunkMask);
    }

    void Swap(ChunkedArray& other) noexcept
    {
        chunks_.swap(other.chunks_);
        std::swap(size_, other.size_);
    }

    std::vector<T*> chunks_;   // each holds kChunkSize elements' room
    std::size_t size_ = 0;
};

template <typename T>
bool operator==(const ChunkedArray<T>& a, const ChunkedArray<T>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}
template <typename T>
bool operator==(const ChunkedArray<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}
template <typename T>
bool operator==(const std::vector<T>& a, const ChunkedArray<T>& b)
{
    return b == a;
}
template <typename T>
bool operator!=(const ChunkedArray<T>& a, const ChunkedArray<T>& b)
{
    return !(a == b);
}
template <typename T>
bool operator!=(const ChunkedArray<T>& a, const std::vector<T>& b)
{
    return !(a == b);
}
template <typename T>
bool operator!=(const std::vector<T>& a, const ChunkedArray<T>& b)
{
    return !(b == a);
}

}  // namespace host
