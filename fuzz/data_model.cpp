// Feeds arbitrary bytes to the painting opener, as a file chosen in the gallery would be, and
// when a document comes back draws its canvas and raw image small so the decoded values are used,
// and loads its full-size photo (a turned photo's own file is decoded).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "DataModel.h"
#include "Foundation/Log.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Every refused input logs a line; keep the fuzzer's output readable.
    fnd::setLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DataModel* model = DataModel::sharedDataModelWithArchiveData(std::vector<std::uint8_t>(data, data + size));
    if (model) {
        auto painting = model->canvas()->createThumbnail(29);
        if (model->rawImage())
            auto photo = model->rawImage()->createCompatibleThumbnailAtSize(29);
        if (auto load = model->fullSizePhotoLoader())
            (void)load();
    }
    DataModel::releaseSharedDataModel();
    return 0;
}
