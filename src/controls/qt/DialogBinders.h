#pragma once
// Binders of the dialogs' further controls, in the manner of ControlBinders.h: the widget shows
// the model's state whenever the model changes and hands the user's actions to the model, which
// runs its handlers; what the program sets is never taken for the user's. Each binding makes the
// model's observer its own. UI thread; the model must outlive the widget.

#include <QList>

class QAbstractButton;
class QLabel;
class QListWidget;
class QRadioButton;
class QSlider;
class QWidget;

namespace tonewell {

class ButtonControl;
class Control;
class EditControl;
class ListControl;
class RadioControl;
class SliderControl;

// A push button: its caption and state; a click clicks the model.
void BindButton(QAbstractButton* button, ButtonControl& control);

// A slider: range, position and state. Dragging the thumb moves the model; letting it go, a
// step of the keys, a page click or the wheel releases it at the new position. minimumAtTop: a
// vertical slider whose model has its minimum at the top; the widget runs the other way round
// inside, so that its groove fills from the bottom (the larger value) and Up moves the thumb up.
void BindSlider(QSlider* slider, SliderControl& control, bool minimumAtTop = false);

// A group of radio buttons, option i on buttons[i], exclusive among themselves only.
void BindRadio(const QList<QRadioButton*>& buttons, RadioControl& control);

// A list box: its rows and selection (a plain ListControl); the user's row and the keyboard
// focus go to the model.
void BindListBox(QListWidget* box, ListControl& control);

// A static text showing a read-only edit model's text (a file name).
void BindText(QLabel* label, EditControl& control);

// A widget that only follows a model's enabled and visible state (a label beside its control).
void BindState(QWidget* widget, Control& control);

}  // namespace tonewell
