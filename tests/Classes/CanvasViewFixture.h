#pragma once
// A test that paints on a document through the screen's canvas view and brush: open() makes the
// view over the document (the blueprint ready for a photo); TearDown lets the view, the run loop's
// timers and the shared document go.
#include <gtest/gtest.h>

#include <memory>

#include "CanvasView.h"
#include "DataModel.h"
#include "Foundation/RunLoop.h"

namespace testing {

class CanvasViewFixture : public Test {
protected:
    void TearDown() override
    {
        view.reset();
        fnd::RunLoop::main().removeAllTimers();
        DataModel::releaseSharedDataModel();
    }

    void open(DataModel* document)
    {
        ASSERT_TRUE(document);
        view = CanvasView::init(document->canvasRef(), document->rawImageRef(), document->origImage());
        ASSERT_TRUE(view);
        if (document->rawImage())
            view->renderAndShowOutlineAnimated(false);
    }
    Canvas& canvas() { return *view->canvas(); }

    std::shared_ptr<CanvasView> view;
};

} // namespace testing
