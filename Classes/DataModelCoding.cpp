// The document's part of the painting archive: "RawImage" (or null for a blank canvas) and
// "Canvas", in that order.
#include "DataModel.h"

#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"

void DataModel::encodeWithCoder(fnd::KeyedArchiver& coder) const
{
    coder.encodeObject("RawImage", m_rawImage.get());
    coder.encodeObject("Canvas", m_canvas.get());
}

std::unique_ptr<DataModel> DataModel::initWithCoder(fnd::KeyedUnarchiver& coder,
                                                    const RawImage::PixelsFileReader& readPixelsFile)
{
    std::unique_ptr<DataModel> model(new DataModel(Restoring{}));
    bool isDocument = coder.decodeRootObject("DataModel", [&](fnd::KeyedUnarchiver& root) {
        root.decodeObject("RawImage", "RawImage", [&](fnd::KeyedUnarchiver& c) {
            model->m_rawImage = RawImage::initWithCoder(c, readPixelsFile);
        });
        root.decodeObject("Canvas", "Canvas",
                          [&](fnd::KeyedUnarchiver& c) { model->m_canvas = Canvas::initWithCoder(c); });
    });
    if (!isDocument || coder.failed())
        return nullptr;
    if (!model->m_canvas) {
        coder.failWithReason("DataModel.Canvas: missing");
        return nullptr;
    }
    return model;
}
