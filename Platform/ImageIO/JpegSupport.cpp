#include "ImageIO/JpegSupport.h"

#include <cstring>

#include <jerror.h>

namespace imageio::detail {
namespace {

JpegErrorState* stateOf(j_common_ptr common) { return reinterpret_cast<JpegErrorState*>(common->err); }

[[noreturn]] void recordErrorAndJump(j_common_ptr common)
{
    JpegErrorState* state = stateOf(common);
    (*common->err->format_message)(common, state->message);
    std::longjmp(state->jump, 1);
}

// Warnings after which libjpeg would go on with made-up (grey) pixels.
bool warningSpoilsPixels(int code)
{
    return code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE || code == JWRN_MUST_RESYNC;
}

void handleMessage(j_common_ptr common, int level)
{
    if (level >= 0)
        return; // trace messages
    if (common->is_decompressor && warningSpoilsPixels(common->err->msg_code)) {
        stateOf(common)->truncated = common->err->msg_code == JWRN_JPEG_EOF;
        recordErrorAndJump(common);
    }
    ++common->err->num_warnings;
}

void printNothing(j_common_ptr) {}

} // namespace

void installJpegErrorHandler(jpeg_common_struct* common, JpegErrorState* state)
{
    common->err = jpeg_std_error(&state->manager);
    state->manager.error_exit = recordErrorAndJump;
    state->manager.emit_message = handleMessage;
    state->manager.output_message = printNothing;
    state->truncated = false;
    state->message[0] = '\0';
}

} // namespace imageio::detail
