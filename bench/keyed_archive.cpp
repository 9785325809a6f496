// Archiving and unarchiving a document-sized root: a 1024 x 768 x 4 pixel block and a 1 MiB
// painting block. vs_memcpy compares each round with a memcpy of the same bytes in the same run.
#include <vector>

#include "BenchSupport.h"

#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"

namespace {

constexpr size_t kPixelBytes = size_t{1024} * 768 * 4;
constexpr size_t kPaintingBytes = size_t{1} << 20;

struct Document : fnd::Codable {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kPixelBytes, 0x5A);
    std::vector<uint8_t> painting = std::vector<uint8_t>(kPaintingBytes, 0xA5);
    const char* className() const override { return "DataModel"; }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override
    {
        coder.encodeDataNoCopy("pixels", pixels);
        coder.encodeDataNoCopy("paintingData", painting);
        coder.encodeInt32("width", 1024);
        coder.encodeInt32("height", 768);
    }
};

void BM_ArchiveToBytes(benchmark::State& state)
{
    const Document document;
    bench::runAgainstMemcpy(state, kPixelBytes + kPaintingBytes, [&] {
        auto bytes = fnd::KeyedArchiver::archivedData(document);
        benchmark::DoNotOptimize(bytes.value().data());
    });
}

void BM_UnarchiveFromBytes(benchmark::State& state)
{
    const auto archived = fnd::KeyedArchiver::archivedData(Document()).value();
    // Each round copies the file buffer in (as reading the file would) and decodes views.
    bench::runAgainstMemcpy(state, kPixelBytes + kPaintingBytes, [&] {
        auto coder = fnd::KeyedUnarchiver::fromBytes(archived);
        coder->decodeRootObject("DataModel", [](fnd::KeyedUnarchiver& c) {
            benchmark::DoNotOptimize(c.decodeData("pixels")->data());
            benchmark::DoNotOptimize(c.decodeData("paintingData")->data());
        });
    });
}

} // namespace

BENCHMARK(BM_ArchiveToBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnarchiveFromBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
