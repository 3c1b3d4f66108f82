#pragma once
// What every front-panel and dialog control model has: its id, enabled and visible state, the
// keyboard focus, and one observer that hears every change of state (the Qt binder uses it to
// redraw the widget). User actions on a disabled or hidden control are ignored. Controls live on
// the UI thread; handlers may change any control, this one included.

#include <functional>

namespace tonewell {

enum class Orientation { Horizontal, Vertical };

class Control {
public:
    using Observer = std::function<void()>;
    using FocusHandler = std::function<void(bool gained)>;

    explicit Control(int id = 0) : id_(id) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int id() const { return id_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // Enabled and shown: the user can operate it.
    bool operable() const { return enabled_ && visible_; }

    bool focused() const { return focused_; }
    // The keyboard focus entered (true) or left (false) the control.
    void userFocus(bool gained);
    void setFocusHandler(FocusHandler handler) { focusHandler_ = std::move(handler); }

    void setObserver(Observer observer) { observer_ = std::move(observer); }

protected:
    void notify() const {
        if (observer_) observer_();
    }

private:
    int id_;
    bool enabled_ = true;
    bool visible_ = true;
    bool focused_ = false;
    Observer observer_;
    FocusHandler focusHandler_;
};

}  // namespace tonewell
