// The gallery's keyboard: Ctrl+N for a new painting, the arrow keys move a mark over the
// paintings, Return opens the marked one and Delete marks it for deletion in the edit mode, whose
// Done (Return) and Cancel (Escape) then confirm or undo it, as with the delete buttons.
#include <algorithm>

#include "GalleryTableViewCell.h"
#include "GalleryViewController.h"

namespace {
constexpr int kColumns = 2;
} // namespace

std::vector<ui::KeyShortcut> GalleryViewController::keyboardShortcuts() const
{
    if (isEditing())
        return {
            {"\u2190 \u2191 \u2192 \u2193", "Choose a painting"},
            {"Delete", "Mark for deletion"},
            {"Return", "Done: delete the marked"},
            {"Esc", "Cancel: keep them all"},
            {"F1  ?", "This list"},
        };
    return {
        {"Ctrl+N", "New painting"}, {"\u2190 \u2191 \u2192 \u2193", "Choose a painting"},
        {"Return", "Open it"},      {"Delete", "Mark for deletion"},
        {"F11", "Full screen"},     {"Ctrl+Q", "Quit"},
        {"F1  ?", "This list"},
    };
}

bool GalleryViewController::keyDown(const ui::KeyEvent& event)
{
    const bool arrow = event.key == ui::Key::Left || event.key == ui::Key::Right || event.key == ui::Key::Up
                       || event.key == ui::Key::Down;
    if (!isViewLoaded() || !view()->window() || (event.repeat && !arrow)) // held arrows keep moving
        return ViewController::keyDown(event);
    if (event.key == ui::Key::N && event.hasOnly(ui::kModifierCtrl)) {
        if (!isEditing())
            addAction();
        return true;
    }
    if (!event.isPlain())
        return ViewController::keyDown(event);
    switch (event.key) {
    case ui::Key::Left: moveKeyMark(-1); return true;
    case ui::Key::Right: moveKeyMark(1); return true;
    case ui::Key::Up: moveKeyMark(-kColumns); return true;
    case ui::Key::Down: moveKeyMark(kColumns); return true;
    case ui::Key::Return:
        if (isEditing())
            doneAction();
        else if (m_keyMark && *m_keyMark < m_files.size())
            openPainting(m_files[*m_keyMark]);
        return true;
    case ui::Key::Delete:
    case ui::Key::Backspace: deleteMarkedPainting(); return true;
    case ui::Key::Escape:
        if (!isEditing())
            return ViewController::keyDown(event);
        cancelAction();
        return true;
    default: return ViewController::keyDown(event);
    }
}

void GalleryViewController::moveKeyMark(int step)
{
    if (m_files.empty())
        return;
    const int last = static_cast<int>(m_files.size()) - 1;
    // The first key press marks the first painting; later ones move the mark, stopping at the ends.
    const int index = m_keyMark ? std::clamp(static_cast<int>(*m_keyMark) + step, 0, last) : 0;
    m_keyMark = static_cast<std::size_t>(index);
    showKeyMark();
    if (m_tableView)
        m_tableView->scrollRectToVisible(m_tableView->rectForRowAtIndexPath({0, index / kColumns}), true);
}

void GalleryViewController::deleteMarkedPainting()
{
    if (!m_keyMark || *m_keyMark >= m_files.size())
        return;
    if (!isEditing())
        editAction();
    const std::string name = m_files[*m_keyMark]; // a copy: deleting takes it out of the list
    deleteAction(name);                           // the list closes up: the mark moves on to the next one
    if (m_files.empty())
        m_keyMark.reset();
    else
        m_keyMark = std::min(*m_keyMark, m_files.size() - 1);
    showKeyMark();
}

void GalleryViewController::showKeyMark()
{
    if (!m_tableView)
        return;
    for (ui::TableViewCell* cell : m_tableView->visibleCells())
        if (auto* gallery = dynamic_cast<GalleryTableViewCell*>(cell))
            markKeyChoice(*gallery);
}

void GalleryViewController::markKeyChoice(GalleryTableViewCell& cell) const
{
    if (!m_keyMark || *m_keyMark >= m_files.size()) {
        cell.setMarkedHalf(std::nullopt);
        return;
    }
    const std::string& marked = m_files[*m_keyMark];
    if (cell.subCellFileName1() == marked)
        cell.setMarkedHalf(0);
    else if (cell.subCellFileName2() == marked)
        cell.setMarkedHalf(1);
    else
        cell.setMarkedHalf(std::nullopt);
}
