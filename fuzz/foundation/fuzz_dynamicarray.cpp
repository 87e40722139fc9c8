// Runs a sequence of array operations, chosen by the input, on a dynamic
// array of elements that own memory and checks it after each one
// against a plain model: the elements in order and the capacity the growth
// rule gives (full appends grow by exactly 10 slots, SetLen re-allocates to
// exactly n, Clear leaves 1, a copy keeps the capacity but at least 1).
// Appending an element of the array itself and assigning an array to itself
// are among the operations.
#include "foundation/DynamicArray.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace NVorn;

namespace {

// A string owns memory; the number beside it is copied by inlined code, so
// the sanitizer sees every element the array reads or writes out of bounds.
using SElement = std::pair<std::string, long>;

struct SModel
{
    std::vector<SElement> m_Elements;
    long m_Capacity = 1;
};

void Check(bool sound)
{
    if (!sound)
        __builtin_trap();
}

void Compare(const TDynamicArray<SElement>& array, const SModel& model)
{
    Check(array.m_Length == long(model.m_Elements.size()) && array.m_Capacity == model.m_Capacity);
    for (size_t i = 0; i < model.m_Elements.size(); ++i)
        Check(array[long(i)] == model.m_Elements[i]);
}

void Append(TDynamicArray<SElement>& array, SModel& model, const SElement& value, const SElement& text)
{
    if (long(model.m_Elements.size()) == model.m_Capacity)
        model.m_Capacity += 10;
    model.m_Elements.push_back(text);
    array.Append(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TDynamicArray<SElement> array;
    SModel model;
    for (size_t at = 0; at + 1 < size && at < 128; at += 2)
    {
        const uint8_t op = data[at], arg = data[at + 1];
        const long length = long(model.m_Elements.size());
        const SElement text(std::to_string(arg % 8), arg % 8);
        switch (op % 8)
        {
        case 0:
        case 1: Append(array, model, text, text); break;
        case 2:
            // An element of the array itself, while the append may move it.
            if (length > 0)
                Append(array, model, array[arg % length], model.m_Elements[size_t(arg % length)]);
            break;
        case 3:
        {
            long n = long(arg % 24) - 2, keep = n < 0 ? 0 : n < length ? n : length;
            array.SetLen(n);
            model.m_Elements.resize(size_t(keep));
            model.m_Capacity = n < 0 ? 0 : n;
            break;
        }
        case 4:
        {
            bool found = false;
            for (size_t i = 0; i < model.m_Elements.size() && !found; ++i)
                if (model.m_Elements[i] == text)
                    model.m_Elements.erase(model.m_Elements.begin() + long(i)), found = true;
            Check(array.Remove(text) == found);
            break;
        }
        case 5:
        {
            long index = long(arg % 24) - 2;
            bool inside = index >= 0 && index < length;
            if (inside)
                model.m_Elements.erase(model.m_Elements.begin() + index);
            Check(array.RemoveAt(index) == inside);
            break;
        }
        case 6: array.Clear(); model.m_Elements.clear(); model.m_Capacity = 1; break;
        default:
        {
            // A copy and an assignment are deep and keep the capacity; the
            // original is then cleared and must not take the copies along.
            TDynamicArray<SElement> copy(array), assigned;
            TDynamicArray<SElement>& same = assigned;
            assigned = array;
            assigned = same;
            SModel copied = model;
            copied.m_Capacity = model.m_Capacity > 0 ? model.m_Capacity : 1;
            array.Clear();
            Compare(copy, copied);
            Compare(assigned, copied);
            array = copy;
            model.m_Capacity = copied.m_Capacity;
            break;
        }
        }
        Compare(array, model);
    }
    return 0;
}
