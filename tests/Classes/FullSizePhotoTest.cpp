// The full-size photo of a painting: a photo that had to be turned upright keeps its own file in
// the painting's archive and recovery copies, within the archive's size limit, and is decoded and
// turned again at full size; whatever is stored under that key is outside input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "DataModel.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "ImageIO/Decoder.h"
#include "PaintingFixtures.h"
#include "Recovery.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExifTurnedClockwise = 6; // shown upright after a quarter turn clockwise

class FullSizePhotoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnd::setDocumentsPath(dir.string());
        previousSink = fnd::setLogSink([this](const std::string& line) { logged.push_back(line); });
    }
    void TearDown() override
    {
        DataModel::releaseSharedDataModel();
        fnd::setLogSink(previousSink);
        fnd::setDocumentsPath("");
    }

    // A 1200 x 900 camera JPEG to be turned upright (900 x 1200), decoded as the picker decodes it.
    imageio::DecodedImage pickTurnedPhoto()
    {
        jpeg = testing::makeJpegWithExifOrientation(*testing::makePhoto(1200, 900), kExifTurnedClockwise);
        auto decoded = imageio::decodeMemory(jpeg.data(), jpeg.size());
        EXPECT_TRUE(decoded) << decoded.error();
        EXPECT_EQ(decoded->orientation, imageio::kOrientationRight);
        return decoded.value_or(imageio::DecodedImage{});
    }

    DataModel* paint(imageio::DecodedImage photo)
    {
        return DataModel::sharedDataModelWithUIImage(std::make_shared<const imageio::DecodedImage>(std::move(photo)))
            .value_or(nullptr);
    }

    std::unique_ptr<DataModel> reopen(const DataModel& model)
    {
        std::string reason;
        auto reopened = DataModel::initWithArchiveData(fnd::KeyedArchiver::archivedData(model).value(), &reason);
        EXPECT_TRUE(reopened) << reason;
        return reopened;
    }

    int loggedLeftOut() const
    {
        return static_cast<int>(std::count_if(logged.begin(), logged.end(), [](const std::string& line) {
            return line.find("no full-size photo") != std::string::npos;
        }));
    }

    test_support::TempFolder tempFolder{"kanvaro-fullsize"};
    fs::path dir = tempFolder.path();
    std::vector<std::uint8_t> jpeg;
    std::vector<std::string> logged;
    fnd::LogSink previousSink;
};

// Every pixel of the loaded photo is the decoded photo's pixel a quarter turn clockwise away.
void expectTurnedClockwise(const RawImage& upright, const imageio::DecodedImage& decoded)
{
    ASSERT_EQ(upright.width(), decoded.height);
    ASSERT_EQ(upright.height(), decoded.width);
    int mismatches = 0;
    for (int y = 0; y < upright.height() && mismatches < 5; ++y)
        for (int x = 0; x < upright.width() && mismatches < 5; ++x) {
            const std::uint8_t* got = upright.pixels()->data() + static_cast<std::size_t>(y) * upright.rb() + x * 4;
            const std::uint8_t* want =
                decoded.bytes->data() + static_cast<std::size_t>(decoded.height - 1 - x) * decoded.bytesPerRow + y * 4;
            if (std::memcmp(got, want, 4) != 0) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs";
                ++mismatches;
            }
        }
}

} // namespace

// Saved and reopened, and restored from a recovery copy whose photo file (written once) holds the
// photo's file: the loader gives every pixel of the photo, upright, where the painting's raw image
// holds it resampled to 768 x 1024.
TEST_F(FullSizePhotoTest, ATurnedPhotoComesBackAtFullSizeFromItsSaveAndItsRecoveryCopy)
{
    const imageio::DecodedImage decoded = pickTurnedPhoto();
    DataModel* model = paint(decoded);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->rawImage()->width(), 768);
    EXPECT_EQ(model->sourcePhotoBytes(), jpeg.size());
    ASSERT_TRUE(model->saveToFiles());
    DataModel* reopened = DataModel::sharedDataModelWithArchivePath(model->getFullPath());
    ASSERT_TRUE(reopened);
    auto load = reopened->fullSizePhotoLoader();
    ASSERT_TRUE(load);
    auto photo = load();
    ASSERT_TRUE(photo) << photo.error();
    expectTurnedClockwise(*photo.value(), decoded);

    reopened->setFileTitle("Turned"); // as the gallery names what it opens
    const fs::path folder = dir / "Recovery";
    recovery::Keeper keeper;
    ASSERT_TRUE(keeper.keepAndWait(reopened->recoverySnapshot(), folder.string()));
    const auto photoFiles = [&] {
        std::vector<std::pair<fs::path, fs::file_time_type>> found;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".photo")
                found.emplace_back(entry.path(), entry.last_write_time());
        return found;
    };
    const auto first = photoFiles();
    reopened->setChangesMade(true);
    ASSERT_TRUE(keeper.keepAndWait(reopened->recoverySnapshot(), folder.string()));
    EXPECT_EQ(photoFiles(), first);
    const std::string copy = recovery::copyPath(folder.string(), reopened->fileTitle());
    EXPECT_LT(fs::file_size(copy), jpeg.size()); // the copy names the photo file, which holds the bytes
    auto restored = DataModel::initWithRecoveryCopy(copy);
    ASSERT_TRUE(restored) << restored.error();
    ASSERT_TRUE(restored.value()->fullSizePhotoLoader());
    photo = restored.value()->fullSizePhotoLoader()();
    ASSERT_TRUE(photo) << photo.error();
    expectTurnedClockwise(*photo.value(), decoded);
    keeper.discard();
}

// When the photo's file does not fit under the archive's limit, the save goes on without it, says
// so once, and the painting (open and reopened) has no full-size photo; the same when the file
// was not at hand when the photo was picked.
TEST_F(FullSizePhotoTest, APhotoFileWithoutRoomIsLeftOutOnceAndTheSaveGoesOn)
{
    DataModel* model = paint(pickTurnedPhoto());
    ASSERT_TRUE(model);
    const std::uint64_t whole = fnd::KeyedArchiver::archivedData(*model)->size();
    const std::string path = (dir / "small.art").string();
    for (int save = 0; save < 2; ++save) {
        auto archive = fnd::KeyedArchiver::writeArchive(*model, path, whole - 1);
        ASSERT_TRUE(archive) << archive.error();
        ASSERT_TRUE(archive->commit());
    }
    EXPECT_EQ(loggedLeftOut(), 1);
    EXPECT_LE(fs::file_size(path) + jpeg.size(), whole + 64); // the marker in place of the bytes
    EXPECT_TRUE(model->fullSizePhotoLeftOut());
    EXPECT_FALSE(model->fullSizePhotoLoader());
    DataModel* reopened = DataModel::sharedDataModelWithArchivePath(path);
    ASSERT_TRUE(reopened);
    EXPECT_TRUE(reopened->fullSizePhotoLeftOut());
    EXPECT_FALSE(reopened->fullSizePhotoLoader());

    logged.clear();
    model = paint(*testing::makePhoto(120, 90, imageio::kOrientationRight)); // no file came with it
    ASSERT_TRUE(model);
    EXPECT_EQ(loggedLeftOut(), 1);
    EXPECT_TRUE(model->fullSizePhotoLeftOut());
    EXPECT_FALSE(reopen(*model)->fullSizePhotoLoader());
}

// Whatever lies under the key opens with the painting; loading it fails with a reason, never
// crashes and never allocates what a header claims beyond the decoder's limits.
TEST_F(FullSizePhotoTest, HostilePhotoFilesOpenAndFailToLoadCleanly)
{
    const imageio::DecodedImage decoded = pickTurnedPhoto();
    std::vector<std::uint8_t> bomb = jpeg; // the frame header claims 16384 x 16384 pixels
    for (std::size_t i = 0; i + 8 < bomb.size(); ++i)
        if (bomb[i] == 0xFF && bomb[i + 1] == 0xC0) {
            bomb[i + 5] = bomb[i + 7] = 0x40;
            bomb[i + 6] = bomb[i + 8] = 0x00;
            break;
        }
    const std::vector<std::uint8_t> truncated(jpeg.begin(),
                                              jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
    const auto another = testing::makeJpegWithExifOrientation(*testing::makePhoto(90, 90), kExifTurnedClockwise);
    for (const auto& hostile :
         {std::vector<std::uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'p', 'h', 'o', 't', 'o'}, bomb, truncated, another}) {
        imageio::DecodedImage photo = decoded;
        photo.sourceFile = std::make_shared<const std::vector<std::uint8_t>>(hostile);
        DataModel* model = paint(photo);
        ASSERT_TRUE(model);
        auto reopened = reopen(*model);
        ASSERT_TRUE(reopened);
        auto load = reopened->fullSizePhotoLoader();
        ASSERT_TRUE(load);
        auto loaded = load();
        EXPECT_FALSE(loaded) << hostile.size() << " bytes loaded as " << loaded.value()->width() << " x "
                             << loaded.value()->height();
    }
}

// Paintings saved before photos kept their files open as they did: a photo painting's raw image is
// its full-size photo, a blank canvas has none.
TEST_F(FullSizePhotoTest, PaintingsSavedBeforeThisOpenAsTheyDid)
{
    const std::string corpus = KANVARO_SOURCE_DIR "/fuzz/corpus/data_model/";
    DataModel* photo = DataModel::sharedDataModelWithArchivePath(corpus + "photo_16x12.art");
    ASSERT_TRUE(photo);
    EXPECT_FALSE(photo->fullSizePhotoLeftOut());
    auto loaded = photo->fullSizePhotoLoader()();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.value()->width(), 16);
    EXPECT_EQ(loaded.value()->pixels(), photo->rawImage()->pixels());
    DataModel* blank = DataModel::sharedDataModelWithArchivePath(corpus + "blank.art");
    ASSERT_TRUE(blank);
    EXPECT_FALSE(blank->fullSizePhotoLoader());
}
