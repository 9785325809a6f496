#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <span>
#include <string_view>
#include <sys/resource.h>

#include "ImageIO/VideoWriter.h"
#include "ImageIO/YuvConversion.h"
#include "Support/Mp4Reading.h"
#include "Support/RunCommand.h"
#include "Support/TempFolder.h"

namespace imageio {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Span = std::span<const std::uint8_t>;
using test_support::be32;
using test_support::boxAt;
using test_support::boxesIn;
using test_support::decodeVideo;

constexpr int kVideoWidth = 67; // odd sides: the video is 66 x 48
constexpr int kVideoHeight = 49;
constexpr int kFrames = 12;
constexpr int kFps = 30;

// Frame `index`: a soft diagonal gradient with a red square that moves with the frame number.
Bytes framePixels(int index)
{
    Bytes bytes(static_cast<std::size_t>(kVideoWidth * kVideoHeight * 4));
    for (int y = 0; y < kVideoHeight; ++y)
        for (int x = 0; x < kVideoWidth; ++x) {
            const bool square = x >= 4 * index && x < 4 * index + 16 && y >= 16 && y < 32;
            const std::uint32_t word = square ? 0xFFE01010u
                                              : 0xFF000000u | static_cast<std::uint32_t>(x * 3) << 16
                                                    | static_cast<std::uint32_t>(y * 4) << 8 | 0x60u;
            std::memcpy(&bytes[static_cast<std::size_t>((y * kVideoWidth + x) * 4)], &word, 4);
        }
    return bytes;
}

double meanDifference(const Bytes& a, const Bytes& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(a[i] - b[i]);
    return sum / static_cast<double>(a.size());
}

Bytes readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t entriesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

fnd::Status writeClip(const fs::path& path, int frames = kFrames)
{
    auto writer = VideoWriter::open(path.string(), kVideoWidth, kVideoHeight, kFps);
    if (!writer)
        return fnd::Error{writer.error()};
    for (int i = 0; i < frames; ++i) {
        const Bytes pixels = framePixels(i);
        if (auto added = writer->addFrame(pixels.data(), kVideoWidth * 4); !added)
            return added;
    }
    return writer->finish();
}

TEST(VideoWriter, ClipStreamsAndDecodesToItsFrames)
{
    test_support::TempFolder folder("video");
    const fs::path path = folder / "clip.mp4";
    ASSERT_TRUE(writeClip(path).ok());
    const Bytes file = readAll(path);

    // ftyp, moov, mdat in that order; one sample per frame; the first is a key picture.
    std::vector<std::string> order;
    for (const auto& box : boxesIn(file))
        order.push_back(box.first);
    EXPECT_EQ(order, (std::vector<std::string>{"ftyp", "moov", "mdat"}));
    EXPECT_EQ(be32(boxAt(file, "moov/trak/mdia/minf/stbl/stsz"), 8), std::uint32_t{kFrames});
    const Span stss = boxAt(file, "moov/trak/mdia/minf/stbl/stss");
    EXPECT_EQ(be32(stss, 4), 1u); // one key picture (they come every two seconds)
    EXPECT_EQ(be32(stss, 8), 1u);
    const Span mdhd = boxAt(file, "moov/trak/mdia/mdhd");
    EXPECT_EQ(be32(mdhd, 16) * kFps, be32(mdhd, 12) * kFrames); // duration x rate = timescale x frames
    EXPECT_EQ(be32(boxAt(file, "moov/mvhd"), 16), 400u);        // 12 frames at 30 a second, in ms

    const auto frames = decodeVideo(file);
    ASSERT_EQ(frames.size(), std::size_t{kFrames});
    for (int i : {0, kFrames - 1}) {
        SCOPED_TRACE(i);
        ASSERT_EQ(frames[static_cast<std::size_t>(i)].width, kVideoWidth - 1);
        ASSERT_EQ(frames[static_cast<std::size_t>(i)].height, kVideoHeight - 1);
        const Bytes pixels = framePixels(i);
        Bytes y(66 * 48), u(33 * 24), v(33 * 24);
        convertArgbToYuv420(pixels.data(), kVideoWidth * 4, 66, 48, {y.data(), u.data(), v.data(), 66, 33});
        EXPECT_LT(meanDifference(frames[static_cast<std::size_t>(i)].y, y), 2.0);
        EXPECT_LT(meanDifference(frames[static_cast<std::size_t>(i)].u, u), 2.0);
        EXPECT_LT(meanDifference(frames[static_cast<std::size_t>(i)].v, v), 2.0);
    }
}

TEST(VideoWriter, FfprobeReadsTheClip)
{
    if (!test_support::haveTool("ffprobe"))
        GTEST_SKIP() << "ffprobe is not installed";
    test_support::TempFolder folder("video");
    const fs::path path = folder / "clip.mp4";
    ASSERT_TRUE(writeClip(path, 45).ok());
    const auto [out, status] = test_support::runCommand(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=codec_name,pix_fmt,width,height,nb_read_frames,color_space,color_primaries:format=duration "
        "-of default=noprint_wrappers=1 '"
        + path.string() + "'");
    ASSERT_EQ(status, 0) << out;
    for (const char* line : {"codec_name=h264", "width=66", "height=48", "pix_fmt=yuv420p", "color_space=bt709",
                             "color_primaries=bt709", "nb_read_frames=45", "duration=1.500000"})
        EXPECT_NE(out.find(line), std::string::npos) << line << " not in\n" << out;
    // A whole decode that finds nothing to complain about.
    if (test_support::haveTool("ffmpeg")) {
        EXPECT_EQ(test_support::runCommand("ffmpeg -v error -i '" + path.string() + "' -f null - 2>&1"),
                  (std::pair<std::string, int>{"", 0}));
    }
}

TEST(VideoWriter, FailureOrCancelLeavesNothing)
{
    test_support::TempFolder folder("video");
    const fs::path path = folder / "clip.mp4";
    const Bytes pixels = framePixels(0);
    {
        auto cancelled = VideoWriter::open(path.string(), kVideoWidth, kVideoHeight, kFps);
        ASSERT_TRUE(cancelled.ok());
        ASSERT_TRUE(cancelled->addFrame(pixels.data(), kVideoWidth * 4).ok());
        cancelled->cancel();
        auto dropped = VideoWriter::open(path.string(), kVideoWidth, kVideoHeight, kFps);
        ASSERT_TRUE(dropped->addFrame(pixels.data(), kVideoWidth * 4).ok());
    }
    EXPECT_EQ(entriesIn(folder.path()), 0u);

    // A full disk at the last byte of the video: the scratch file fits, the finished file does not.
    ASSERT_TRUE(writeClip(path).ok());
    const auto size = fs::file_size(path);
    fs::remove(path);
    for (rlim_t limit : {static_cast<rlim_t>(size - 1), rlim_t{100}}) {
        const auto child = [&] {
            const rlimit fileSize{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
            const auto written = writeClip(path);
            const bool told = !written && written.error().find(std::strerror(EFBIG)) != std::string::npos;
            std::exit(told && entriesIn(folder.path()) == 0 ? 0 : 1);
        };
        EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "") << "limit " << limit;
    }

    EXPECT_FALSE(VideoWriter::open((folder / "missing" / "clip.mp4").string(), 64, 64, 30).ok());
    EXPECT_FALSE(VideoWriter::open(path.string(), 15, 64, 30).ok());
    EXPECT_FALSE(VideoWriter::open(path.string(), 4096, 4096, 30).ok());
    EXPECT_FALSE(VideoWriter::open(path.string(), 64, 64, 0).ok());
    EXPECT_EQ(entriesIn(folder.path()), 0u);
}

} // namespace
} // namespace imageio
