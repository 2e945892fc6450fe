#include "common/wiring.h"

namespace zr {

namespace {

template <class Control>
void wireAll(MainForm& form, std::initializer_list<Wiring::Wire<Control>> wires) {
    for (const auto& wire : wires) {
        const QString name = QString::fromLatin1(wire.name);
        const Wiring::Handler handler = wire.handler;
        onClick(wire.control, &form, [&form, name, handler] {
            form.dispatch(name, [&form, handler] { (form.*handler)(); });
        });
    }
}

} // namespace

void Wiring::lists(std::initializer_list<Wire<QComboBox>> wires) const {
    wireAll(form_, wires);
}
void Wiring::buttons(std::initializer_list<Wire<QAbstractButton>> wires) const {
    wireAll(form_, wires);
}
void Wiring::items(std::initializer_list<Wire<QAction>> wires) const {
    wireAll(form_, wires);
}

} // namespace zr
