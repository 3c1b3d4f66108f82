#pragma once
// One parameter bar of the main frame in Qt: a toolbar whose widgets are bound to the front
// panel's control models (lists, edit boxes, spin buttons, labels), each with its prompt as
// status tip and description, its tip as tooltip and accessible name, and the button that
// switches to the other bar of the slot. A layout and nothing more: the models hold the state and run the handlers.

#include <QToolBar>

namespace tonewell {

struct FrameBar;

// The toolbar of a bar; switchAction is the command action of its switch button.
QToolBar* MakeParameterBar(const FrameBar& bar, QAction* switchAction, QWidget* parent);

}  // namespace tonewell
