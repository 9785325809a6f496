#pragma once
// Reading back the MP4 videos we write: the boxes by path, and every picture decoded by
// OpenH264's decoder (the parameter sets taken from avcC), as Y, U and V planes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include <wels/codec_api.h>

namespace test_support {

using Span = std::span<const std::uint8_t>;

inline std::uint32_t be32(Span b, std::size_t at)
{
    return std::uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

// The boxes directly inside `payload`, by type, in order.
inline std::vector<std::pair<std::string, Span>> boxesIn(Span payload)
{
    std::vector<std::pair<std::string, Span>> boxes;
    for (std::size_t at = 0; at + 8 <= payload.size();) {
        const std::uint32_t size = be32(payload, at);
        if (size < 8 || at + size > payload.size())
            break;
        boxes.emplace_back(std::string(reinterpret_cast<const char*>(&payload[at + 4]), 4),
                           payload.subspan(at + 8, size - 8));
        at += size;
    }
    return boxes;
}

// The payload of the box at `path` ("moov/trak/..."); `skip` bytes of fields before children, by type.
inline Span boxAt(Span file, std::string_view path)
{
    static const std::map<std::string, std::size_t> skip = {{"stsd", 8}, {"avc1", 78}};
    Span current = file;
    std::string parent;
    while (!path.empty()) {
        const std::string name(path.substr(0, path.find('/')));
        path.remove_prefix(std::min(path.size(), name.size() + 1));
        const auto found = skip.find(parent);
        const Span children = current.subspan(found == skip.end() ? 0 : found->second);
        Span next;
        for (const auto& [type, payload] : boxesIn(children))
            if (type == name)
                next = payload;
        EXPECT_FALSE(next.empty()) << "no box " << name;
        current = next;
        parent = name;
    }
    return current;
}

struct DecodedFrame {
    int width = 0, height = 0;
    std::vector<std::uint8_t> y, u, v;
};

// Decodes every sample of the file with OpenH264's decoder, the parameter sets taken from avcC.
inline std::vector<DecodedFrame> decodeVideo(Span file)
{
    const Span avcC = boxAt(file, "moov/trak/mdia/minf/stbl/stsd/avc1/avcC");
    const std::size_t spsSize = avcC[6] << 8 | avcC[7];
    const Span sps = avcC.subspan(8, spsSize);
    const Span pps = avcC.subspan(8 + spsSize + 3, avcC[8 + spsSize + 1] << 8 | avcC[8 + spsSize + 2]);
    const Span stsz = boxAt(file, "moov/trak/mdia/minf/stbl/stsz");
    std::size_t offset = be32(boxAt(file, "moov/trak/mdia/minf/stbl/stco"), 8);

    ISVCDecoder* decoder = nullptr;
    EXPECT_EQ(WelsCreateDecoder(&decoder), 0);
    SDecodingParam parameters{};
    parameters.sVideoProperty.eVideoBsType = VIDEO_BITSTREAM_AVC;
    decoder->Initialize(&parameters);
    std::vector<DecodedFrame> frames;
    const auto feed = [&](std::vector<std::uint8_t> annexB) {
        unsigned char* planes[3] = {};
        SBufferInfo info{};
        decoder->DecodeFrameNoDelay(annexB.data(), static_cast<int>(annexB.size()), planes, &info);
        if (info.iBufferStatus != 1)
            return;
        DecodedFrame f{info.UsrData.sSystemBuffer.iWidth, info.UsrData.sSystemBuffer.iHeight, {}, {}, {}};
        for (int row = 0; row < f.height; ++row) {
            const auto* y = planes[0] + row * info.UsrData.sSystemBuffer.iStride[0];
            f.y.insert(f.y.end(), y, y + f.width);
            if (row % 2 == 0) {
                const auto* u = planes[1] + row / 2 * info.UsrData.sSystemBuffer.iStride[1];
                const auto* v = planes[2] + row / 2 * info.UsrData.sSystemBuffer.iStride[1];
                f.u.insert(f.u.end(), u, u + f.width / 2);
                f.v.insert(f.v.end(), v, v + f.width / 2);
            }
        }
        frames.push_back(std::move(f));
    };
    const std::vector<std::uint8_t> startCode = {0, 0, 0, 1};
    std::vector<std::uint8_t> sets = startCode;
    sets.insert(sets.end(), sps.begin(), sps.end());
    sets.insert(sets.end(), startCode.begin(), startCode.end());
    sets.insert(sets.end(), pps.begin(), pps.end());
    feed(sets);
    for (std::uint32_t i = 0; i < be32(stsz, 8); ++i) {
        const std::uint32_t size = be32(stsz, 12 + 4 * i);
        std::vector<std::uint8_t> annexB;
        if (offset + size > file.size())
            break;
        for (std::size_t at = offset; at + 4 <= offset + size;) {
            const std::uint32_t unit = be32(file, at);
            if (unit > offset + size - at - 4)
                break;
            annexB.insert(annexB.end(), startCode.begin(), startCode.end());
            annexB.insert(annexB.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                          file.begin() + static_cast<std::ptrdiff_t>(at + 4 + unit));
            at += 4 + unit;
        }
        feed(annexB);
        offset += size;
    }
    decoder->Uninitialize();
    WelsDestroyDecoder(decoder);
    return frames;
}

} // namespace test_support
