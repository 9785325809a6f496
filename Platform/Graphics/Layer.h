#pragma once
// A drawing layer: an offscreen surface of a given size, made relative to a context (in its
// format), with a context of its own to draw into. Transparent when made.
#include <memory>

#include "Graphics/BitmapContext.h"

namespace gfx {

class Layer {
public:
    // nullptr when the size is out of range or memory fails.
    static std::unique_ptr<Layer> create(const BitmapContext& relativeTo, Size size);

    Size size() const { return {static_cast<double>(m_context->width()), static_cast<double>(m_context->height())}; }
    BitmapContext& context() { return *m_context; }
    const BitmapContext& context() const { return *m_context; }

private:
    explicit Layer(std::unique_ptr<BitmapContext> ctx) : m_context(std::move(ctx)) {}
    std::unique_ptr<BitmapContext> m_context;
};

} // namespace gfx
