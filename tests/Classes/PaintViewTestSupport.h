#pragma once
// Shared by the view tests of the painting engine: a manual clock that also drives the date, a
// clean run loop and animator, a window, documents in a temporary folder, and a recording
// delegate for the canvas and paint views.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DataModel.h"
#include "Foundation/Clock.h"
#include "Foundation/Date.h"
#include "Foundation/Paths.h"
#include "Foundation/RunLoop.h"
#include "PaintView.h"
#include "PaintingFixtures.h"
#include "Toolkit/Window.h"

namespace painting_test {

class PaintingViewTest : public ::testing::Test {
protected:
    static constexpr double kSomeDate = 252460800.0; // 2009-01-01, in seconds since 2001

    void SetUp() override
    {
        fnd::RunLoop::main().removeAllTimers();
        fnd::setDocumentsPath(dir.string());
        fnd::setSecondsSinceReferenceDateOverride(kSomeDate);
        window = std::make_shared<ui::Window>();
    }
    void TearDown() override
    {
        ui::Animator::shared().stopAll();
        fnd::RunLoop::main().removeAllTimers();
        window.reset();
        DataModel::releaseSharedDataModel();
        fnd::setSecondsSinceReferenceDateOverride(std::nullopt);
        fnd::setDocumentsPath("");
    }

    static Canvas& canvas() { return *DataModel::sharedDataModel()->canvas(); }
    static void blankDocument() { ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas()); }
    static void photoDocument(int w, int h)
    {
        ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(testing::makePhoto(w, h)));
    }
    // The views as the painting screen makes them, over the shared document's pieces.
    static std::shared_ptr<CanvasView> makeCanvasView()
    {
        const DataModel* document = DataModel::sharedDataModel();
        return CanvasView::init(document->canvasRef(), document->rawImageRef(), document->origImage());
    }
    static std::shared_ptr<PaintView> makePaintView(const gfx::Rect& frame)
    {
        const DataModel* document = DataModel::sharedDataModel();
        return PaintView::initWithFrame(frame, document->canvasRef(), document->rawImageRef(), document->origImage());
    }
    void runUntil(double t) { fnd::RunLoop::main().runUntil(t); }
    double now() { return fnd::clock().now(); }

    fnd::ManualClockScope clock;
    std::shared_ptr<ui::Window> window;
    test_support::TempFolder tempFolder{"kanvaro-views"};
    std::filesystem::path dir = tempFolder.path();
};

// Records delegate calls as short strings, in order.
class RecordingDelegate : public CanvasViewDelegate, public PaintViewDelegate {
public:
    void canvasViewWillCreateOutline(CanvasView& view) override { note("will-create", view); }
    void canvasViewDidCreateOutline(CanvasView& view) override
    {
        note("did-create", view);
        outlineAlphaAtDidCreate = view.outlineView() ? view.outlineView()->alpha() : -1;
    }
    void paintViewDidStartPainting(PaintView&, bool painting) override
    {
        calls.push_back(painting ? "start" : "start-no");
    }
    void paintViewDidEndPainting(PaintView&, bool ended) override { calls.push_back(ended ? "end" : "end-no"); }

    std::vector<std::string> calls;
    std::vector<double> times;
    double outlineAlphaAtDidCreate = -2;

private:
    void note(const char* what, CanvasView&)
    {
        calls.push_back(what);
        times.push_back(fnd::clock().now());
    }
};

} // namespace painting_test
