// TDynamicArray<T>: the engine's growable contiguous array.
//
// m_pData holds m_Capacity default-constructed slots, of which the first
// m_Length are in use. An append that finds the array full grows it by
// exactly 10 slots, so k appends give capacities 1, 11, 21, ... The storage
// never shrinks except through SetLen and Clear. Elements are read and
// written in place; indexing is not bounds-checked. An array of pointers does
// not own what they point to. Copying an array copies its elements.
#ifndef NVORN_FOUNDATION_DYNAMICARRAY_H
#define NVORN_FOUNDATION_DYNAMICARRAY_H

#include <algorithm>

namespace NVorn
{
    template<class T>
    class TDynamicArray
    {
    public:
        TDynamicArray();
        TDynamicArray(const TDynamicArray& other);
        TDynamicArray& operator=(const TDynamicArray& other);
        virtual ~TDynamicArray();

        // Re-allocates to exactly n slots, keeping the first min(length, n)
        // elements. A negative n counts as 0.
        void SetLen(long n);
        // Appends value, growing by 10 slots when full.
        void Append(const T& value);
        // Removes the first element equal to value; false when there is none.
        bool Remove(const T& value);
        // Removes the element at index, shifting the later ones down; false
        // when index is outside the used part.
        bool RemoveAt(long index);
        // Back to the state after construction: 1 slot, length 0.
        void Clear();

        T& operator[](long index) { return m_pData[index]; }
        const T& operator[](long index) const { return m_pData[index]; }

        T* m_pData;
        long m_Capacity;
        long m_Length;

    private:
        void CopyFrom(const TDynamicArray& other);
    };

    template<class T>
    TDynamicArray<T>::TDynamicArray()
        : m_pData(new T[1]), m_Capacity(1), m_Length(0)
    {
    }

    template<class T>
    TDynamicArray<T>::TDynamicArray(const TDynamicArray& other)
        : m_pData(nullptr), m_Capacity(0), m_Length(0)
    {
        CopyFrom(other);
    }

    template<class T>
    TDynamicArray<T>& TDynamicArray<T>::operator=(const TDynamicArray& other)
    {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }

    template<class T>
    TDynamicArray<T>::~TDynamicArray()
    {
        delete[] m_pData;
        m_pData = nullptr;
    }

    template<class T>
    void TDynamicArray<T>::CopyFrom(const TDynamicArray& other)
    {
        long capacity = other.m_Capacity > 0 ? other.m_Capacity : 1;
        T* data = new T[capacity];
        for (long i = 0; i < other.m_Length; ++i)
            data[i] = other.m_pData[i];
        delete[] m_pData;
        m_pData = data;
        m_Capacity = capacity;
        m_Length = other.m_Length;
    }

    template<class T>
    void TDynamicArray<T>::SetLen(long n)
    {
        if (n < 0)
            n = 0;
        long keep = std::min(m_Length, n);
        T* data = n > 0 ? new T[n] : nullptr;
        for (long i = 0; i < keep; ++i)
            data[i] = m_pData[i];
        delete[] m_pData;
        m_pData = data;
        m_Capacity = n;
        m_Length = keep;
    }

    template<class T>
    void TDynamicArray<T>::Append(const T& value)
    {
        if (m_Length == m_Capacity)
        {
            // value may live in our own storage; keep a copy across the move.
            T copy = value;
            SetLen(m_Length + 10);
            m_pData[m_Length++] = copy;
            return;
        }
        m_pData[m_Length++] = value;
    }

    template<class T>
    bool TDynamicArray<T>::Remove(const T& value)
    {
        for (long i = 0; i < m_Length; ++i)
            if (m_pData[i] == value)
                return RemoveAt(i);
        return false;
    }

    template<class T>
    bool TDynamicArray<T>::RemoveAt(long index)
    {
        if (index < 0 || index >= m_Length)
            return false;
        for (long i = index; i + 1 < m_Length; ++i)
            m_pData[i] = m_pData[i + 1];
        --m_Length;
        return true;
    }

    template<class T>
    void TDynamicArray<T>::Clear()
    {
        delete[] m_pData;
        m_pData = new T[1];
        m_Capacity = 1;
        m_Length = 0;
    }
}

#endif
