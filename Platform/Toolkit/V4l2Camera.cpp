// The camera over Video4Linux2: a capture device streaming through memory-mapped buffers (or
// plain reads when the driver offers no streaming), 640 x 480 YUYV or MJPEG, opened
// non-blocking so a poll from the main thread never waits for the next frame.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "Foundation/Log.h"
#include "ImageIO/Decoder.h"
#include "Toolkit/CameraSource.h"

namespace ui {
namespace {

constexpr unsigned kWidth = 640;
constexpr unsigned kHeight = 480;
constexpr unsigned kBufferCount = 4;

int retryIoctl(int fd, unsigned long request, void* argument)
{
    int result;
    do {
        result = ::ioctl(fd, request, argument);
    } while (result < 0 && errno == EINTR);
    return result;
}

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd& operator=(Fd&&) = delete;
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// A capture device by path: a character device answering VIDIOC_QUERYCAP with video capture
// and a way to read frames. Opened non-blocking; the descriptor is invalid otherwise.
Fd openCaptureDevice(const std::string& path, v4l2_capability& caps)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return Fd();
    Fd fd(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    caps = {};
    if (fd.get() < 0 || retryIoctl(fd.get(), VIDIOC_QUERYCAP, &caps) != 0)
        return Fd();
    const unsigned has = (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    if (!(has & V4L2_CAP_VIDEO_CAPTURE) || !(has & (V4L2_CAP_STREAMING | V4L2_CAP_READWRITE)))
        return Fd();
    return fd;
}

std::uint8_t clampByte(int value) { return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

// YUYV (two pixels in four bytes: Y0 U Y1 V, BT.601 studio range) -> opaque BGRA.
imageio::DecodedImage convertYuyv(const std::uint8_t* data, unsigned width, unsigned height, unsigned stride)
{
    imageio::DecodedImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.bytesPerRow = image.width * 4;
    image.bytes = std::make_shared<std::vector<std::uint8_t>>(std::size_t{width} * height * 4);
    std::uint8_t* out = image.bytes->data();
    for (unsigned y = 0; y < height; ++y) {
        const std::uint8_t* in = data + std::size_t{y} * stride;
        for (unsigned x = 0; x + 1 < width; x += 2, in += 4) {
            const int u = in[1] - 128;
            const int v = in[3] - 128;
            for (int i = 0; i < 2; ++i) {
                const int c = 298 * (in[i * 2] - 16);
                *out++ = clampByte((c + 516 * u + 128) >> 8);
                *out++ = clampByte((c - 100 * u - 208 * v + 128) >> 8);
                *out++ = clampByte((c + 409 * v + 128) >> 8);
                *out++ = 255;
            }
        }
    }
    return image;
}

class V4l2Camera : public CameraFrameSource {
public:
    V4l2Camera(Fd fd, v4l2_format format) : m_fd(std::move(fd)), m_format(format) {}
    ~V4l2Camera() override
    {
        if (m_streaming) {
            int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            retryIoctl(m_fd.get(), VIDIOC_STREAMOFF, &type);
        }
        for (auto& buffer : m_buffers)
            ::munmap(buffer.first, buffer.second);
    }

    // Streaming through mapped buffers when the driver offers it; plain reads otherwise.
    bool start(bool streaming)
    {
        if (!streaming) {
            m_readBuffer.resize(m_format.fmt.pix.sizeimage);
            return !m_readBuffer.empty();
        }
        v4l2_requestbuffers request{};
        request.count = kBufferCount;
        request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        request.memory = V4L2_MEMORY_MMAP;
        if (retryIoctl(m_fd.get(), VIDIOC_REQBUFS, &request) != 0 || request.count == 0)
            return false;
        for (unsigned i = 0; i < request.count; ++i)
            if (!mapAndQueue(i))
                return false;
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        m_streaming = retryIoctl(m_fd.get(), VIDIOC_STREAMON, &type) == 0;
        return m_streaming;
    }

    std::optional<imageio::DecodedImage> takeFrame() override
    {
        return m_streaming ? takeStreamedFrame() : takeReadFrame();
    }

private:
    bool mapAndQueue(unsigned index)
    {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = index;
        if (retryIoctl(m_fd.get(), VIDIOC_QUERYBUF, &buffer) != 0)
            return false;
        void* memory = ::mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd.get(), buffer.m.offset);
        if (memory == MAP_FAILED)
            return false;
        m_buffers.emplace_back(memory, buffer.length);
        return retryIoctl(m_fd.get(), VIDIOC_QBUF, &buffer) == 0;
    }

    // Takes every finished buffer, keeps the newest frame, and gives the buffers back.
    std::optional<imageio::DecodedImage> takeStreamedFrame()
    {
        std::optional<imageio::DecodedImage> newest;
        for (;;) {
            v4l2_buffer buffer{};
            buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            buffer.memory = V4L2_MEMORY_MMAP;
            if (retryIoctl(m_fd.get(), VIDIOC_DQBUF, &buffer) != 0)
                return newest; // EAGAIN: nothing more yet
            if (buffer.index < m_buffers.size() && !(buffer.flags & V4L2_BUF_FLAG_ERROR)) {
                const auto& mapped = m_buffers[buffer.index];
                if (auto frame = convert(static_cast<const std::uint8_t*>(mapped.first),
                                         std::min<std::size_t>(buffer.bytesused, mapped.second)))
                    newest = std::move(frame);
            }
            retryIoctl(m_fd.get(), VIDIOC_QBUF, &buffer);
        }
    }

    std::optional<imageio::DecodedImage> takeReadFrame()
    {
        const ssize_t got = ::read(m_fd.get(), m_readBuffer.data(), m_readBuffer.size());
        if (got <= 0)
            return std::nullopt;
        return convert(m_readBuffer.data(), static_cast<std::size_t>(got));
    }

    // A frame from the driver's bytes, checked against the format before it is read.
    std::optional<imageio::DecodedImage> convert(const std::uint8_t* data, std::size_t size) const
    {
        const v4l2_pix_format& pix = m_format.fmt.pix;
        if (pix.pixelformat == V4L2_PIX_FMT_MJPEG) {
            auto decoded = imageio::decodeMemory(data, size);
            if (!decoded)
                return std::nullopt;
            return std::move(decoded).value();
        }
        const std::size_t stride = std::max<std::size_t>(pix.bytesperline, std::size_t{pix.width} * 2);
        if (pix.width < 2 || pix.height == 0 || size < stride * pix.height)
            return std::nullopt;
        return convertYuyv(data, pix.width, pix.height, static_cast<unsigned>(stride));
    }

    Fd m_fd;
    v4l2_format m_format;
    std::vector<std::pair<void*, std::size_t>> m_buffers;
    std::vector<std::uint8_t> m_readBuffer;
    bool m_streaming = false;
};

// Asks for 640 x 480 YUYV, then MJPEG; the driver may answer with another size.
bool negotiateFormat(int fd, v4l2_format& format)
{
    for (unsigned pixelFormat : {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG}) {
        format = {};
        format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        format.fmt.pix.width = kWidth;
        format.fmt.pix.height = kHeight;
        format.fmt.pix.pixelformat = pixelFormat;
        format.fmt.pix.field = V4L2_FIELD_NONE;
        if (retryIoctl(fd, VIDIOC_S_FMT, &format) == 0 && format.fmt.pix.pixelformat == pixelFormat
            && format.fmt.pix.width <= 16384 && format.fmt.pix.height <= 16384)
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> findCaptureDevices(const std::string& devFolder)
{
    std::vector<std::string> devices;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(devFolder.c_str()), ::closedir);
    if (!dir)
        return devices;
    while (const dirent* item = ::readdir(dir.get())) {
        if (std::strncmp(item->d_name, "video", 5) != 0)
            continue;
        const std::string path = devFolder + "/" + item->d_name;
        v4l2_capability caps{};
        if (openCaptureDevice(path, caps).get() >= 0)
            devices.push_back(path);
    }
    std::sort(devices.begin(), devices.end());
    return devices;
}

std::unique_ptr<CameraFrameSource> openDefaultCamera()
{
    for (const auto& path : findCaptureDevices()) {
        v4l2_capability caps{};
        Fd fd = openCaptureDevice(path, caps);
        v4l2_format format{};
        if (fd.get() < 0 || !negotiateFormat(fd.get(), format))
            continue;
        const unsigned has = (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
        auto camera = std::make_unique<V4l2Camera>(std::move(fd), format);
        if (camera->start((has & V4L2_CAP_STREAMING) != 0))
            return camera;
        fnd::log("The camera " + path + " does not stream: " + std::strerror(errno));
    }
    fnd::log("No camera could be opened");
    return nullptr;
}

} // namespace ui
