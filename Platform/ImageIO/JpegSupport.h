#pragma once
// The error manager shared by JPEG decoding and encoding: libjpeg errors, and the warnings that
// mean the pixels would be wrong, leave through longjmp with a message instead of exit().
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE

#include <jpeglib.h>

namespace imageio::detail {

struct JpegErrorState {
    jpeg_error_mgr manager; // first member: libjpeg hands back a pointer to it
    std::jmp_buf jump;
    bool truncated;
    char message[JMSG_LENGTH_MAX];
};

// Points `common->err` at `state` and installs the handlers.
void installJpegErrorHandler(jpeg_common_struct* common, JpegErrorState* state);

} // namespace imageio::detail
