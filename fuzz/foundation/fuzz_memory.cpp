// Runs a sequence of memory-stream operations, chosen by the input, and checks
// the stream after each one against a plain model: a block of bytes, a
// cursor, a written size and a stack of saved positions. Seeks past the end
// are kept, seeks before the start or beyond a long fail, reads and writes
// move what lies between the cursor and the end, and a block the stream
// copied is its own.
#include "foundation/Memory.h"

#include <climits>
#include "../FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace NVorn;

namespace {

// The input, with the amounts the target reads.
struct SInput : SFuzzInput
{
    // Small counts around a size, and the extremes of a long.
    long Amount(long size)
    {
        const long extremes[4] = {LONG_MIN, LONG_MAX, -LONG_MAX, -1};
        uint8_t b = Byte();
        return b < 16 ? extremes[b % 4] : long(b % (size + 4)) - 1;
    }
};

// What the stream should be.
struct SModel
{
    bool m_bBlock = false;   // a block is set, even one of size 0
    std::vector<uint8_t> m_Bytes;
    long m_Current = 0, m_Written = 0;
    std::vector<long> m_Positions;

    long Size() const { return long(m_Bytes.size()); }
    long Movable(long n) const
    {
        if (n <= 0 || !m_bBlock || m_Current >= Size())
            return 0;
        return n < Size() - m_Current ? n : Size() - m_Current;
    }
    long Seek(long offset, long origin)
    {
        long base = origin == 0 ? 0 : origin == 1 ? m_Current : Size(), target;
        if (!m_bBlock || origin < 0 || origin > 2 || __builtin_add_overflow(base, offset, &target) || target < 0)
            return 0;
        m_Current = target;
        return 1;
    }
    void Reset(bool block, const uint8_t* data, long size)
    {
        m_bBlock = block;
        m_Bytes.assign(data, data + (size > 0 ? size : 0));
        m_Current = 0;
        m_Positions.clear();
    }
};

void Check(bool sound)
{
    if (!sound)
        __builtin_trap();
}

void Compare(CMemory& memory, const SModel& model)
{
    Check(memory.Tell() == model.m_Current && memory.GetSize() == model.Size() &&
          memory.GetWrittenSize() == model.m_Written && memory.EndOfStream() == (model.m_Current >= model.Size()) &&
          memory.IsReady() == (model.m_bBlock && model.Size() != 0));
    const uint8_t* data = static_cast<const uint8_t*>(memory.GetData());
    for (long i = 0; model.m_bBlock && i < model.Size(); ++i)
        Check(data[i] == model.m_Bytes[size_t(i)]);
}

// One operation from the input on the stream and on the model.
void Step(SInput& in, CMemory& memory, SModel& model, uint8_t* outside, long outsideSize)
{
    uint8_t buffer[80] = {};
    switch (in.Byte() % 11)
    {
    case 0:
    {
        long offset = in.Amount(model.Size()), origin = long(in.Byte() % 5) - 1;
        Check(memory.Seek(offset, origin) == model.Seek(offset, origin));
        break;
    }
    case 1:
    {
        long n = in.Amount(model.Size()), expected = model.Movable(n > 80 ? 80 : n);
        Check(memory.Read(buffer, n > 80 ? 80 : n) == expected);
        for (long i = 0; i < expected; ++i)
            Check(buffer[i] == model.m_Bytes[size_t(model.m_Current + i)]);
        model.m_Current += expected;
        break;
    }
    case 2:
    {
        long n = in.Amount(model.Size());
        bool none = in.Byte() % 8 == 0;
        n = n > 80 ? 80 : n;
        for (long i = 0; i < n; ++i)
            buffer[i] = in.Byte();
        long expected = none ? 0 : model.Movable(n);
        Check(memory.Write(none ? nullptr : buffer, n) == expected);
        for (long i = 0; i < expected; ++i)
            model.m_Bytes[size_t(model.m_Current + i)] = buffer[i];
        model.m_Current += expected;
        model.m_Written = model.m_Current;
        break;
    }
    case 3: memory.Push(); model.m_Positions.push_back(model.m_Current); break;
    case 4:
        memory.Pop();
        if (!model.m_Positions.empty())
        {
            model.Seek(model.m_Positions.back(), 0);
            model.m_Positions.pop_back();
        }
        break;
    case 5:
        memory.Drop();
        if (!model.m_Positions.empty())
            model.m_Positions.pop_back();
        break;
    case 6:
    {
        // Part of its own block, or of another.
        long from = in.Byte() % (model.Size() + 1), n = in.Amount(model.Size() - from);
        bool own = model.m_bBlock && in.Byte() % 2;
        if (!own)
            from = in.Byte() % outsideSize;
        long limit = own ? model.Size() - from : outsideSize - from;
        n = n > limit ? limit : n;
        uint8_t* source = own ? static_cast<uint8_t*>(memory.GetData()) + from : outside + from;
        std::vector<uint8_t> copied(source, source + (n > 0 ? n : 0));
        memory.Copy(source, n);
        model.Reset(n > 0, copied.data(), n);
        model.m_Written = model.Size();
        break;
    }
    case 7:
    {
        long n = in.Amount(outsideSize);
        n = n > outsideSize ? outsideSize : n;
        bool none = in.Byte() % 8 == 0;
        memory.Set(none ? nullptr : outside, n);
        model.Reset(!none, outside, none ? 0 : n);
        model.m_Written = 0;
        break;
    }
    case 8:
        memory.Reset();
        model.m_Bytes.clear();
        model.m_Current = model.m_Written = 0;
        model.m_Positions.clear();
        break;
    case 9:
    {
        // Clearing forgets an owned block but keeps pointing at another's.
        bool owned = model.m_bBlock && memory.GetData() != outside;
        memory.Clear();
        Check(memory.m_Owner == 0);
        model.m_bBlock = model.m_bBlock && !owned;
        model.m_Bytes.clear();
        model.m_Current = model.m_Written = 0;
        break;
    }
    case 10:
    {
        // Without a source the new block is only sized; zero it to compare.
        long n = in.Amount(outsideSize);
        n = n > outsideSize ? outsideSize : n;
        memory.Copy(nullptr, n);
        if (memory.GetData())
            std::memset(memory.GetData(), 0, size_t(n));
        std::vector<uint8_t> zeros(size_t(n > 0 ? n : 0));
        model.Reset(n > 0, zeros.data(), n);
        model.m_Written = model.Size();
        break;
    }
    default:
        break;
    }
    Compare(memory, model);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SInput in = {{data, size}};
    long outsideSize = 1 + in.Byte() % 48;
    std::vector<uint8_t> outside(static_cast<size_t>(outsideSize));
    for (uint8_t& b : outside)
        b = in.Byte();

    // A stream over that block, a block of its own, or none.
    SModel model;
    uint8_t start = in.Byte() % 3;
    long n = long(in.Byte() % 40) - 2;
    CMemory* memory = start == 0 ? new CMemory(outside.data(), n > outsideSize ? outsideSize : n)
                    : start == 1 ? new CMemory(n) : new CMemory();
    if (start == 0)
        model.Reset(true, outside.data(), n > outsideSize ? outsideSize : n);
    else if (start == 1 && n > 0)
    {
        model.Reset(true, static_cast<uint8_t*>(memory->GetData()), n);
    }
    Compare(*memory, model);
    for (int step = 0; step < 16 && in.More(); ++step)
        Step(in, *memory, model, outside.data(), outsideSize);
    delete memory;
    return 0;
}
