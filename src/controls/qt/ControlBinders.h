#pragma once
// Binds Qt widgets to the control models: the widget shows the model's state (items, selection,
// text, enabled, visible, read-only) whenever the model changes, and hands the user's actions
// (a picked row, typed text, a click or a state changed through the accessibility interface, the
// keyboard focus) to the model, which runs its handlers. The widget showing the model is never
// taken for the user. Each binding makes the model's observer its own. UI thread; the model must
// outlive the widget.

#include <QList>
#include <QWidget>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSlider;
class QToolButton;

namespace tonewell {

class ButtonControl;
class CheckControl;
class Control;
class EditControl;
class ListControl;
class RadioControl;
class SliderControl;
class SpinControl;

// For a widget inside a toolbar, visibility goes through the toolbar's action for it.
struct BindingPlace {
    QAction* toolbarAction = nullptr;
};

// A drop-down list; an editable list gets an editable combo box whose typed text reaches the
// model at every change, as the model's text handler expects, and whose line takes the box's
// accessible name and description (set them before binding).
void BindList(QComboBox* box, ListControl& list, BindingPlace place = {});

// An edit box (the trigger level and delay boxes, a dialog's text box).
void BindEdit(QLineEdit* edit, EditControl& control, BindingPlace place = {});

// A check box: every change of its tick reaches the model once, a click's as well as one made
// without a click (an assistive tool's toggle).
void BindCheck(QCheckBox* box, CheckControl& control, BindingPlace place = {});

// A push button: its caption and state; a click clicks the model.
void BindButton(QAbstractButton* button, ButtonControl& control);

// A slider: range, position and state. Dragging the thumb moves the model; letting it go, a
// step of the keys, a page click or the wheel releases it at the new position. minimumAtTop: a
// vertical slider whose model has its minimum at the top; the widget runs the other way round
// inside, so that its groove fills from the bottom (the larger value) and Up moves the thumb up.
void BindSlider(QSlider* slider, SliderControl& control, bool minimumAtTop = false);

// A group of radio buttons, option i on buttons[i], exclusive among themselves only. A button
// turned on, by a click or without one, chooses its option; a click on the chosen one chooses
// it again.
void BindRadio(const QList<QRadioButton*>& buttons, RadioControl& control);

// A list box: its rows and selection (a plain ListControl); the user's row and the keyboard
// focus go to the model.
void BindListBox(QListWidget* box, ListControl& control);

// A static text showing a read-only edit model's text (a file name).
void BindText(QLabel* label, EditControl& control);

// A widget that only follows a model's enabled and visible state (a label beside its control).
void BindState(QWidget* widget, Control& control);

// The up and down buttons of a spin control, side by side with its edit box. The arrow keys in
// the buddy's box step the spin as well.
class SpinButtons : public QWidget {
    Q_OBJECT
public:
    // name is announced for the pair ("<name> up", "<name> down" for the buttons).
    SpinButtons(SpinControl& spin, const QString& name, QWidget* parent = nullptr);

    // The box whose Up and Down keys step the spin.
    void attachKeys(QLineEdit* buddyBox);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }
    void setPlace(BindingPlace place);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    SpinControl& spin_;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    BindingPlace place_;
};

}  // namespace tonewell
