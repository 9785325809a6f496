#pragma once
// The picked photo's own file, kept beside a painting whose photo had to be turned upright: the
// raw image holds that photo resampled to the canvas's size, and decoding the file again gives
// it at full size. Kept as picked (never re-encoded) in the painting's archive under "SourcePhoto",
// and in a recovery copy's photo file. When it cannot be kept (not at hand when the photo was
// picked, or no room under the archive's size limit), the painting goes without it for good: the
// archive then says so under "SourcePhotoLeftOut", and the reason is logged once.
//
// Shared by a document and its copies for archiving, which may be encoded on other threads.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fnd {
class KeyedArchiver;
class KeyedUnarchiver;
} // namespace fnd

class SourcePhoto {
public:
    using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

    // The file's bytes; nullptr when they were not at hand: the painting then goes without them
    // (the caller says why through leaveOut).
    explicit SourcePhoto(Bytes bytes);

    // The bytes, or nullptr once left out.
    Bytes bytes() const;
    bool leftOut() const;
    // From now on the painting goes without the bytes; the first call logs why.
    void leaveOut(const std::string& why) const;

    // Adds the bytes when the archive has room for them and what follows them, else leaves them
    // out and records that.
    void encode(fnd::KeyedArchiver& coder) const;
    // Records only that they were left out, when they were (for an archive whose photo, with these
    // bytes, is kept in a file of its own).
    void encodeLeftOut(fnd::KeyedArchiver& coder) const;
    // What encode() wrote in the current object: nullptr when neither key is there (an upright
    // photo, or a painting saved before photos kept their files). Only the size is checked
    // here: the bytes are outside input until they decode.
    static std::shared_ptr<SourcePhoto> decode(fnd::KeyedUnarchiver& coder);

private:
    Bytes m_bytes;
    mutable std::atomic<bool> m_leftOut{false};
};
