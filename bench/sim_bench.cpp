// The simulation's two costs: the warm-up before the first frame (target: under 20 ms) and one
// frame's Update + Sort (target: under 0.1 ms), both at 100 fish and 200 bubbles.
#include <benchmark/benchmark.h>

#include <memory>

#include "sim/bubbles.h"
#include "sim/fishes.h"
#include "sim/random.h"

namespace {

struct Scene {
    Scene() : bubbles(window), centropyge(window), chelmon(window), zebrasoma(window) {
        centropyge.DepthMin = 300;
        centropyge.DepthMax = 5000;
        centropyge.SpeedMin = 150;
        centropyge.SpeedMax = 300;
        for (TFishes* f : {&chelmon, &zebrasoma}) {
            f->DepthMin = 500;
            f->DepthMax = 10000;
            f->SpeedMin = 200;
            f->SpeedMax = 400;
        }
        for (TFishes* f : species) f->SpeciesShare = 100.0f / 3;
    }
    void WarmUp() {
        WarmUpBubbles(bubbles, 200);
        WarmUpFishes(species, 100, applied);
    }
    TFixedWindowSize window{1920, 1080};
    TBubbles bubbles;
    TFishes centropyge, chelmon, zebrasoma;
    TFishes* species[3] = {&centropyge, &chelmon, &zebrasoma};
    std::int32_t applied = kNothingApplied;
};

void BM_WarmUp100Fish200Bubbles(benchmark::State& state) {
    RandomSeed = 7;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<Scene>();
        state.ResumeTiming();
        scene->WarmUp();
        benchmark::DoNotOptimize(scene->bubbles.Items[0].Position);
    }
}
BENCHMARK(BM_WarmUp100Fish200Bubbles)->Unit(benchmark::kMillisecond);

void BM_FrameUpdateAndSort(benchmark::State& state) {
    RandomSeed = 7;
    Scene scene;
    scene.WarmUp();
    const float dt = 1.0f / 60.0f;
    for (auto _ : state) {
        scene.bubbles.Update(dt);
        for (TFishes* f : scene.species) {
            f->Update(dt);
            f->Sort();
        }
        ApplyFishCount(scene.species, 100, scene.applied);
        ApplyBubbleCount(scene.bubbles, 200);
        benchmark::DoNotOptimize(scene.zebrasoma.SortItems(0));
    }
}
BENCHMARK(BM_FrameUpdateAndSort)->Unit(benchmark::kMicrosecond);

}  // namespace
