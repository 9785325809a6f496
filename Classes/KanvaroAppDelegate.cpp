#include "KanvaroAppDelegate.h"

#include <cstdio>

#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "ImageIO/Decoder.h"
#include "MediumValues.h"
#include "PaintView.h"
#include "Toolkit/Button.h"
#include "Toolkit/Window.h"

namespace {
const gfx::Color kBackground = gfx::Color::fromBytes(30, 30, 34);
const gfx::Color kBarColor = gfx::Color::fromBytes(44, 44, 50);
const gfx::Color kButtonFace = gfx::Color::fromBytes(80, 80, 90);
} // namespace

// The shared document: the photo from the command line when it decodes and imports, else blank.
void KanvaroAppDelegate::makeDocument()
{
    if (m_photoPath) {
        auto decoded = imageio::decodeFile(*m_photoPath);
        if (decoded) {
            auto photo = std::make_shared<const imageio::DecodedImage>(std::move(decoded.value()));
            if (DataModel::sharedDataModelWithUIImage(photo))
                return;
        } else {
            fnd::log(decoded.error());
        }
        std::fprintf(stderr, "%s\n", kUnsupportedPhotoMessage);
    }
    DataModel::sharedDataModelWithBlankCanvas();
}

void KanvaroAppDelegate::applicationDidFinishLaunching(ui::Window& window)
{
    // A save killed between writing and renaming leaves its temporary file behind; both hosts
    // launch through here, so the window and scripted sessions clean up alike.
    fnd::removeStaleTemporaries(fnd::documentsPath());
    fnd::removeStaleTemporaries(fnd::exportsPath());
    window.setBackgroundColor(kBackground);
    window.setAccessibilityLabel("Kanvaro");
    makeDocument();
    const gfx::Rect b = window.bounds();
    m_paintView = PaintView::initWithFrame({0, 0, b.width(), b.height() - kBarHeight});
    if (m_paintView) {
        m_paintView->setBackgroundColor(kBackground);
        window.addSubview(m_paintView);
    }
    addDeveloperBar(window);
}

std::shared_ptr<ui::Button> KanvaroAppDelegate::makeBarButton(const std::string& title, double x, double width)
{
    auto button = std::make_shared<ui::Button>(gfx::Rect(x, 6, width, kBarHeight - 12));
    button->setBackgroundColor(kButtonFace);
    button->setTitle(title, ui::ControlState::Normal);
    button->setTitleColor(gfx::Color::white(), ui::ControlState::Normal);
    button->setShowsTouchWhenHighlighted(true);
    return button;
}

// A temporary bar for trying the painting engine before the painting screen exists.
void KanvaroAppDelegate::addDeveloperBar(ui::Window& window)
{
    const gfx::Rect b = window.bounds();
    auto bar = std::make_shared<ui::View>(gfx::Rect(0, b.height() - kBarHeight, b.width(), kBarHeight));
    bar->setBackgroundColor(kBarColor);
    window.addSubview(bar);
    if (!m_paintView)
        return;
    PaintView* paint = m_paintView.get();
    const char* modes[] = {"Paint", "Erase", "Move"};
    for (int mode = 0; mode < 3; ++mode) {
        auto button = makeBarButton(modes[mode], 4 + mode * 54, 50);
        button->addTarget(ui::ControlEvent::TouchUpInside, [paint, mode](ui::Control&) { paint->setMode(mode); });
        bar->addSubview(button);
    }
    m_mediumButton = makeBarButton(g_arMediumValues[0].name, 166, 96);
    m_mediumButton->setAccessibilityLabel("Medium");
    m_mediumButton->addTarget(ui::ControlEvent::TouchUpInside, [this](ui::Control&) { nextMedium(); });
    bar->addSubview(m_mediumButton);
    auto clear = makeBarButton("Clear", 266, 50);
    clear->addTarget(ui::ControlEvent::TouchUpInside, [paint](ui::Control&) {
        if (Canvas* canvas = DataModel::sharedDataModel()->canvas())
            canvas->clear();
        paint->canvasView()->setNeedsDisplay();
    });
    bar->addSubview(clear);
}

void KanvaroAppDelegate::nextMedium()
{
    m_mediumIndex = (m_mediumIndex + 1) % NUM_MEDIUM_VALUES;
    const MediumValue& medium = g_arMediumValues[m_mediumIndex];
    ApplyMediumValue(m_paintView->canvasView()->brushTool(), medium);
    m_mediumButton->setTitle(medium.name, ui::ControlState::Normal);
    m_mediumButton->setAccessibilityLabel("Medium");
}

void KanvaroAppDelegate::applicationWillTerminate()
{
    // Closing the window must not lose a painting: a painted document is stored in the documents
    // folder, where the gallery will list it.
    m_terminated = true;
    DataModel* document = DataModel::sharedDataModel();
    if (!document || !document->changesMade())
        return;
    if (auto saved = document->saveToFiles())
        fnd::log("saved the painting to " + document->getFullPath());
    else
        std::fprintf(stderr, "Kanvaro: the painting could not be saved to %s: %s\n", document->getFullPath().c_str(),
                     saved.error().c_str());
}
