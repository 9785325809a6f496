#include "SourcePhoto.h"

#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Log.h"
#include "ImageIO/Decoder.h"

namespace {

constexpr const char* kBytesKey = "SourcePhoto";
constexpr const char* kLeftOutKey = "SourcePhotoLeftOut";
// What an archive adds after the bytes: the rest of their object's keys, class descriptions, the
// object list and the offset table, a few kilobytes at most for a painting.
constexpr std::uint64_t kRoomAfterBytes = std::uint64_t{64} << 10;

} // namespace

SourcePhoto::SourcePhoto(Bytes bytes) : m_bytes(std::move(bytes)) {}

bool SourcePhoto::leftOut() const { return m_leftOut.load() || !m_bytes; }

SourcePhoto::Bytes SourcePhoto::bytes() const { return m_leftOut.load() ? nullptr : m_bytes; }

void SourcePhoto::encodeLeftOut(fnd::KeyedArchiver& coder) const
{
    if (leftOut())
        coder.encodeInt32(kLeftOutKey, 1);
}

void SourcePhoto::leaveOut(const std::string& why) const
{
    if (!m_leftOut.exchange(true))
        fnd::log("the painting keeps no full-size photo, so it has no full-size export: " + why);
}

void SourcePhoto::encode(fnd::KeyedArchiver& coder) const
{
    if (const Bytes kept = bytes()) {
        const std::uint64_t room = coder.roomLeft();
        if (kept->size() <= room && room - kept->size() >= kRoomAfterBytes) {
            // Borrowed: the document being archived holds this, and so the bytes, until it is written.
            coder.encodeDataNoCopy(kBytesKey, *kept);
            return;
        }
        leaveOut("the photo's own file (" + std::to_string(kept->size())
                 + " bytes) does not fit under the painting file's size limit");
    }
    coder.encodeInt32(kLeftOutKey, 1);
}

std::shared_ptr<SourcePhoto> SourcePhoto::decode(fnd::KeyedUnarchiver& coder)
{
    const auto stored = coder.decodeData(kBytesKey);
    const bool leftOut = coder.decodeInt32(kLeftOutKey) != 0;
    if (!stored && !leftOut)
        return nullptr;
    if (leftOut || stored->size() > imageio::kMaxPhotoFileBytes) {
        auto none = std::make_shared<SourcePhoto>(nullptr);
        none->leaveOut(leftOut ? "its photo's own file was left out when it was saved"
                               : "its photo's own file is larger than any photo we open");
        return none;
    }
    return std::make_shared<SourcePhoto>(
        std::make_shared<const std::vector<std::uint8_t>>(stored->begin(), stored->end()));
}
