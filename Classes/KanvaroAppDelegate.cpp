#include "KanvaroAppDelegate.h"

#include <cstdio>

#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "ImageIO/Decoder.h"
#include "PaintViewController.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/StatusBar.h"
#include "Toolkit/Window.h"

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
    window.setAccessibilityLabel("Kanvaro");
    ui::StatusBar::of(window).setStyle(ui::StatusBarStyle::BlackTranslucent, false);
    makeDocument();
    m_paintViewController = std::make_shared<PaintViewController>();
    m_navigationController = std::make_shared<ui::NavigationController>(m_paintViewController);
    m_navigationController->navigationBar().setBarStyle(ui::BarStyle::BlackTranslucent);
    window.addSubview(m_navigationController->viewRef());
    window.makeKeyAndVisible();
}

PaintView* KanvaroAppDelegate::paintView() const
{
    return m_paintViewController && m_paintViewController->isViewLoaded() ? m_paintViewController->paintView() : nullptr;
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
