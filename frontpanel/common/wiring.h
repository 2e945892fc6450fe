// Wiring of controls to the main window's handlers, written by each
// subsystem as a table next to its handlers:
//
//     w.lists({ZR_WIRE(range, range_click), ZR_WIRE(coupling, coupling_Click)});
//     w.indexed(markmove, "markmove_Click", &MainForm::markmove_Click);
//
// Every dispatch goes through the window: no handler runs once the window is
// unloading, a throwing handler reaches the failure sink, and the handler
// trace (tests) sees the handler's name ("range_click", "markmove_Click(2)").
#pragma once

#include "common/controls.h"
#include "shell/main_form.h"

#include <QString>

#include <array>
#include <cstddef>
#include <initializer_list>

class QAbstractButton;
class QAction;
class QComboBox;

namespace zr {

class Wiring {
public:
    using Handler = void (MainForm::*)();
    using IndexedHandler = void (MainForm::*)(int);
    template <class Control> struct Wire {
        Control* control;
        const char* name;
        Handler handler;
    };

    explicit Wiring(MainForm& form) : form_(form) {}

    void lists(std::initializer_list<Wire<QComboBox>> wires) const;
    void buttons(std::initializer_list<Wire<QAbstractButton>> wires) const;
    void items(std::initializer_list<Wire<QAction>> wires) const;

    // An array of controls sharing one handler that receives the element's index.
    template <class Control, std::size_t N>
    void indexed(const std::array<Control*, N>& controls, const char* name,
                 IndexedHandler handler) const {
        for (std::size_t i = 0; i < N; ++i) {
            const int index = static_cast<int>(i);
            const QString traced = QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
            MainForm* form = &form_;
            onClick(controls[i], form, [form, traced, handler, index] {
                form->dispatch(traced, [form, handler, index] { (form->*handler)(index); });
            });
        }
    }

private:
    MainForm& form_;
};

// One table row: the control, its handler's name and the handler, each typed once.
#define ZR_WIRE(control, handler)                                                                  \
    { control, #handler, &MainForm::handler }

} // namespace zr
