#include "ImageIO/H264Encoder.h"

#include <string>
#include <wels/codec_api.h>

#include "Foundation/Log.h"

namespace imageio::detail {

namespace {

// The library's own messages go to our log; only errors, its warnings are chatter.
void logLibraryMessage(void*, int, const char* message) { fnd::log(std::string("OpenH264: ") + message); }

void configureColour(SSpatialLayerConfig& layer)
{
    layer.bVideoSignalTypePresent = true;
    layer.uiVideoFormat = VF_UNDEF;
    layer.bFullRange = false;
    layer.bColorDescriptionPresent = true;
    layer.uiColorPrimaries = CP_BT709;
    layer.uiTransferCharacteristics = TRC_BT709;
    layer.uiColorMatrix = CM_BT709;
}

SEncParamExt parametersFor(ISVCEncoder* encoder, const H264Settings& settings)
{
    SEncParamExt p{};
    encoder->GetDefaultParams(&p);
    p.iUsageType = CAMERA_VIDEO_REAL_TIME;
    p.iPicWidth = settings.width;
    p.iPicHeight = settings.height;
    p.fMaxFrameRate = static_cast<float>(settings.framesPerSecond);
    p.iRCMode = RC_OFF_MODE; // a constant quantizer: even quality, every picture kept
    p.bEnableFrameSkip = false;
    p.iTemporalLayerNum = 1;
    p.iSpatialLayerNum = 1;
    p.uiIntraPeriod = static_cast<unsigned>(settings.keyFrameInterval);
    p.eSpsPpsIdStrategy = CONSTANT_ID; // one parameter set for the whole stream, as the MP4 sample entry holds it
    p.bPrefixNalAddingCtrl = false;
    p.bEnableSSEI = false;
    p.iEntropyCodingModeFlag = 0;
    p.iComplexityMode = LOW_COMPLEXITY;
    p.iMultipleThreadIdc = 1;
    p.bEnableDenoise = false;
    p.bEnableBackgroundDetection = true;
    p.bEnableAdaptiveQuant = false;
    p.bEnableSceneChangeDetect = false; // IDR pictures only at the interval, where they are expected
    p.bEnableLongTermReference = false;
    p.iNumRefFrame = 1;
    SSpatialLayerConfig& layer = p.sSpatialLayers[0];
    layer.iVideoWidth = settings.width;
    layer.iVideoHeight = settings.height;
    layer.fFrameRate = p.fMaxFrameRate;
    layer.iSpatialBitrate = p.iTargetBitrate;
    layer.iMaxSpatialBitrate = UNSPECIFIED_BIT_RATE;
    layer.uiProfileIdc = PRO_BASELINE;
    layer.iDLayerQp = settings.quantizer;
    layer.sSliceArgument.uiSliceMode = SM_SINGLE_SLICE;
    configureColour(layer);
    return p;
}

// The unit after the start code (00 00 01 or 00 00 00 01) that begins `bytes`; empty when there is none.
NalUnit unitAfterStartCode(const std::uint8_t* bytes, std::size_t size)
{
    std::size_t zeros = 0;
    while (zeros < size && bytes[zeros] == 0)
        ++zeros;
    if (zeros < 2 || zeros >= size || bytes[zeros] != 1 || zeros + 1 >= size)
        return {};
    return {bytes + zeros + 1, size - zeros - 1};
}

} // namespace

struct H264Encoder::Native {
    ISVCEncoder* encoder = nullptr;
    bool initialized = false;
    int width = 0;
    int height = 0;

    ~Native()
    {
        if (!encoder)
            return;
        if (initialized)
            encoder->Uninitialize();
        WelsDestroySVCEncoder(encoder);
    }
};

H264Encoder::H264Encoder(std::unique_ptr<Native> native) : m_native(std::move(native)) {}
H264Encoder::~H264Encoder() = default;

fnd::Result<std::unique_ptr<H264Encoder>> H264Encoder::create(const H264Settings& settings)
{
    auto native = std::make_unique<Native>();
    if (WelsCreateSVCEncoder(&native->encoder) != 0 || !native->encoder)
        return fnd::Error{"could not create the H.264 encoder"};
    int level = WELS_LOG_ERROR;
    WelsTraceCallback callback = &logLibraryMessage;
    native->encoder->SetOption(ENCODER_OPTION_TRACE_LEVEL, &level);
    native->encoder->SetOption(ENCODER_OPTION_TRACE_CALLBACK, &callback);
    const SEncParamExt parameters = parametersFor(native->encoder, settings);
    if (native->encoder->InitializeExt(&parameters) != cmResultSuccess)
        return fnd::Error{"the H.264 encoder refused a picture of " + std::to_string(settings.width) + " x "
                          + std::to_string(settings.height) + " at " + std::to_string(settings.framesPerSecond)
                          + " frames a second"};
    native->initialized = true;
    native->width = settings.width;
    native->height = settings.height;
    int format = videoFormatI420;
    native->encoder->SetOption(ENCODER_OPTION_DATAFORMAT, &format);
    return std::unique_ptr<H264Encoder>(new H264Encoder(std::move(native)));
}

fnd::Result<std::span<const NalUnit>> H264Encoder::encode(const YuvPlanes& picture, std::int64_t timestampMs)
{
    SSourcePicture source{};
    source.iColorFormat = videoFormatI420;
    source.iStride[0] = picture.yStride;
    source.iStride[1] = source.iStride[2] = picture.uvStride;
    source.pData[0] = picture.y;
    source.pData[1] = picture.u;
    source.pData[2] = picture.v;
    source.iPicWidth = m_native->width;
    source.iPicHeight = m_native->height;
    source.uiTimeStamp = timestampMs;

    SFrameBSInfo info{};
    if (m_native->encoder->EncodeFrame(&source, &info) != cmResultSuccess)
        return fnd::Error{"the H.264 encoder failed on a picture"};
    m_units.clear();
    if (info.eFrameType == videoFrameTypeSkip || info.eFrameType == videoFrameTypeInvalid)
        return std::span<const NalUnit>(m_units);
    for (int l = 0; l < info.iLayerNum; ++l) {
        const SLayerBSInfo& layer = info.sLayerInfo[l];
        const std::uint8_t* bytes = layer.pBsBuf;
        for (int n = 0; n < layer.iNalCount; ++n) {
            const auto size = static_cast<std::size_t>(layer.pNalLengthInByte[n]);
            const NalUnit unit = unitAfterStartCode(bytes, size);
            if (!unit.data)
                return fnd::Error{"the H.264 encoder gave a unit without a start code"};
            m_units.push_back(unit);
            bytes += size;
        }
    }
    return std::span<const NalUnit>(m_units);
}

} // namespace imageio::detail
