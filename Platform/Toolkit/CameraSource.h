#pragma once
// Frames from a camera for the image picker's live preview. A frame source is polled from the
// main thread and must answer at once: it hands out the newest frame it has, or nothing yet.
// The picker takes the V4L2 capture device (V4l2Camera.cpp) unless a test injects a source.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ImageIO/DecodedImage.h"

namespace ui {

class CameraFrameSource {
public:
    virtual ~CameraFrameSource() = default;
    // The newest frame since the last call (upright, 32-bit), or nothing when none has arrived.
    virtual std::optional<imageio::DecodedImage> takeFrame() = 0;
};

// Capture devices in `devFolder` ("video0", "video1", ...) that open and report video capture.
std::vector<std::string> findCaptureDevices(const std::string& devFolder = "/dev");
// The first capture device streaming, or nullptr (with a log line) when there is none.
std::unique_ptr<CameraFrameSource> openDefaultCamera();

} // namespace ui
