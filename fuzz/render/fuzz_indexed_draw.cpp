// Drives indexed draws on the recording device with buffer sizes, vertex
// formats, stream bindings, indices and ranges all taken from the input. The
// device and the vertex buffers must never read outside an array; exactly the
// ranges that lie inside the bound index buffer are drawn, each vertex read
// through its index, and an index past the positions reads as 0.
#include "RecordingDevice.h"

#include "../FuzzInput.h"

#include <cstddef>
#include <cstdint>

using namespace NVorn;
using namespace NVorn::N3D;

namespace {

// The input, with the words the target reads.
struct SInput : SFuzzInput
{
    uint16_t Word()
    {
        uint8_t low = Byte();
        return uint16_t(low | Byte() << 8);
    }
};

// One stream binding: which buffer (none, either vertex buffer, or the index
// buffer, which names no vertex buffer) and, for a texture unit, its set.
struct SBinding
{
    int m_Buffer;   // -1 none, 0 or 1 a vertex buffer, 2 the index buffer
    long m_Set;     // -1..8
};

SBinding ReadBinding(SInput& in)
{
    uint8_t b = in.Byte();
    return SBinding{b % 4 - 1, long(b / 4 % 10) - 1};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SInput in = {{data, size}};
    NTest::CRecordingDevice device;
    device.State_SetDefaults(true);

    // Two vertex buffers; vertex k of each has the position x = k.
    long handles[3], counts[2], formats[2];
    for (int b = 0; b < 2; ++b)
    {
        counts[b] = in.Word() % 1024;
        uint8_t bits = in.Byte();
        formats[b] = (bits & 7) | ((bits >> 3) & 3) << 4;  // position, normal, colour, sets 0 and 1
        handles[b] = device.CreateVertexBuffer(counts[b], formats[b], 0);
        CVertexBuffer* buffer = device.VertexBuffer(handles[b]);
        for (long k = 0; buffer->m_pPosition && k < counts[b]; ++k)
            buffer->m_pPosition[k].x = float(k);
    }

    // The index buffer: indices from the input while it lasts, then 0.
    long indexCount = in.Word() % 1024;
    handles[2] = device.CreateIndexBuffer(indexCount, 0);
    uint16_t* indices = device.IndexBuffer(handles[2])->m_pIndices;
    for (long i = 0; i < indexCount; ++i)
        indices[i] = in.Word();

    // Streams: position, normal, colour, then texture units 0 and 1.
    SBinding bindings[5];
    for (SBinding& binding : bindings)
        binding = ReadBinding(in);
    auto handle = [&](const SBinding& b) { return b.m_Buffer < 0 ? -1 : handles[b.m_Buffer]; };
    device.Stream_Vertex(handle(bindings[0]));
    device.Stream_Normal(handle(bindings[1]));
    device.Stream_Color(handle(bindings[2]));
    device.Stream_Texture(0, handle(bindings[3]), bindings[3].m_Set);
    device.Stream_Texture(1, handle(bindings[4]), bindings[4].m_Set);
    bool indexBound = in.Byte() % 4 != 0;
    device.Stream_Index(indexBound ? handles[2] : handles[0]);

    for (int draw = 0; draw < 8 && in.More(); ++draw)
    {
        long prim = long(in.Byte() % 9) - 1;
        long first = int16_t(in.Word());
        long count = int16_t(in.Word());
        size_t before = device.m_lDraws.size();
        device.DrawIndexed(prim, first, count);

        long n = NTest::VerticesForPrimitives(prim, count);
        bool inside = indexBound && first >= 0 && n > 0 && first + n <= indexCount;
        if (device.m_lDraws.size() != before + inside)
            __builtin_trap();
        const SBinding& p = bindings[0];
        const CVertexBuffer* positions = p.m_Buffer >= 0 ? device.VertexBuffer(handles[p.m_Buffer]) : nullptr;
        for (long i = 0; inside && i < n; ++i)
        {
            long index = indices[first + i];
            bool held = positions && positions->m_pPosition && index < positions->m_Count;
            if (device.m_lDraws.back().m_lVertices[i].x != (held ? float(index) : 0.0f))
                __builtin_trap();
        }
    }
    return 0;
}
