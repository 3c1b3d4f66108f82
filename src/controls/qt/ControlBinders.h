#pragma once
// Binds Qt widgets to the control models: the widget shows the model's state (items, selection,
// text, enabled, visible, read-only) whenever the model changes, and hands the user's actions
// (a picked row, typed text, a click, the keyboard focus) to the model, which runs its handlers.
// Programmatic changes of the widget are never mistaken for the user's. Each binding makes the
// model's observer its own. UI thread; the model must outlive the widget.

#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

namespace tonewell {

class CheckControl;
class EditControl;
class ListControl;
class SpinControl;

// For a widget inside a toolbar, visibility goes through the toolbar's action for it.
struct BindingPlace {
    QAction* toolbarAction = nullptr;
};

// A drop-down list; an editable list gets an editable combo box whose typed text reaches the
// model at every change, as the model's text handler expects.
void BindList(QComboBox* box, ListControl& list, BindingPlace place = {});

// An edit box (the trigger level and delay boxes, a dialog's text box).
void BindEdit(QLineEdit* edit, EditControl& control, BindingPlace place = {});

// A check box.
void BindCheck(QCheckBox* box, CheckControl& control, BindingPlace place = {});

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
