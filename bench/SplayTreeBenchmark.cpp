// Splaying a degenerate tree: bringing the deepest key of an ascending chain
// to the root should cost time in proportion to the chain, not its square,
// because the accumulators remember their open ends.

#include "TolvaneKit/Resources/RVResource.h"
#include "TolvaneKit/Resources/RVSplayTree.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

RVSplayTree::Ptr nodeWithKey(int key) {
    auto node = std::make_shared<RVSplayTree>();
    node->setData(std::make_shared<RVResource>(key, nullptr));
    return node;
}

RVSplayTree::Ptr ascendingChain(int count) {
    RVSplayTree::Ptr root = nodeWithKey(1);
    RVSplayTree* end = root.get();
    for (int key = 2; key <= count; ++key) {
        RVSplayTree::Ptr node = nodeWithKey(key);
        end->quicklyInsertNode(node);
        end = node.get();
    }
    return root;
}

void BM_SplayDeepestKeyOfChain(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        RVSplayTree::Ptr root = ascendingChain(count);
        state.ResumeTiming();
        root = RVSplayTree::findKey(std::move(root), count);
        benchmark::DoNotOptimize(root.get());
        state.PauseTiming();
        root.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SplayDeepestKeyOfChain)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity();

void BM_RandomSplayingSearch(benchmark::State& state) {
    RVSplayTree::Ptr root = ascendingChain(static_cast<int>(state.range(0)));
    unsigned key = 1;
    for (auto _ : state) {
        key = key * 1103515245u + 12345u;
        root = RVSplayTree::findKey(std::move(root), static_cast<int>(key % state.range(0)) + 1);
        benchmark::DoNotOptimize(root.get());
    }
}
BENCHMARK(BM_RandomSplayingSearch)->Arg(100000);

} // namespace
