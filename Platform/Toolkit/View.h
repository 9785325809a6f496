#pragma once
// A rectangle of the screen in a tree of views. Geometry follows the usual model: `bounds` is the
// view's own coordinate space (origin + size), `center` places the bounds' midpoint in the
// superview, and `transform` turns/scales the view about that centre. `frame` is derived: the
// bounding box of the transformed bounds in the superview.
//
// Views are shared (std::shared_ptr, made with std::make_shared); a superview owns its subviews,
// a subview points back to its superview without owning it.
//
// Drawing: a view draws itself in drawRect() in its own coordinates, over its background colour;
// the window composites the tree (see Window.h). setNeedsDisplay() reports the area to redraw to
// the window in window coordinates.
//
// Animations: inside View::beginAnimations()/commitAnimations(), changes to alpha, frame, center,
// bounds and transform take effect in the model at once (the getters return the new values) while
// drawing shows values moving from the old ones over the duration (see Animation.h).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Graphics/BitmapContext.h"
#include "Graphics/Color.h"
#include "Graphics/Geometry.h"
#include "Toolkit/Animation.h"
#include "Toolkit/EdgeInsets.h"
#include "Toolkit/Responder.h"

namespace ui {

class ViewController;
class Window;

class View : public Responder, public std::enable_shared_from_this<View> {
public:
    explicit View(const gfx::Rect& frame = {});
    ~View() override;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Geometry (model values).
    gfx::Rect frame() const;
    void setFrame(const gfx::Rect& frame);
    gfx::Rect bounds() const { return m_bounds; }
    void setBounds(const gfx::Rect& bounds);
    gfx::Point center() const { return m_center; }
    void setCenter(gfx::Point center);
    const gfx::AffineTransform& transform() const { return m_transform; }
    void setTransform(const gfx::AffineTransform& transform);

    // Appearance.
    double alpha() const { return m_alpha; }
    void setAlpha(double alpha);
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool opaque) { m_opaque = opaque; }
    const std::optional<gfx::Color>& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> color);
    bool clipsToBounds() const { return m_clipsToBounds; }
    void setClipsToBounds(bool clips);
    // Room beyond the bounds that the view draws into (a slider's thumb taller than its track):
    // drawRect may paint there, redraws and screen footprints cover it, and touches there reach
    // the view. None by default; a view that clips to its bounds draws within them all the same.
    const EdgeInsets& overhang() const { return m_overhang; }
    void setOverhang(const EdgeInsets& overhang);
    // The bounds grown by the overhang, as on screen now.
    gfx::Rect presentationDrawingBounds() const;

    // Interaction and identity.
    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }
    bool isMultipleTouchEnabled() const { return m_multipleTouchEnabled; }
    void setMultipleTouchEnabled(bool enabled) { m_multipleTouchEnabled = enabled; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    const std::string& accessibilityLabel() const { return m_accessibilityLabel; }
    void setAccessibilityLabel(std::string label) { m_accessibilityLabel = std::move(label); }

    // The tree. Adding a view that has another superview moves it.
    View* superview() const { return m_superview; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return m_subviews; }
    Window* window() const;
    void addSubview(const std::shared_ptr<View>& view);
    void insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index);
    void insertSubviewAbove(const std::shared_ptr<View>& view, const View* sibling);
    void insertSubviewBelow(const std::shared_ptr<View>& view, const View* sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const View* view);
    void sendSubviewToBack(const View* view);
    bool isDescendantOfView(const View* view) const;
    // This view or the first descendant (depth first, in subview order) with the tag.
    View* viewWithTag(int tag);

    // Drawing.
    virtual void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty);
    void setNeedsDisplay();
    void setNeedsDisplayInRect(const gfx::Rect& rect);
    // Layout: layoutSubviews() runs before the next display after setNeedsLayout().
    virtual void layoutSubviews() {}
    void setNeedsLayout() { m_needsLayout = true; }
    void layoutIfNeeded();

    // Coordinate conversion; nullptr stands for the window (root) coordinates.
    gfx::Point convertPointToView(gfx::Point point, const View* view) const;
    gfx::Point convertPointFromView(gfx::Point point, const View* view) const;
    gfx::Rect convertRectToView(const gfx::Rect& rect, const View* view) const;
    gfx::Rect convertRectFromView(const gfx::Rect& rect, const View* view) const;
    // Maps this view's coordinates into its superview's (model values, or what is on screen now).
    gfx::AffineTransform transformToSuperview() const;
    gfx::AffineTransform presentationTransformToSuperview() const;

    // The deepest visible, interactive descendant (or this view) containing the point, given in
    // this view's coordinates; nullptr when none.
    virtual View* hitTest(gfx::Point point);
    virtual bool pointInside(gfx::Point point) const;

    // Responder chain.
    Responder* nextResponder() const override;
    ViewController* viewController() const { return m_viewController; }

    // What is on screen now: the model value, or its in-between value while it animates.
    double presentationAlpha() const;
    gfx::Point presentationCenter() const;
    gfx::Rect presentationBounds() const;
    gfx::AffineTransform presentationTransform() const;
    // The area this view and its descendants cover on screen, in window coordinates.
    gfx::Rect windowFootprint() const;

    // Implicit animations (see Animation.h).
    static void beginAnimations() { Animator::shared().beginAnimations(); }
    static void setAnimationDuration(double seconds) { Animator::shared().setDuration(seconds); }
    static void setAnimationCurve(AnimationCurve curve) { Animator::shared().setCurve(curve); }
    static void setAnimationDidStopCallback(std::function<void(bool finished)> callback)
    {
        Animator::shared().setDidStopCallback(std::move(callback));
    }
    static void setAnimationTransition(AnimationTransition transition, View& view)
    {
        Animator::shared().setTransition(transition, view);
    }
    static void commitAnimations() { Animator::shared().commitAnimations(); }

protected:
    // Hooks for subclasses.
    virtual void didMoveToSuperview() {}
    virtual void didMoveToWindow() {}
    // Invalidates what the view covers on screen now (before and after geometry changes).
    void invalidateFootprint();

private:
    friend class Animator;
    friend class ViewController;
    void attach(const std::shared_ptr<View>& view, std::size_t index);
    void detachChild(const View* view);
    void notifyMovedToWindow();
    std::size_t indexOfSubview(const View* view) const;

    gfx::Point m_center;
    gfx::Rect m_bounds;
    gfx::AffineTransform m_transform;
    double m_alpha = 1;
    bool m_hidden = false;
    bool m_opaque = true;
    bool m_clipsToBounds = false;
    bool m_userInteractionEnabled = true;
    bool m_multipleTouchEnabled = false;
    bool m_needsLayout = true;
    int m_tag = 0;
    int m_runningAnimations = 0; // animation records that refer to this view (kept by the Animator)
    std::optional<gfx::Color> m_backgroundColor;
    EdgeInsets m_overhang;
    std::string m_accessibilityLabel;
    View* m_superview = nullptr;
    ViewController* m_viewController = nullptr;
    std::vector<std::shared_ptr<View>> m_subviews;
};

using ViewRef = std::shared_ptr<View>;

} // namespace ui
