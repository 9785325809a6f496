// Importing a turned photo (rotation and resampling to 1024) and making the painting screen's
// 29 x 29 thumbnail.
#include "BenchSupport.h"
#include "RawImage.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

// A 2592 x 1936 camera photo that must be turned clockwise to show upright.
imageio::DecodedImage turnedPhoto()
{
    imageio::DecodedImage photo;
    photo.width = 2592;
    photo.height = 1936;
    photo.bytesPerRow = photo.width * 4;
    photo.orientation = imageio::kOrientationRight;
    photo.bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(photo.bytesPerRow)
                                                              * static_cast<std::size_t>(photo.height));
    for (std::size_t i = 0; i < photo.bytes->size(); ++i)
        (*photo.bytes)[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    return photo;
}

// vs_memcpy is over a memcpy of the source photo's bytes.
void BM_ImportTurnedPhoto(benchmark::State& state)
{
    const imageio::DecodedImage photo = turnedPhoto();
    bench::runAgainstMemcpy(state, photo.bytes->size(), [&] {
        auto image = RawImage::initWithUIImage(photo);
        benchmark::DoNotOptimize(image.get());
    });
}
BENCHMARK(BM_ImportTurnedPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

// vs_memcpy is over a memcpy of the thumbnail's bytes (29 x 29 x 4).
void BM_Thumbnail29(benchmark::State& state)
{
    auto image = RawImage::initWithUIImage(turnedPhoto());
    const int side = 29;
    bench::runAgainstMemcpy(state, static_cast<std::size_t>(side) * side * 4, [&] {
        gfx::ImageRef thumbnail = image->createCompatibleThumbnailAtSize(side);
        benchmark::DoNotOptimize(thumbnail.get());
    });
}
BENCHMARK(BM_Thumbnail29)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
