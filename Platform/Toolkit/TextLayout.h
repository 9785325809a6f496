#pragma once
// Text set in the system font through pango, in points: pango runs at a resolution of 72, so a
// font of size 12 is 12 points tall whatever the backing store's scale. A carriage return
// ("\r"), like "\n", starts a new line. Used by labels, buttons and bar items.
#include <memory>
#include <string>

#include "Graphics/BitmapContext.h"
#include "Graphics/Color.h"
#include "Graphics/Geometry.h"

namespace ui {

struct Font {
    double pointSize = 17;
    bool bold = false;

    static Font systemFont(double size) { return {size, false}; }
    static Font boldSystemFont(double size) { return {size, true}; }
    bool operator==(const Font&) const = default;
};

enum class TextAlignment { Left = 0, Center = 1, Right = 2 };

// WordWrap wraps at word boundaries (long words at characters) and clips lines beyond the limit;
// TailTruncation ends the last allowed line with an ellipsis.
enum class LineBreakMode { WordWrap = 0, TailTruncation = 4 };

class TextLayout {
public:
    TextLayout();
    ~TextLayout();
    TextLayout(TextLayout&&) noexcept;
    TextLayout& operator=(TextLayout&&) noexcept;

    void setText(const std::string& text);
    const std::string& text() const { return m_text; }
    void setFont(const Font& font);
    void setAlignment(TextAlignment alignment);
    void setLineBreakMode(LineBreakMode mode);
    // Lines shown at most; 0 means no limit.
    void setNumberOfLines(int lines);
    // Width lines wrap at; 0 or less means lines only break at line breaks.
    void setWidth(double width);

    // Size of the lines shown, in points (width of the widest line, height of the lines).
    gfx::Size size() const;
    // Draws the lines shown with their top-left layout corner at `origin`.
    void draw(gfx::BitmapContext& context, gfx::Point origin, const gfx::Color& color) const;

private:
    // Height in points of the first lines up to the limit, and the widest of them.
    gfx::Size shownExtent() const;

    struct Pango; // the pango context and layout, owned; defined in TextLayout.cpp
    std::unique_ptr<Pango> m_pango;
    std::string m_text;
    int m_numberOfLines = 1;
    LineBreakMode m_lineBreakMode = LineBreakMode::WordWrap;
};

} // namespace ui
