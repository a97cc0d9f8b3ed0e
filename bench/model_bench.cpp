// Model import: reading 3DM text and merging face corners, which should grow linearly with
// the model.
#include <benchmark/benchmark.h>

#include <string>

#include "model/t3dm_file.h"
#include "model/vert_indices_3dm_list.h"

namespace {

// A strip of n quads: 2n + 2 vertices, 2n faces, texture coordinates sharing the vertex numbers.
std::string Strip(int n) {
    std::string text = "#Header 1\r\nVersion 1\r\n#Object 1\r\nName Strip\r\n";
    text += "#Vertices " + std::to_string(2 * n + 2) + "\r\n";
    for (int i = 0; i <= n; ++i)
        text += "[" + std::to_string(i) + ".5,0,-1.25e-002]\r\n[" + std::to_string(i) + ".5,1,0.125]\r\n";
    text += "#TextureCoords " + std::to_string(2 * n + 2) + "\r\n";
    for (int i = 0; i <= n; ++i) text += "[0.5,0,0]\r\n[0.5,1,0]\r\n";
    for (const char* faces : {"#VertexFaces ", "#TextureCoordFaces "}) {
        text += faces + std::to_string(2 * n) + "\r\n";
        for (int i = 0; i < n; ++i) {
            const int a = 2 * i + 1;
            text += "[" + std::to_string(a) + "," + std::to_string(a + 2) + "," + std::to_string(a + 1) + "]\r\n";
            text += "[" + std::to_string(a + 1) + "," + std::to_string(a + 2) + "," + std::to_string(a + 3) + "]\r\n";
        }
    }
    return text;
}

void BM_Load3DM(benchmark::State& state) {
    const std::string text = Strip(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        T3DMFile file;
        file.LoadFromText(text);
        benchmark::DoNotOptimize(file.ObjectCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_Load3DM)->Arg(250)->Arg(4000);

void BM_MergeCorners(benchmark::State& state) {
    T3DMFile file;
    file.LoadFromText(Strip(static_cast<int>(state.range(0))));
    const T3DMObject& object = file.Objects(0);
    for (auto _ : state) {
        TVertIndices3DMList merger(object.Vertices.Count());
        for (std::int32_t f = 0; f < object.VertexFaces.Count(); ++f)
            for (int k = 0; k < 3; ++k)
                merger.IndexOfCorner(object.VertexFaces.Items(f).corner[k], object.TextureCoordFaces.Items(f).corner[k], 0);
        benchmark::DoNotOptimize(merger.Count());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MergeCorners)->Range(256, 16384)->Complexity(benchmark::oN);

// The adversarial case: every corner on one vertex with a texture coordinate of its own, so
// one vertex gathers n distinct (vertex, texture) pairs. Linear with a hash, quadratic with a
// search through the vertex's earlier corners.
void BM_MergeCornersOnOneVertex(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        TVertIndices3DMList merger(1);
        for (std::int32_t corner = 1; corner <= n; ++corner) merger.IndexOfCorner(1, corner, 0);
        benchmark::DoNotOptimize(merger.Count());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MergeCornersOnOneVertex)->Range(256, 65536)->Complexity(benchmark::oN);

}  // namespace
